#!/bin/sh
# Starts or stops the native loopback update server for the Windows download tests under Wine.
#   update-server-fixture.sh start SERVER_PROGRAM STATE_DIR
#   update-server-fixture.sh stop STATE_DIR
# start serves STATE_DIR/root on a free port with a fresh test CA and writes STATE_DIR/server.txt:
# origin, CA file, server certificate, served folder (as Windows paths on Wine's Z: drive) and
# the text of the served files.
set -eu
action="$1"
if [ "$action" = stop ]; then
    state="$2"
    if [ -f "$state/server.pid" ]; then
        kill "$(cat "$state/server.pid")" 2>/dev/null || true
        rm -f "$state/server.pid"
    fi
    exit 0
fi
server="$2"
state="$3"
if [ -f "$state/server.pid" ]; then
    kill "$(cat "$state/server.pid")" 2>/dev/null || true
fi
rm -rf "$state"
mkdir -p "$state/root" "$state/certs"
text="update data for the Windows client"
printf '%s' "$text" > "$state/root/files.txt"
printf '%s' "$text" > "$state/root/a b.txt"
mkfifo "$state/announce"
"$server" --root "$state/root" --cert-dir "$state/certs" > "$state/announce" 2> "$state/server.err" &
echo $! > "$state/server.pid"
# The server prints its origin and CA file once it listens; reading the pipe waits for exactly
# that, and fails when the server dies first.
exec 3< "$state/announce"
IFS= read -r origin <&3
IFS= read -r cafile <&3
exec 3<&-
rm -f "$state/announce"
case "$origin" in
    https://*) ;;
    *) echo "update server did not start: $(cat "$state/server.err")" >&2; exit 1 ;;
esac
origin="${origin%/pipette-update}"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
{
    echo "$origin"
    winpath "$state/certs/ca.pem"; echo
    winpath "$state/certs/server.pem"; echo
    echo "Z:$state/root"
    echo "$text"
} > "$state/server.txt"
