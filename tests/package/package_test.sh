#!/usr/bin/env bash
# The Debian package made from a build folder: its control fields, its file
# list (everything the program needs, nothing the desktop's caches own), its
# dependencies known to apt, and the packaged program itself, unpacked into
# a scratch root and run from there on the shipped example.
#
#   package_test.sh BUILD_FOLDER
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

rm -f "$build"/acquenza_*.deb
cmake --build "$build" --target package >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
debs=("$build"/acquenza_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no single acquenza_<version>_amd64.deb in $build"
deb=${debs[0]}
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == acquenza ]] || fail "Package: $(field Package)"
[[ $(field Architecture) == amd64 ]] || fail "Architecture: $(field Architecture)"
[[ $(basename "$deb") == "acquenza_$(field Version)_amd64.deb" ]] || fail "file name vs Version"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no maintainer or description"
# Found by dpkg-shlibdeps from the program's libraries, then added by hand.
for needed in libqt6widgets6 libqt6printsupport6 libzip4 fonts-liberation fonts-dejavu-core; do
  grep -qw "$needed" <<<"$(field Depends)" || fail "Depends lacks $needed: $(field Depends)"
done
for recommended in qt6-translations-l10n libfluidsynth3 timgm6mb-soundfont xdg-utils; do
  grep -qw "$recommended" <<<"$(field Recommends)" ||
    fail "Recommends lacks $recommended: $(field Recommends)"
done
# Every package named is one apt knows and could install here.
if command -v apt-get >/dev/null; then
  apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt cannot install the package's dependencies"; }
fi

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$scratch/files"
for f in usr/bin/acquenza \
         usr/share/acquenza/SuggerimentiAcquenza.TXT usr/share/acquenza/Internet.mid \
         usr/share/acquenza/Acquenza-dati-esempio usr/share/acquenza/acquenza.png \
         usr/share/acquenza/tubazioni/pe100-sdr11-pn16.txt \
         usr/share/acquenza/tubazioni/pe100-sdr17-pn10.txt \
         usr/share/acquenza/tubazioni/ghisa-sferoidale-en545.txt \
         usr/share/applications/acquenza.desktop \
         usr/share/icons/hicolor/scalable/apps/acquenza.svg \
         usr/share/icons/hicolor/256x256/apps/acquenza.png \
         usr/share/mime/packages/acquenza.xml usr/share/man/man1/acquenza.1.gz \
         usr/share/doc/acquenza/README.md usr/share/doc/acquenza/copyright \
         usr/share/doc/acquenza/changelog.gz; do
  grep -qx "$f" "$scratch/files" || fail "$f not in the package"
done
# The caches belong to the system, which rebuilds them through the triggers
# of shared-mime-info, desktop-file-utils and hicolor-icon-theme.
outside=$(grep -vE '^usr/(bin/(acquenza)?|share/.*)?$' "$scratch/files" || true)
[[ -z $outside ]] || fail "files outside /usr/bin/acquenza and /usr/share: $outside"
if grep -E '^usr/share/mime/[^p]|mimeinfo\.cache|icon-theme\.cache' "$scratch/files"; then
  fail "the package carries a desktop cache"
fi
[[ -z $(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'postinst|postrm|preinst|prerm') ]] ||
  fail "maintainer scripts: the triggers need none"

# The packaged program, from its own root, finds its files and writes a report.
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/bin/acquenza"
! readelf -S "$program" | grep -q '\.symtab' || fail "the program is not stripped"
cd "$scratch"
version=$("$program" --version)
[[ $version == "Acquenza $(field Version) - "* ]] || fail "--version says '$version'"
set +e
report=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --verifica-installazione 2>&1)
status=$?
set -e
echo "$report"
[[ $status -eq 0 ]] || fail "--verifica-installazione: status $status"
grep -qx "Cartella dei file di Acquenza: $root/usr/share/acquenza" <<<"$report" ||
  fail "the packaged program looks elsewhere for its files"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --relazione \
  "$root/usr/share/acquenza/Acquenza-dati-esempio" -o "$scratch/relazione.docx" ||
  fail "--relazione on the example"
/usr/bin/python3 - "$scratch/relazione.docx" <<'EOF' || fail "the report of the example"
import sys
import docx
text = "\n".join(p.text for p in docx.Document(sys.argv[1]).paragraphs)
sys.exit(0 if "CALCOLI IDRAULICI" in text else 1)
EOF
if command -v lintian >/dev/null; then
  echo "lintian (for information):"
  lintian "$deb" 2>/dev/null || true
fi
echo "the package installs a working program"
