#!/usr/bin/env bash
# Fuzzes every target for SECONDS seconds each (default 60) with libFuzzer,
# starting from the stored corpora; new inputs that reach new code are added
# to a scratch copy, and crashes are kept in build-fuzz/artifacts/.
#
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/install-deps.sh test
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DACQUENZA_FUZZ=ON \
  -DACQUENZA_WERROR=ON >/dev/null
cmake --build build-fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/artifacts
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  mkdir -p "$work/$name"
  echo "-- fuzz_$name, ${seconds} s"
  build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/" "$work/$name" "$corpus" \
    2>"$work/$name.log" || { tail -n 40 "$work/$name.log"; echo "fuzz_$name failed"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$work/$name.log" | sed "s/^/fuzz_$name /"
done
echo "Fuzzing found nothing."
