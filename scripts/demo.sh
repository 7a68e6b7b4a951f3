#!/usr/bin/env bash
# Sets up, builds, lays out a sample series pack in a Wine prefix of the
# demo's own (build/demo-rig) and starts the installer in it. On a display
# the real dialog opens for you; without one it runs under Xvfb and the demo
# answers the dialog itself. Prints what moved where.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 -j"$(nproc)" --target demo instrrse

RIG="$PWD/build/demo-rig"
. tests/rig/rig.sh
user_display="${DISPLAY:-}"
if [ -n "$user_display" ] && [ -z "${CI:-}" ]; then
    mkdir -p "$RIG"
    echo "${user_display#:}" >"$RIG/display"
    rig_env
    "$WINESERVER" -p >/dev/null 2>&1 || true
    "$WINE" build/x86_64/bin/demo.exe
else
    rig_up
    "$WINE" build/x86_64/bin/demo.exe --drive
    rig_down
fi
