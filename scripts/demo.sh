#!/usr/bin/env bash
# Sets up, builds, and lays out a realistic sample in a Wine prefix of the
# demo's own (build/demo-rig): a Raadrups installation with its Start-menu
# shortcut and a few series, and a downloaded series pack with Dutch names;
# then starts the installer in the pack's folder. On your display the real
# dialog opens for you to answer; without one (or with CI set) it runs
# under Xvfb, the demo answers the dialog itself and saves a screenshot of
# it. Prints what moved where. Every run starts from a freshly booted prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh

bash scripts/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 --target demo instrrse

DEMO=build/x86_64/bin/demo.exe
RIG="$PWD/build/demo-rig"
. tests/rig/rig.sh
# The series names are Windows-1252 bytes: under a UTF-8 locale Wine gives
# the programs that ANSI code page and keeps the names readable on disk.
export LC_ALL=C.UTF-8

# On the user's own display: a fresh prefix whose windows the user's own
# window manager manages.
boot_on_user_display() {
    mkdir -p "$RIG"
    rm -f "$RIG/display"
    rig_env
    rig_boot_prefix managed
}

mkdir -p "$RIG"
rig_down >/dev/null 2>&1 || true
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
    boot_on_user_display
    "$WINE" "$DEMO"
else
    trap 'rig_down >/dev/null 2>&1 || true' EXIT
    rig_up
    rm -f "$RIG"/demo-*.bmp "$RIG"/demo-*.png
    # The demo writes BMP files into the rig's folder through Wine's Z: drive.
    "$WINE" "$DEMO" --drive --shots "Z:${RIG//\//\\}"
    for shot in dialog box; do
        convert "$RIG/demo-$shot.bmp" "$RIG/demo-$shot.png"
        rm -f "$RIG/demo-$shot.bmp"
    done
    echo
    echo "Screenshots: ${RIG#"$PWD"/}/demo-dialog.png (the dialog), ${RIG#"$PWD"/}/demo-box.png (the closing box)"
fi
