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
echo "== the tray program"
# From here on the session runs in a Wine virtual desktop, whose task bar
# has a notification area for the tray's icon; the desktop takes effect in
# a new session (the driver is loaded again as its mouse is found).
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
wineserver -k
wineserver -w
wineserver -p
wine cmd /c exit </dev/null >>"$out/session.log" 2>&1
wine "C:\\Program Files\\Vexon\\vexontra.exe" </dev/null >"$out/tray.log" 2>&1 &
if wine "$build/tools/wait-for-window.exe" ZIRERERODEVURU 30 </dev/null; then
    echo "the tray runs (window \"ZIRERERODEVURU\"); its icon shows while the mouse is present"
else
    echo "the tray did not start" >&2
fi
sleep 2  # let the desktop draw the icon before the picture is taken
import -window root "$out/tray.png" 2>/dev/null && echo "screen shot: $out/tray.png"
wine reg query 'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' /v vexontra 2>/dev/null | tr -d '\r'
echo "== the sensitivity meter"
# The tray starts the overlay when its meter is on; a second start ends at
# once. The driver's show command comes here from the test tool.
(cd "$program_dir" && wine ./vexonofa.exe /log </dev/null >"$OLDPWD/$out/overlay.log" 2>&1 &)
if wine "$build/tests/overlay/ofa_command.exe" show 0x80000305 </dev/null; then
    import -window root "$out/meter.png" 2>/dev/null && echo "screen shot: $out/meter.png"
    wine "$build/tests/overlay/ofa_command.exe" hide </dev/null
else
    echo "the meter did not show" >&2
fi
if [ "${VEXON_WINE_XVFB:-1}" = 0 ] && [ -t 0 ]; then
    read -r -p "The suite runs on $DISPLAY; press Enter to end the session. " _
fi
