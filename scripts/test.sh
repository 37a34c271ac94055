#!/usr/bin/env bash
# Installs what is missing, builds Acquenza and runs every check, in order:
# format, the run command's own build started without a display, unit tests
# (in the same build tree), the Debian package made from that tree, then the
# non-widget tests and the stored fuzz corpora under AddressSanitizer and
# UndefinedBehaviorSanitizer. Warnings are errors throughout. Exits non-zero
# on the first failure; prints the time of each stage at the end. Longer
# fuzzing: scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

stage_names=()
stage_seconds=()
stage_started=$SECONDS
stage() {
  finish_stage
  stage_names+=("$1")
  stage_started=$SECONDS
  echo "== $1"
}
finish_stage() {
  if ((${#stage_names[@]} > ${#stage_seconds[@]})); then
    stage_seconds+=($((SECONDS - stage_started)))
  fi
}
report_stages() {
  finish_stage
  echo "== time per stage"
  for i in "${!stage_names[@]}"; do
    printf '%5d s  %s\n' "${stage_seconds[$i]:-0}" "${stage_names[$i]}"
  done
  printf '%5d s  in all\n' "$SECONDS"
}
trap report_stages EXIT

# The compiler cache finds a file compiled in another clone of the repository
# (CI starts from a fresh one each time) when paths under it are relative.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

stage "dependencies"
bash scripts/install-deps.sh test

stage "format check"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"

stage "the run command itself: built with warnings as errors, run without a display"
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

stage "the EPANET engine for the tests (epanet-js, pinned by tests/epanet/package-lock.json)"
# Installed again only when missing or when the lock file changed.
lock_sum=$(sha256sum tests/epanet/package-lock.json | cut -d' ' -f1)
stamp=tests/epanet/node_modules/.acquenza-lock-sha256
if [[ ! -f $stamp || $(cat "$stamp") != "$lock_sum" ]]; then
  (cd tests/epanet && npm ci --no-audit --no-fund)
  echo "$lock_sum" >"$stamp"
fi

stage "unit tests: build (same tree as the run command)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DACQUENZA_WERROR=ON \
  -DACQUENZA_TESTS=ON -DACQUENZA_BENCH=ON >/dev/null
cmake --build build -j2
stage "unit tests: run"
ctest --test-dir build --output-on-failure -j2

stage "Debian package: made from the unit tests' build, unpacked and run"
# From the same build tree, so nothing is compiled again: control fields,
# file list, dependencies known to apt, and the packaged program's
# installation check and report on the shipped example.
bash tests/package/package_test.sh build

stage "sanitizers: build (non-widget tests and fuzz corpora)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DACQUENZA_SANITIZE=ON -DACQUENZA_UI=OFF -DACQUENZA_WERROR=ON >/dev/null
cmake --build build-asan -j2
stage "sanitizers: run"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

trap - EXIT
report_stages
echo "All checks passed."
