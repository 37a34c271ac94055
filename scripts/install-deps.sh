#!/usr/bin/env bash
# Installs the Debian packages Acquenza needs to build, test and run, and only
# those that are missing. Runs as root (or through sudo).
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev clang-format
  # the program
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libzip-dev
  libfluidsynth-dev timgm6mb-soundfont
  fonts-liberation fonts-dejavu-core
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev
  python3 python3-docx poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
