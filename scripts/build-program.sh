#!/usr/bin/env bash
# Builds the program as the run command builds it, in build/: the same tree
# the test command uses, so whichever runs second reuses what the first built.
# Extra CMake arguments come from the arguments or from ACQUENZA_CMAKE_ARGS
# (CI adds -DACQUENZA_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DACQUENZA_TESTS=OFF -DACQUENZA_BENCH=OFF ${ACQUENZA_CMAKE_ARGS:-} "$@" >/dev/null
cmake --build build -j2 --target acquenza
