#!/usr/bin/env bash
# Builds the Windows programs with MinGW-w64 and writes the installer (.msi) and the portable zip
# into out/windows/. Installs what it needs with apt-get, like the other scripts.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

build="${VELTRIN_WINDOWS_BUILD_DIR:-build-win-release}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target windows-packages
mkdir -p out/windows
cp "$build"/dist/*.msi "$build"/dist/*.zip out/windows/
ls -l out/windows/
