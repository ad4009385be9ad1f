#!/usr/bin/env bash
# The main job on its embedded default. Until the simulated-pipette demo is wired up this builds
# the program and runs the protocol self-checks.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
ctest --test-dir build --output-on-failure --no-tests=error
