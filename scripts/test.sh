#!/usr/bin/env bash
# Every test of Tavrel, from nothing: installs what is missing, then
# configures, builds and tests the Linux build and both Windows builds (the
# 64-bit one's tests under Wine; the 32-bit one is built and inspected).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in linux windows-x64 windows-x86; do
    echo "=== $preset"
    cmake --workflow --preset "$preset"
done
