#!/usr/bin/env bash
# Runs inside a Wine session (tests/wine/wine-run): puts the built drivers
# into the prefix, installs the filter as the Service of a root device (and
# the test class driver beside it), runs a test program, then removes the
# device and stops the driver, which must unload cleanly.
#
#   run-with-driver.sh --filter SYS --class SYS --setup EXE [--class-driver]
#                      [--no-install] -- PROGRAM [ARGS...]
#
# --filter SYS     the built vexonusb.sys
# --class SYS      the built test class driver vexonrig.sys
# --setup EXE      vexon-driver-setup.exe
# --class-driver   also start the test class driver
# --no-install     only copy the drivers; the program installs them itself
set -euo pipefail

filter=""
class=""
setup_exe=""
class_driver=0
install=1
while [ $# -gt 0 ]; do
    case "$1" in
        --filter) filter=$2; shift 2 ;;
        --class) class=$2; shift 2 ;;
        --setup) setup_exe=$2; shift 2 ;;
        --class-driver) class_driver=1; shift ;;
        --no-install) install=0; shift ;;
        --) shift; break ;;
        *) echo "run-with-driver: unknown option $1" >&2; exit 2 ;;
    esac
done
: "${WINEPREFIX:?run-with-driver.sh runs inside a Wine session}"
if [ -z "$filter" ] || [ -z "$class" ] || [ -z "$setup_exe" ] || [ $# -eq 0 ]; then
    echo "run-with-driver: --filter SYS --class SYS --setup EXE -- PROGRAM" >&2
    exit 2
fi

drivers="$WINEPREFIX/drive_c/windows/system32/drivers"
cp "$filter" "$drivers/vexonusb.sys"
cp "$class" "$drivers/vexonrig.sys"
setup() { wine "$setup_exe" "$@" </dev/null; }

if [ $install -eq 1 ]; then
    setup install
    if [ $class_driver -eq 1 ]; then
        setup install-class
    fi
fi

status=0
wine "$@" </dev/null || status=$?

if [ $install -eq 1 ]; then
    if [ $class_driver -eq 1 ]; then
        setup stop-class || status=1
    fi
    setup remove || status=1
fi
exit $status
