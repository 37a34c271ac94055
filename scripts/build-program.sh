#!/usr/bin/env bash
# Builds the program as the run command builds it: an optimised build of the
# program alone, in build-run/. Extra CMake arguments come from the
# arguments or from ACQUENZA_CMAKE_ARGS (CI adds -DACQUENZA_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck disable=SC2086
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DACQUENZA_TESTS=OFF -DACQUENZA_BENCH=OFF -DACQUENZA_WERROR=OFF ${ACQUENZA_CMAKE_ARGS:-} "$@"
cmake --build build-run -j2 --target acquenza
