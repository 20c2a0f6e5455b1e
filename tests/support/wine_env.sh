# Sourced by the scripts that run Windows programs under Wine: a private, quiet, unattended
# Wine prefix inside the build folder, and Xvfb displays that the caller starts and stops.
# Needs REPO_ROOT set by the caller.

WINE_BIN=/usr/lib/wine/wine64
export WINELOADER="$WINE_BIN"
export WINEARCH=win64
export WINEPREFIX="${LAUNCHER_WINEPREFIX:-$REPO_ROOT/build/wine-prefix}"
# No Mono or Gecko install prompts, and no debug chatter.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all

# Creates the prefix once; a crash must fail a test rather than wait on a dialog.
prepare_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 180 "$WINE_BIN" wineboot -i >/dev/null 2>&1
    fi
    timeout 60 "$WINE_BIN" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Xvfb runs no window manager: Wine must not wait for one whenever a window goes away.
    timeout 60 "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # The session these commands started may have no display or another one: the next Wine
    # process must start a fresh one on the caller's display.
    stop_wine
}

# Starts an Xvfb display of the given size (e.g. 1920x1080) and exports DISPLAY; the caller
# stops it with stop_xvfb. The display number is picked by Xvfb itself, so parallel runs and a
# developer's own X server are left alone.
start_xvfb() {
    local size=$1 fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local display
    read -r -t 30 display <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$display"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Ends this prefix's wineserver and every Wine process in it, and nothing else.
stop_wine() {
    timeout 30 /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
    timeout 30 /usr/lib/wine/wineserver64 -w >/dev/null 2>&1 || true
}

# The first Wine process of a session starts the prefix's background services, which inherit
# its output; they are started here, on the current DISPLAY, with output going nowhere, so no
# test runner ever waits on a pipe they hold. `probe` is window_probe.exe.
boot_wine_session() {
    local probe=$1
    timeout 120 "$WINE_BIN" "$probe" screen >/dev/null 2>&1 </dev/null
}
