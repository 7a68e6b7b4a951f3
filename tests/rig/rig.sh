# The Wine test rig, sourced by winerun and the rig's own start and stop
# commands. RIG names the rig's folder inside a build folder; the Wine
# prefix, HOME and the display all live there, so a run never touches the
# user's own Wine or desktop.

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

rig_env() {
    export WINEPREFIX="$RIG/prefix"
    export HOME="$RIG/home"
    export XDG_CONFIG_HOME="$RIG/home/.config"
    export XDG_DATA_HOME="$RIG/home/.local/share"
    export WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko downloads, no menu entries or file associations.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ -s "$RIG/display" ]; then
        export DISPLAY=":$(cat "$RIG/display")"
    fi
}

rig_xvfb_alive() {
    [ -s "$RIG/xvfb.pid" ] && kill -0 "$(cat "$RIG/xvfb.pid")" 2>/dev/null
}

rig_start_xvfb() {
    rm -f "$RIG/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$RIG/display" 9>&- \
        >"$RIG/xvfb.log" 2>&1 &
    echo $! >"$RIG/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$RIG/display" ] && return 0
        sleep 0.1
    done
    echo "rig: Xvfb did not start (see $RIG/xvfb.log)" >&2
    return 1
}

# Y: names the folder C:\rrtest\alias a second time, for tests of a data
# folder that is the start folder under another name.
rig_alias_drive() {
    mkdir -p "$WINEPREFIX/drive_c/rrtest/alias"
    ln -sfn ../drive_c/rrtest/alias "$WINEPREFIX/dosdevices/y:"
}

rig_keeper_alive() {
    [ -s "$RIG/keeper.pid" ] && kill -0 "$(cat "$RIG/keeper.pid")" 2>/dev/null
}

# One idle Windows program for the rig's whole life. Without it the Wine
# desktop (explorer.exe) ends whenever the last program exits, and under
# 32-bit Wine the next window then waits 10 to 15 seconds for a new one.
# cmd.exe reads commands from a fifo it holds open for writing itself, so
# it never sees the end of its input; its output goes to a log, never to
# the ctest pipes, which would keep ctest waiting.
rig_start_keeper() {
    rm -f "$RIG/keeper.fifo"
    mkfifo "$RIG/keeper.fifo" || return 1
    # From the rig's folder, so that it holds no test's folder as its own.
    (cd "$RIG" && exec "$WINE" cmd.exe <>"$RIG/keeper.fifo" >"$RIG/keeper.log" 2>&1 9>&-) &
    echo $! >"$RIG/keeper.pid"
}

# Wine's own fonts (Debian's fonts-wine), which Wine does not find where
# Debian puts them: the caption's buttons are drawn in Marlett (without it
# the close box shows the letter "r"), and message boxes in Tahoma.
rig_wine_fonts() {
    local f
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    for f in marlett.ttf tahoma.ttf tahomabd.ttf; do
        if [ -e "/usr/share/wine/fonts/$f" ]; then
            cp "/usr/share/wine/fonts/$f" "$WINEPREFIX/drive_c/windows/Fonts/"
        fi
    done
    return 0
}

# Boots a fresh prefix in the rig's folder, with the dialog's font and
# Wine's own fonts. "unmanaged": no window manager will manage the windows
# (Xvfb has none, and Wine would wait two seconds for each managed window to
# be withdrawn); otherwise the user's own window manager does.
rig_boot_prefix() {
    rm -rf "$RIG/prefix" "$RIG/home"
    mkdir -p "$RIG/prefix" "$RIG/home"
    "$WINESERVER" -p >"$RIG/wineserver.log" 2>&1 9>&- || return 1
    "$WINE" wineboot -i >"$RIG/wineboot.log" 2>&1 9>&-
    if [ "${1:-}" = unmanaged ]; then
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >>"$RIG/wineboot.log" 2>&1 9>&-
    fi
    # The dialog's font, as close as a free font comes: the dialog is laid
    # out in units of its size.
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Comic Sans MS' /d 'Comic Neue' /f \
        >>"$RIG/wineboot.log" 2>&1 9>&-
    # A program that crashes prints Wine's backtrace where its test shows it
    # and ends, instead of waiting for a crash dialog on a display no one sees.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >>"$RIG/wineboot.log" 2>&1 9>&-
    rig_wine_fonts
}

# Brings the rig up once; later calls find it running and return at once.
rig_up() {
    mkdir -p "$RIG/home" "$RIG/prefix"
    exec 9>"$RIG/lock"
    flock -w 300 9 || { echo "rig: lock timed out" >&2; return 1; }
    if ! rig_xvfb_alive; then
        rig_start_xvfb || return 1
        rm -f "$RIG/up"
    fi
    rig_env
    if [ ! -e "$RIG/up" ]; then
        # A fresh prefix each time: one booted again after its wineserver was
        # killed no longer starts its RPC service, and every program using
        # COM then waits ten seconds for it. It also makes each run start
        # from the same state.
        rig_boot_prefix unmanaged || return 1
        rig_alias_drive
        touch "$RIG/up"
    fi
    rig_keeper_alive || rig_start_keeper || return 1
    exec 9>&-
}

# Ends every process the rig started: the Windows programs with their
# wineserver, the keeper (should it outlive them), and Xvfb.
rig_down() {
    rig_env
    "$WINESERVER" -k 2>/dev/null
    if rig_keeper_alive; then
        kill "$(cat "$RIG/keeper.pid")" 2>/dev/null
    fi
    if rig_xvfb_alive; then
        kill "$(cat "$RIG/xvfb.pid")" 2>/dev/null
    fi
    rm -f "$RIG/up" "$RIG/xvfb.pid" "$RIG/display" "$RIG/keeper.pid" "$RIG/keeper.fifo"
}
