#!/bin/sh
# Runs one window test under Wine on a display of its own:
#   with-display.sh WINE-COM-RUN COMMAND ARGS...
# starts an Xvfb that picks a free display number itself (-displayfd, so parallel tests never
# collide), makes WINE-COM-RUN's prefix and starts its server with that display, runs the
# command, then stops the prefix's server (and with it Wine's desktop process, which belongs to
# that display) and the Xvfb.
set -eu
run="$1"
shift
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    "$run" --stop || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 143" INT TERM
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" </dev/null \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
# Xvfb writes the number once it accepts clients; an early exit closes the pipe empty.
read -r number <"$work/display" || true
if [ -z "${number:-}" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export VELTRIN_WINE_DISPLAY=":$number"
"$run" --setup
# No window manager runs on the Xvfb: Wine draws the windows' frames and captions itself, as
# Windows does, so that the screenshots show whole windows.
"$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1
# The Windows version and system DPI the test plays (testedwindows.h); each program started from
# here on reads them.
"$run" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "${VELTRIN_TEST_WINDOWS:-win10}" /f \
    </dev/null >/dev/null 2>&1
"$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${VELTRIN_TEST_DPI:-96}" \
    /f </dev/null >/dev/null 2>&1
set +e
"$@"
status=$?
set -e
exit "$status"
