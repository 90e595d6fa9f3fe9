#!/usr/bin/env bash
# Builds the Debian package from a configured build tree and checks what a
# user installs: the program, its menu entry, icon and AppStream data, and
# dependencies on every runtime library it links (none left to chance).
# Usage: check-deb.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 src=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/zorvane_*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
depends=$(dpkg-deb -f "$deb" Depends)
fail=0
for f in ./usr/bin/zorvane ./usr/share/applications/org.zorvane.Zorvane.desktop \
         ./usr/share/metainfo/org.zorvane.Zorvane.metainfo.xml \
         ./usr/share/icons/hicolor/32x32/apps/zorvane.xpm ./usr/share/icons/hicolor/256x256/apps/zorvane.png; do
  grep -qx -- "$f" <<<"$files" || { echo "missing from the package: $f"; fail=1; }
done
for d in libqt6widgets6 libqt6svg6 qt6-qpa-plugins libportaudio2 libsndfile1 libasound2 fonts-liberation pocketsphinx-en-us libpocketsphinx3 libespeak-ng1 libsoxr0 libfftw3-single3; do
  grep -q "\b$d\b" <<<"$depends" || { echo "not among the dependencies: $d (Depends: $depends)"; fail=1; }
done
desktop-file-validate "$src/packaging/org.zorvane.Zorvane.desktop" || fail=1
appstreamcli validate --no-net "$src/packaging/org.zorvane.Zorvane.metainfo.xml" >/dev/null || fail=1
[ $fail -eq 0 ] && echo "package ok: $(basename "$deb"), Depends: $depends"
exit $fail
