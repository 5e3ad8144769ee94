#!/usr/bin/env bash
# Every test of Tavrel, from nothing: installs what is missing, then
# configures, builds and tests both Windows builds (the 64-bit one's tests
# under Wine; the 32-bit one is built and inspected) and the Linux build,
# keeps the benchmarks compiling, and runs the hardening pass (fuzzers,
# sanitizer build of all Linux tests, memcheck over a run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in windows-x86 windows-x64 linux; do
    echo "=== $preset"
    cmake --workflow --preset "$preset"
done

echo "=== bench (built, not run)"
cmake --preset bench >/dev/null
cmake --build --preset bench

echo "=== hardening"
scripts/hardening.sh 60
