#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/<area>/, targets named fuzz_*) with clang in build-fuzz/ and
# runs each for FUZZ_SECONDS (default 60), then prints the run count of each. Seeds come from
# fuzz/<area>/seeds/<target>/, a dictionary from fuzz/<area>/<name>.dict when present.
# Usage: scripts/fuzz.sh [target ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${FUZZ_SECONDS:-60}"
build="$root/build-fuzz"

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

status=0
summary=""
for target in "${targets[@]}"; do
    binary="$(find "$build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)"
    area_dir="$(dirname "$(find fuzz -name "$target.cpp" | head -n 1)")"
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
    dict="$area_dir/${target#fuzz_}.dict"
    [ -f "$dict" ] && args+=(-dict="$dict")
    seeds=("$corpus")
    [ -d "$area_dir/seeds/$target" ] && seeds+=("$area_dir/seeds/$target")
    log="$build/$target.log"
    echo "== $target for ${seconds}s (log: $log)"
    verdict="no crash"
    if ! "$binary" "${args[@]}" "${seeds[@]}" >"$log" 2>&1; then
        status=1
        verdict="FAILED"
        tail -n 40 "$log"
    fi
    runs="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)"
    summary+="$target: ${runs:-?} runs in ${seconds}s, $verdict"$'\n'
done
printf '%s' "$summary"
exit $status
