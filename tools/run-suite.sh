#!/usr/bin/env bash
# The main job: sets up the machine, builds the suite, makes a Wine prefix in
# build/suite/prefix, installs the suite into it and runs it, on $DISPLAY
# when there is one, else on a private Xvfb screen.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-machine.sh
cmake --preset win64
cmake --build --preset win64
mkdir -p build/suite
tests/wine/wine-run --template build/win64/wine/template --prefix build/suite/prefix \
    --use-display --timeout 600 -- tools/suite-session.sh
echo "run-suite: the prefix is build/suite/prefix; outputs are in build/suite/"
