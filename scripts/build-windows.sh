#!/usr/bin/env bash
# Builds the Windows programs with MinGW-w64 and writes the installer (.msi) and the portable zip
# into out/windows/. Installs what it needs with apt-get, like the other scripts.
# Signs the programs and the installer when VELTRIN_SIGN_CERT and VELTRIN_SIGN_KEY are set.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

build="${VELTRIN_WINDOWS_BUILD_DIR:-build-win-release}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DVELTRIN_BUILD_TESTS=OFF -DVELTRIN_BUILD_BENCHMARKS=OFF
jobs="$(nproc 2>/dev/null || echo 2)"
# With a code-signing certificate and key (VELTRIN_SIGN_CERT, VELTRIN_SIGN_KEY; see
# sign-windows.sh) the programs are signed before they are packed, and the installer after.
if [ -n "${VELTRIN_SIGN_CERT:-}${VELTRIN_SIGN_KEY:-}" ]; then
    cmake --build "$build" -j "$jobs" --target veltrin veltrin-cli
    scripts/sign-windows.sh "$build"/src/win32ui/veltrin.exe "$build"/tools/veltrin-cli/veltrin-cli.exe
fi
cmake --build "$build" -j "$jobs" --target windows-packages
if [ -n "${VELTRIN_SIGN_CERT:-}${VELTRIN_SIGN_KEY:-}" ]; then
    scripts/sign-windows.sh "$build"/dist/*.msi
fi
mkdir -p out/windows
cp "$build"/dist/*.msi "$build"/dist/*.zip out/windows/
ls -l out/windows/
