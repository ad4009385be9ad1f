#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/<area>/, targets named fuzz_*) with clang in build-fuzz/ and
# runs each for FUZZ_SECONDS (default 60), FUZZ_JOBS of them at a time (default 1), then prints
# the run count of each. Seeds come from fuzz/<area>/seeds/<target>/, a dictionary from
# fuzz/<area>/<name>.dict when present.
# Usage: scripts/fuzz.sh [target ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-1}"
build="$root/build-fuzz"

# The same configuration as the fuzz stage of scripts/test.sh, so the two share one build.
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
    -DVELTRIN_BUILD_FUZZERS=ON -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCHMARKS=OFF \
    -DVELTRIN_BUILD_UI=OFF >/dev/null

if [ "$#" -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): phony$/\1/p' | sort -u)
fi
[ "${#targets[@]}" -gt 0 ] || { echo "no fuzz targets found" >&2; exit 1; }
cmake --build "$build" -j 2 --target "${targets[@]}"

# Runs one target; its log ends with libFuzzer's final statistics.
run_target() {
    local target="$1" binary area_dir corpus dict log
    binary="$(find "$build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)"
    # The binary sits in build-fuzz/fuzz/<area>/, its seeds in fuzz/<area>/.
    area_dir="fuzz/$(basename "$(dirname "$binary")")"
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
    dict="$area_dir/${target#fuzz_}.dict"
    [ -f "$dict" ] && args+=(-dict="$dict")
    local seeds=("$corpus")
    [ -d "$area_dir/seeds/$target" ] && seeds+=("$area_dir/seeds/$target")
    log="$build/$target.log"
    echo "== $target for ${seconds}s (log: $log)"
    if "$binary" "${args[@]}" "${seeds[@]}" >"$log" 2>&1; then
        echo ok >"$log.verdict"
    else
        echo FAILED >"$log.verdict"
    fi
}

running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

status=0
summary=""
for target in "${targets[@]}"; do
    log="$build/$target.log"
    verdict="no crash"
    if [ "$(cat "$log.verdict" 2>/dev/null)" != ok ]; then
        status=1
        verdict="FAILED"
        tail -n 40 "$log"
    fi
    runs="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)"
    summary+="$target: ${runs:-?} runs in ${seconds}s, $verdict"$'\n'
done
printf '%s' "$summary"
exit $status
