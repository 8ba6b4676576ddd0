#!/usr/bin/env bash
# Stands in for the suite's installer in a Wine prefix: copies what the win64
# build tree holds into "C:\Program Files\Vexon", writes the machine
# default key the programs read first, and installs the filter driver as the
# Service of a root device (Wine has no USB mouse of the suite and ignores
# UpperFilters; on Windows driver/vexonusb.inf installs it). Run inside a
# Wine session (WINEPREFIX set, wineserver running).
#
#   install-suite.sh WIN64_BUILD_DIR
set -euo pipefail

build=${1:?usage: install-suite.sh WIN64_BUILD_DIR}
: "${WINEPREFIX:?install-suite.sh runs inside a Wine session}"

install_dir_win='C:\Program Files\Vexon'
install_dir="$WINEPREFIX/drive_c/Program Files/Vexon"
mkdir -p "$install_dir"

# The overlay comes with the stand-in for its display library, which the
# real installer supplies.
for program in tools/vexon-settings.exe tray/vexontra.exe overlay/vexonofa.exe \
    tests/overlay/vexonofa.dll; do
    if [ -f "$build/$program" ]; then
        cp "$build/$program" "$install_dir/"
    fi
done

machine_key='HKEY_USERS\.DEFAULT\Software\Tolvi\Vexon'
set_machine_string() {
    wine reg add "$machine_key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null
}
set_machine_string VexonPath "$install_dir_win"
set_machine_string ProgramOFA "$install_dir_win\\vexonofa.exe"
set_machine_string ProgramTray "$install_dir_win\\vexontra.exe"

# The tray starts at every logon.
wine reg add 'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' \
    /v vexontra /t REG_SZ /d "$install_dir_win\\vexontra.exe" /f >/dev/null

# The driver last: it loads the machine default key when the mouse is added.
cp "$build/driver/kernel/vexonusb.sys" "$WINEPREFIX/drive_c/windows/system32/drivers/"
wine "$build/tests/rig/vexon-driver-setup.exe" install </dev/null
echo "install-suite: installed into $install_dir_win; vexonusb.sys runs as the service of ROOT\\VEXON\\0000"
