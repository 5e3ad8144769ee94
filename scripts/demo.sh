#!/usr/bin/env bash
# Shows Tavrel at work on the sample kit (examples/kit): builds the Linux
# program, runs it from a copy of the kit on this machine (no tuner of the
# kit is here, so every installer is launched), then once more against a
# made-up tuner under umockdev-run (one entry matches), and prints what each
# installer received.
#   TAVREL_DEMO_BUILD  build directory (default build/linux, the linux preset)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TAVREL_DEMO_BUILD:-build/linux}

if [ -x scripts/setup.sh ]; then scripts/setup.sh; fi
cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" --target tavrel -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A made-up PCI tuner, PCI\VEN_1D9A&DEV_7A01&SUBSYS_00423EC1&REV_02.
cat >"$work/demo-tuner.umockdev" <<'DEVICE'
P: /devices/pci0000:00/0000:00:03.0
E: SUBSYSTEM=pci
E: PCI_ID=1D9A:7A01
E: PCI_SUBSYS_ID=3EC1:0042
E: PCI_CLASS=48000
E: PCI_SLOT_NAME=0000:00:03.0
A: vendor=0x1d9a
A: device=0x7a01
A: subsystem_vendor=0x3ec1
A: subsystem_device=0x0042
A: class=0x048000
A: revision=0x02
DEVICE

# run NAME EXPECTED_LAUNCHES COMMAND...: a fresh copy of the kit, the program
# started from it, then what the installers were given.
run() {
    local name=$1 expected=$2
    shift 2
    local kit="$work/$name"
    cp -r "$root/examples/kit" "$kit"
    cp "$build/tavrel" "$kit/tavrel"
    echo "--- $name"
    local rc=0
    (cd "$work" && "$@" "$kit/tavrel" /S "C:\\Program Files\\Demo" 'a "quoted" word' 2>"$kit.diag") ||
        rc=$?
    echo "exit code $rc; $(grep -c '^Error: ' "$kit.diag") diagnostic records on stderr:"
    grep '^Error: ' "$kit.diag" | sort | uniq -c | sed 's/^/  /'
    # The installers run on their own; give them a moment.
    for _ in $(seq 50); do
        [ "$(find "$kit" -name '*.log' | wc -l)" -ge "$expected" ] && break
        sleep 0.1
    done
    echo "installers launched:"
    (cd "$kit" && find . -name '*.log' | sort | while read -r log; do
        echo "  ${log%.log}: $(cat "$log")"
    done)
    echo
}

run "this machine (nothing matches: every installer)" 3 env
run "made-up tuner under umockdev (entry 1 matches)" 1 umockdev-run --device "$work/demo-tuner.umockdev" --
