#!/usr/bin/env bash
# The main job on its embedded default: a full update of a simulated electronic pipette from
# bundled sample update data, served by a local HTTPS update server whose certificate comes from
# a CA generated for this run only. Runs in the real window when a display is available (you
# answer the questions), otherwise through veltrin-cli with a progress bar. Everything it starts
# is stopped again, also on Ctrl-C.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

build="$root/build-demo"
programs=(veltrin-cli pipette-sim veltrin-sample-data veltrin-update-server)
with_window=0
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    with_window=1
    programs+=(veltrin-demo-window)
fi
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== making a signing key for this run; the programs are built to trust only it"
openssl ecparam -name prime256v1 -genkey -noout -out "$work/maker.key" 2>/dev/null
openssl ec -in "$work/maker.key" -pubout -out "$work/maker.pub" 2>/dev/null
echo "   key fingerprint $(openssl pkey -pubin -in "$work/maker.pub" -outform DER | sha256sum | cut -d' ' -f1)"

echo "== building ${programs[*]}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIN_BUILD_TESTS=OFF \
    -DVELTRIN_BUILD_BENCHMARKS=OFF -DVELTRIN_BUILD_UI="$([ $with_window = 1 ] && echo ON || echo OFF)" \
    -DVELTRIN_UPDATE_SIGNING_KEYS="$work/maker.pub" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${programs[@]}"

# Reads the first line a background program prints, waiting at most 20 s for it.
first_line() {
    local file="$1" line=""
    for _ in $(seq 1 200); do
        line="$(head -n 1 "$file" 2>/dev/null || true)"
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.1
    done
    echo "no answer from $file" >&2
    return 1
}

echo "== generating sample update data"
"$build/tools/sample-data/veltrin-sample-data" --out "$work/data" --seed 7 --version 01.02.03 \
    --sounds 0x10000 --fonts 0x10000 --texts 0x10000 --bootloader 0x10000 \
    --application 0x30000 >/dev/null
echo "== signing it as a maker signs a release"
(
    cd "$work/data"
    sha256sum files.txt $(grep -v '^#' files.txt) >SHA256SUMS
    openssl dgst -sha256 -sign "$work/maker.key" -out SHA256SUMS.sig SHA256SUMS
    openssl dgst -sha256 -verify "$work/maker.pub" -signature SHA256SUMS.sig SHA256SUMS | sed 's/^/   /'
)
ls "$work/data"

echo "== starting the local HTTPS update server"
"$build/tools/update-server/veltrin-update-server" --root "$work/data" --cert-dir "$work/certs" \
    >"$work/server.out" 2>"$work/server.err" &
pids+=($!)
server="$(first_line "$work/server.out")"
echo "   $server (trusting $work/certs/ca.pem for this run only)"

echo "== plugging in a simulated electronic pipette (application mode, 230400 baud)"
"$build/tools/pipette-sim/pipette-sim" --type 9 --mode 1 --version0 01.00.00 --baud 230400 \
    --restart-ms 3000 --dump "$work/device" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
port="$(first_line "$work/sim.out")"
echo "   the pipette answers on /dev/$port"

if [ "$with_window" = 1 ]; then
    echo "== opening the Veltrin window: answer its questions to run the update"
    "$build/tools/demo-window/veltrin-demo-window" --server "$server" \
        --ca-file "$work/certs/ca.pem" --port "$port" --history-file "$work/history.jsonl"
    echo "== what the update history recorded about the update data"
    grep -o '"update_data_verified":[a-z]*,"update_data_key":"[0-9a-f]*"' "$work/history.jsonl" |
        sed 's/^/   /' || echo "   no run reached the device"
else
    yes_flag=()
    [ -t 0 ] || yes_flag=(--yes)
    echo "== updating through veltrin-cli"
    "$build/tools/veltrin-cli/veltrin-cli" update --server "$server" \
        --ca-file "$work/certs/ca.pem" --port "$port" "${yes_flag[@]}"
fi
