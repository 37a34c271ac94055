#!/usr/bin/env bash
# Installs what is missing, builds Acquenza and starts it. Arguments go to the
# program (a project to open, or a command-line option).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
bash scripts/build-program.sh
exec build/acquenza "$@"
