#!/usr/bin/env bash
# Installs the Debian packages Acquenza needs, and only those that are missing.
#
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that, plus the test, benchmark and fuzz tools
#
# Runs as root (or through sudo).
set -euo pipefail
purpose="${1:-run}"

run_packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n qt6-svg-dev libzip-dev
  libfluidsynth-dev timgm6mb-soundfont
  fonts-liberation fonts-dejavu-core
  # the desktop's caches of file types and of the programs that open them,
  # brought up to date by the install step
  shared-mime-info desktop-file-utils
  # the Debian package (cpack): its library dependencies found by
  # dpkg-shlibdeps, the program told apart from data by file
  dpkg-dev file
)
test_packages=(
  git clang clang-format
  googletest libgtest-dev libbenchmark-dev
  python3 python3-docx poppler-utils
  # the report's page count against a real word processor
  libreoffice-writer
  # the program on a real X display, found by its window's name
  xvfb xauth xdotool
)

case "$purpose" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "uso: $0 run|test" >&2; exit 2 ;;
esac

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
updated=no

install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return
  fi
  echo "Installing: ${missing[*]}"
  if [[ $updated == no ]]; then
    $sudo apt-get update -qq
    updated=yes
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"

if [[ $purpose == test ]]; then
  # The EPANET engine the tests compare with runs under Node.js. A machine
  # that already has node and npm (from any source) keeps them.
  if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
    install_missing nodejs npm
  fi
  # The fuzzers link the sanitizer and fuzzer runtime of the default clang,
  # packaged per compiler release (libclang-rt-14-dev, libclang-rt-19-dev,
  # ...); older releases ship it inside libclang-common-N-dev.
  major=$(clang -dumpversion | cut -d. -f1)
  if apt-cache show "libclang-rt-$major-dev" >/dev/null 2>&1; then
    install_missing "libclang-rt-$major-dev"
  else
    install_missing "libclang-common-$major-dev"
  fi
fi
