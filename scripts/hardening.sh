#!/bin/sh
# Hardening run: every fuzz target for a bounded time, the sanitizer build
# of all Linux tests, and memcheck over one full run of the program.
#
#   scripts/hardening.sh [SECONDS_PER_FUZZER]     (default 60)
#
# TAVREL_BIN names the program for memcheck (default build/linux/tavrel,
# built by the linux preset when missing). Fails on any finding.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-60}
TAVREL_BIN=${TAVREL_BIN:-$ROOT/build/linux/tavrel}
WORK=$(mktemp -d /tmp/tavrel-hardening.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$ROOT"

echo "== fuzz targets, ${SECONDS_EACH} s each"
cmake --preset fuzz >"$WORK/fuzz-configure.log" || { cat "$WORK/fuzz-configure.log"; exit 1; }
cmake --build --preset fuzz
for dir in fuzz/corpus/*/; do
    target=$(basename "$dir")
    # A copy, so that the repository's seeds are not grown by the run.
    mkdir -p "$WORK/corpus/$target"
    cp "$dir"* "$WORK/corpus/$target/"
    if ! "build/fuzz/fuzz/$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 \
            -timeout=10 -print_final_stats=1 -artifact_prefix="$WORK/" \
            "$WORK/corpus/$target" >"$WORK/$target.log" 2>&1; then
        tail -n 60 "$WORK/$target.log"
        for crash in "$WORK"/crash-* "$WORK"/leak-* "$WORK"/timeout-* "$WORK"/oom-*; do
            [ -e "$crash" ] && { echo "input kept as $ROOT/build/fuzz/$(basename "$crash")";
                                 cp "$crash" build/fuzz/; }
        done
        echo "FAIL: $target found a fault"
        exit 1
    fi
    echo "$target: $(grep -E '^#[0-9]+.*DONE' "$WORK/$target.log" | tail -n 1)"
done

echo "== sanitizer build of the Linux tests"
cmake --workflow --preset sanitize

echo "== memcheck over one run of $TAVREL_BIN"
if [ ! -x "$TAVREL_BIN" ]; then
    cmake --preset linux >/dev/null && cmake --build --preset linux --target tavrel
fi
KIT="$WORK/kit dir"
mkdir -p "$KIT/Driver"
cp "$TAVREL_BIN" "$KIT/tavrel"
# Installers that only leave a mark: the run launches them for real.
for installer in "$KIT/Driver/Setup.sh" "$KIT/Other.sh"; do
    printf '#!/bin/sh\necho "$@" >>"$0.ran"\n' >"$installer"
    chmod 755 "$installer"
done
printf '[Model_List]\r\n1=Tuner,VEN_1D9A&DEV_7A01,Driver\\Setup.sh\r\n2=Other,VID_F00D&PID_0099,Other.sh\r\n' \
    >"$KIT/Models.ini"
# umockdev's preload library and valgrind work together: the program sees
# the made-up devices of the fixture, and the matching entry is launched.
umockdev-run --device tests/e2e/tuner.umockdev -- \
    valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --log-file="$WORK/memcheck.log" "$KIT/tavrel" /S "two words" 2>"$WORK/tavrel.err" || {
    cat "$WORK/memcheck.log"; echo "FAIL: memcheck"; exit 1; }
grep -E "ERROR SUMMARY|definitely|indirectly" "$WORK/memcheck.log" || true
for i in 1 2 3 4 5 6 7 8 9 10; do [ -e "$KIT/Driver/Setup.sh.ran" ] && break; sleep 0.5; done
if [ ! -e "$KIT/Driver/Setup.sh.ran" ] || [ -e "$KIT/Other.sh.ran" ]; then
    echo "FAIL: the run under memcheck did not launch the matching installer alone"; exit 1
fi
echo "hardening: all passed"
