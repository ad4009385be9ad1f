#!/usr/bin/env bash
# Builds everything and runs the whole test suite three times: a build under AddressSanitizer +
# UndefinedBehaviorSanitizer, a plain optimised build, then the Windows cross build with its
# tests under Wine; and builds every fuzz target with clang and runs each a few seconds from its
# seeds. Exits non-zero on any failure, and also when a build ran no test at all.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

jobs="$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Qt's own libraries leak a little by design at exit; our leaks are still reported.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"

run_suite() {
    local dir="$1"; shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$jobs"
    # --no-tests=error: a build that registers no test fails instead of passing quietly.
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" --timeout 300
}

run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DVELTRIN_SANITIZE=ON -DVELTRIN_BUILD_BENCHMARKS=OFF
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The fuzz targets, each a test that runs it briefly (the configuration scripts/fuzz.sh uses).
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
    -DVELTRIN_BUILD_FUZZERS=ON -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCHMARKS=OFF \
    -DVELTRIN_BUILD_UI=OFF
cmake --build build-fuzz -j "$jobs" --target fuzzers
ctest --test-dir build-fuzz --output-on-failure --no-tests=error -j "$jobs" --timeout 120

# The Windows programs run under Wine in a prefix inside build-win; stop its server however the
# suite ends, so nothing keeps running after the script.
stop_wine() {
    local prefix
    for prefix in "$root"/build-win/wineprefix*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    done
}
trap stop_wine EXIT
# The Windows HTTPS tests talk to the plain build's loopback update server.
run_suite build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTRIN_NATIVE_UPDATE_SERVER="$root/build/tools/update-server/veltrin-update-server"
