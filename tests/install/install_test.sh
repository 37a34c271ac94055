#!/usr/bin/env bash
# Installs the built program into a fresh temporary prefix, then checks that
# every file is in place, that the installed program finds its companion files
# from any working folder, and that it starts and keeps running.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/acquenza \
         share/acquenza/SuggerimentiAcquenza.TXT share/acquenza/Internet.mid \
         share/acquenza/Acquenza-dati-esempio share/acquenza/acquenza.png \
         share/acquenza/tubazioni/pe100-sdr11-pn16.txt \
         share/acquenza/tubazioni/pe100-sdr17-pn10.txt \
         share/acquenza/tubazioni/ghisa-sferoidale-en545.txt \
         share/applications/acquenza.desktop \
         share/icons/hicolor/scalable/apps/acquenza.svg \
         share/icons/hicolor/256x256/apps/acquenza.png \
         share/mime/packages/acquenza.xml share/doc/acquenza/README.md \
         share/man/man1/acquenza.1.gz; do
  [[ -f "$prefix/$f" ]] || fail "$f not installed"
done
[[ -x "$prefix/bin/acquenza" ]] || fail "the program is not executable"
grep -qx 'Exec=acquenza %f' "$prefix/share/applications/acquenza.desktop" || fail "desktop Exec"
grep -qx 'Icon=acquenza' "$prefix/share/applications/acquenza.desktop" || fail "desktop Icon"
grep -q 'MimeType=application/x-acquenza-progetto;' "$prefix/share/applications/acquenza.desktop" ||
  fail "desktop MimeType"
# The desktop's caches: a project's name gives its type, the type this program.
if command -v update-mime-database >/dev/null; then
  # (globs are stored in lower case unless marked case-sensitive)
  grep -qi ':application/x-acquenza-progetto:Acquenza-dati-\*$' "$prefix/share/mime/globs2" ||
    fail "the mime database does not know the data files"
fi
if command -v update-desktop-database >/dev/null; then
  grep -qx 'application/x-acquenza-progetto=acquenza.desktop;' \
    "$prefix/share/applications/mimeinfo.cache" ||
    fail "the desktop database does not give the data files to the program"
else
  echo "update-desktop-database missing (desktop-file-utils): its cache is not checked"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/acquenza.desktop" || fail "desktop entry"
fi

export QT_QPA_PLATFORM=offscreen
cd /
report=$("$prefix/bin/acquenza" --verifica-installazione 2>/dev/null) || {
  echo "$report"; fail "the installed program misses its files"; }
echo "$report"
grep -q "Cartella dei file di Acquenza: $prefix/share/acquenza" <<<"$report" ||
  fail "the installed program looks elsewhere for its files"

# A normal start: the splash shows and the program waits for the user.
set +e
timeout 4 "$prefix/bin/acquenza" >/dev/null 2>&1
status=$?
set -e
[[ $status -eq 124 ]] || fail "the installed program ended by itself (status $status)"
echo "installed program started and kept running"
