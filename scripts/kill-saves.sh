#!/usr/bin/env bash
# A long run of the kill test of saves that rewrite a hard-linked project in
# place: a child process saves over and over and is killed at random moments
# (SIGKILL) or at a random byte of the new contents (file size limit), RUNS
# times; the file must always hold the old or the new contents, or else the
# copy kept beside it must, and nothing may be left over.
#
#     bash scripts/kill-saves.sh [RUNS]     (default 2000)
#
# Prints the figures: kills, torn files, unrecoverable files, leftovers.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-2000}"
if [[ ! -x build/tests/acquenza_archive_tests ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j2 --target acquenza_archive_tests
fi
ACQUENZA_KILL_RUNS="$runs" build/tests/acquenza_archive_tests \
  --gtest_filter='FileSafety.KilledRewritesInPlaceAlwaysLeaveOldOrNewContents'
