#!/bin/sh
# Starts or stops the certificate-case server of the certificate table tests.
#   tls-cases-fixture.sh start SERVER_PROGRAM STATE_DIR PKI_SCRIPT
#   tls-cases-fixture.sh stop STATE_DIR
# start makes a fresh PKI in STATE_DIR/pki, serves each case on a free port and writes
# STATE_DIR/cases.txt ("NAME ORIGIN" lines); each server logs what it received to
# STATE_DIR/logs/NAME.log.
set -eu
action="$1"
stop() {
    if [ -f "$1/server.pid" ]; then
        kill "$(cat "$1/server.pid")" 2>/dev/null || true
        rm -f "$1/server.pid"
    fi
}
if [ "$action" = stop ]; then
    stop "$2"
    exit 0
fi
server="$2"
state="$3"
pki_script="$4"
stop "$state"
rm -rf "$state"
mkdir -p "$state/logs"
sh "$pki_script" "$state/pki"
mkfifo "$state/announce"
"$server" --tls-cases "$state/pki" --log-dir "$state/logs" > "$state/announce" 2> "$state/server.err" &
echo $! > "$state/server.pid"
# Reading the pipe up to "ready" waits for every listener, and ends when the server dies first.
exec 3< "$state/announce"
: > "$state/cases.tmp"
while IFS= read -r line <&3; do
    [ "$line" = ready ] && break
    echo "$line" >> "$state/cases.tmp"
done
exec 3<&-
rm -f "$state/announce"
if [ "$line" != ready ]; then
    echo "certificate case server did not start: $(cat "$state/server.err")" >&2
    exit 1
fi
mv "$state/cases.tmp" "$state/cases.txt"
