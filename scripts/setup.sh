#!/usr/bin/env bash
# Installs what building and testing Tavrel needs on a Debian machine, and
# only what is missing. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64
    libudev-dev umockdev libumockdev-dev pciutils usbutils
    googletest libgtest-dev libbenchmark-dev nlohmann-json3-dev
    clang libclang-rt-14-dev valgrind python3 locales
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
