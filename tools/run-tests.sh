#!/usr/bin/env bash
# Sets up the machine, builds both trees and runs every test: the native
# unit tests and the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-machine.sh
cmake --preset host
cmake --build --preset host
cmake --preset win64
cmake --build --preset win64
# The host tree's ctest includes the win64 tree's Wine tests.
ctest --preset host --parallel "$(nproc)" "$@"
