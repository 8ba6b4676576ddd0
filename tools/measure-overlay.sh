#!/usr/bin/env bash
# Prints the cost of one drawing tick of the sensitivity meter under Wine
# (after the win64 build), on a private 1024x768x24 screen.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/win64}
exec tests/wine/wine-run --template "$build/wine/template" -- "$build/tests/overlay/overlay_paint_bench.exe"
