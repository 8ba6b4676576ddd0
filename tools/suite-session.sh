#!/usr/bin/env bash
# The main job's Wine session: installs the suite and runs it. Started by
# run-suite.sh through the Wine harness.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/win64
out=build/suite
tools/install-suite.sh "$build"
program_dir="$WINEPREFIX/drive_c/Program Files/Vexon"
echo "== settings as the programs load and save them"
wine "$program_dir/vexon-settings.exe" /save >"$out/settings.txt" 2>"$out/settings.err"
tr -d '\r' <"$out/settings.txt"
echo "== the user's key after the save"
wine reg query 'HKEY_CURRENT_USER\Software\Tolvi\Vexon' 2>/dev/null | tr -d '\r' >"$out/user-key.txt"
cat "$out/user-key.txt"
echo "== the filter driver"
wine "$build/tests/rig/vexon-driver-setup.exe" status </dev/null >"$out/driver.txt" 2>&1
tr -d '\r' <"$out/driver.txt"
