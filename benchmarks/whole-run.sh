#!/usr/bin/env bash
# Times whole runs of tavrel on a kit under umockdev, on synthetic machines
# of N PCI and USB devices, beside lspci -n (and lsusb, where it reads the
# umockdev tree) on the same trees in the same testbed.
#
# Usage: benchmarks/whole-run.sh [path/to/tavrel]
#   RUNS=5 SIZES="100 1000 10000" benchmarks/whole-run.sh build/bench/tavrel
#
# For each N it prints the median wall time of a run less the program's own
# one-second pause, the peak resident memory of a run (GNU time, %M), the
# median time of lspci -n, and the ratio of the two.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
tavrel=${1:-}
if [[ -z $tavrel ]]; then
    for candidate in "$root/build/bench/tavrel" "$root/build/linux/tavrel"; do
        if [[ -x $candidate ]]; then
            tavrel=$candidate
            break
        fi
    done
fi
if [[ -z $tavrel || ! -x $tavrel ]]; then
    echo "no tavrel binary: build the bench or linux preset, or name one" >&2
    exit 2
fi
for tool in umockdev-run lspci /usr/bin/time python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
runs=${RUNS:-5}
sizes=${SIZES:-100 1000 10000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The kit: the program beside its model list (the program finds the list
# next to its own file) and one installer. Entries 1-49 look like the
# devices' IDs but match none; entry 50 matches the tuner that make-tree.py
# puts last, so a run compares every entry with every device and launches
# one installer.
kit=$work/kit
mkdir -p "$kit/Driver"
cp "$tavrel" "$kit/tavrel"
printf '#!/bin/sh\nexit 0\n' >"$kit/Driver/Setup.sh"
chmod +x "$kit/Driver/Setup.sh"
{
    echo "[Model_List]"
    for i in $(seq 1 49); do
        printf '%d=Test Model %d,VEN_F00D&DEV_%04X,Driver\\Setup.sh\n' "$i" "$i" $((0x7B00 + i))
    done
    echo '50=Test Tuner,VEN_F00D&DEV_7A31,Driver\Setup.sh'
} >"$kit/Models.ini"

# Runs inside the testbed: times the program and the tools, prints one line
# "tavrel_ms peak_kb lspci_ms lsusb_ms pci_devices".
cat >"$work/inner.sh" <<'EOF'
set -u
kit=$1 runs=$2
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f\n", (b - a) * 1000}'; }
time_it() {
    local i t0 t1
    for ((i = 0; i < runs; i++)); do
        t0=$EPOCHREALTIME
        "$@" >/dev/null 2>&1
        t1=$EPOCHREALTIME
        elapsed "$t0" "$t1"
    done | median
}
# One untimed run each first, so that every timed run finds the tree and
# the binaries in the page cache alike.
"$kit/tavrel" >/dev/null 2>&1
lspci -n >/dev/null 2>&1
tavrel_ms=$(time_it "$kit/tavrel")
lspci_ms=$(time_it lspci -n)
if [ "$(lsusb 2>/dev/null | wc -l)" -gt 0 ]; then
    lsusb_ms=$(time_it lsusb)
else
    lsusb_ms=n/a  # lsusb lists device nodes, which the testbed does not have
fi
/usr/bin/time -f %M -o "$kit/peak" "$kit/tavrel" >/dev/null 2>&1
echo "$tavrel_ms $(cat "$kit/peak") $lspci_ms $lsusb_ms $(ls /sys/bus/pci/devices | wc -l)"
EOF

echo "tavrel: $tavrel ($runs runs each, medians)"
printf '%8s %8s %12s %10s %10s %10s %14s %10s\n' devices pci overhead_ms peak_kb lspci_ms ratio lsusb_ms ratio
for n in $sizes; do
    python3 "$here/make-tree.py" "$n" "$work/tree.umockdev"
    read -r tavrel_ms peak_kb lspci_ms lsusb_ms pci < <(
        umockdev-run --device "$work/tree.umockdev" -- bash "$work/inner.sh" "$kit" "$runs")
    overhead=$(awk -v t="$tavrel_ms" 'BEGIN {printf "%.1f", t - 1000}')
    ratio=$(awk -v o="$overhead" -v l="$lspci_ms" 'BEGIN {printf "%.2f", o / l}')
    usb_ratio=n/a
    if [[ $lsusb_ms != n/a ]]; then
        usb_ratio=$(awk -v o="$overhead" -v l="$lsusb_ms" 'BEGIN {printf "%.2f", o / l}')
    fi
    printf '%8s %8s %12s %10s %10.1f %10s %14s %10s\n' "$n" "$pci" "$overhead" "$peak_kb" \
        "$lspci_ms" "$ratio" "$lsusb_ms" "$usb_ratio"
done
