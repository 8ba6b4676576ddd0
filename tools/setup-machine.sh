#!/usr/bin/env bash
# Installs what building and testing the suite needs on a Debian machine,
# skipping what is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine64
    xvfb xauth imagemagick
    clang libclang-rt-14-dev valgrind
    libfreetype-dev fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "setup-machine: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
