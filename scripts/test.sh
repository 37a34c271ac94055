#!/usr/bin/env bash
# Installs what is missing, builds Acquenza and runs every check, in order:
# format, the run command's own build started without a display, unit tests,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then
# each fuzz target for a short bounded time. Warnings are errors throughout.
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds="${FUZZ_SECONDS:-30}"

bash scripts/install-deps.sh test

echo "== format check"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"

echo "== the run command itself: built with warnings as errors, run without a display"
# The README's first command, as a user gives it: the installation check
# opens no window, so it needs no display; a plain start keeps running.
export ACQUENZA_CMAKE_ARGS=-DACQUENZA_WERROR=ON
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash scripts/run.sh --verifica-installazione
set +e
QT_QPA_PLATFORM=offscreen timeout 20 bash scripts/run.sh >/dev/null 2>&1
status=$?
set -e
unset ACQUENZA_CMAKE_ARGS
if [[ $status -ne 124 ]]; then
  echo "the program started by the run command ended by itself (status $status)"
  exit 1
fi
echo "scripts/run.sh built the program, which started and kept running"

echo "== the EPANET engine for the tests (epanet-js, pinned by tests/epanet/package-lock.json)"
# Installed again only when missing or when the lock file changed.
lock_sum=$(sha256sum tests/epanet/package-lock.json | cut -d' ' -f1)
stamp=tests/epanet/node_modules/.acquenza-lock-sha256
if [[ ! -f $stamp || $(cat "$stamp") != "$lock_sum" ]]; then
  (cd tests/epanet && npm ci --no-audit --no-fund)
  echo "$lock_sum" >"$stamp"
fi

echo "== unit tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DACQUENZA_WERROR=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

echo "== unit tests with address and undefined-behaviour sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DACQUENZA_SANITIZE=ON -DACQUENZA_WERROR=ON
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

echo "== fuzzing, ${fuzz_seconds} s a target"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DACQUENZA_FUZZ=ON \
  -DACQUENZA_WERROR=ON
cmake --build build-fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  mkdir -p "$work/$name"
  echo "-- fuzz_$name"
  build-fuzz/fuzz/fuzz_"$name" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/$name" "$corpus" 2>"$work/$name.log" ||
    { tail -n 40 "$work/$name.log"; echo "fuzz_$name failed"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$work/$name.log" | sed "s/^/fuzz_$name /"
done
echo "All checks passed."
