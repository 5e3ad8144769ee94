#!/bin/sh
# Records Wine's answers to the profile lookups as the golden file that both
# builds are tested against:
#   tests/wine/regen-profile-golden.sh BUILD_DIR_OF_THE_X64_BUILD
# Run it after adding fixtures or lookups, and review the diff: each changed
# line is a behaviour of the Windows reader that ours must then match.
set -e
src=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: regen-profile-golden.sh X64_BUILD_DIR}
build=$(cd "$build" && pwd)
probe=$build/tests/tavrel_profile_probe.exe
fixtures=$src/tests/fixtures/profile
[ -f "$probe" ] || { echo "no $probe: build target tavrel_profile_probe first" >&2; exit 1; }
prefix=$build/wineprefix
scratch=$build/tests/profile-scratch-golden
"$src/tests/wine/make-prefix.sh" "$prefix"
mkdir -p "$scratch"
# The ANSI code page follows the locale; the golden answers are those of
# code page 1252 (what C.UTF-8 gives).
out=$(mktemp)
LANG=C.UTF-8 LC_ALL=C.UTF-8 "$src/tests/wine/run.sh" "$prefix" "$probe" \
    "$fixtures/lookups.txt" "$fixtures" "$scratch" >"$out.raw"
# Wine's C runtime ends lines with CR LF.
tr -d '\r' <"$out.raw" >"$out"
rm -f "$out.raw"
{
    echo "# Wine $(/usr/lib/wine/wine64 --version | sed 's/^wine-//'), ANSI code page 1252: answers to lookups.txt."
    echo "# Written by tests/wine/regen-profile-golden.sh; do not edit by hand."
    cat "$out"
} >"$fixtures/golden.txt"
rm -f "$out"
echo "wrote $fixtures/golden.txt ($(grep -vc '^#' "$fixtures/golden.txt") answers)"
