#!/usr/bin/env bash
# Installs what is missing, builds Acquenza and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DACQUENZA_TESTS=OFF -DACQUENZA_BENCH=OFF
cmake --build build -j2 --target acquenza
exec build/acquenza "$@"
