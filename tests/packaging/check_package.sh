#!/bin/sh
# Builds the Debian package and checks its control data and its layout, then
# validates the desktop entry and the AppStream file it installs. Leaves the
# unpacked tree in <out>/root for the smoke test.
# Usage: check_package.sh <build dir> <out dir> <version>
set -eu
build=$1
out=$2
version=$3

fail() { echo "check_package: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$out"/tolvex_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package was made"

info=$(dpkg-deb -I "$deb")
field() { printf '%s\n' "$info" | sed -n "s/^ $1: //p"; }
[ "$(field Package)" = tolvex ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "version is '$(field Version)'"
[ "$(field Section)" = games ] || fail "section is '$(field Section)'"
depends=$(field Depends)
# Sound goes through libpulse, tones are decoded by libsndfile, gamepads
# are read by SDL.
for lib in libqt6widgets6 libsndfile1 libc6 libpulse0 libsdl2-2.0-0 qt6-qpa-plugins; do
    printf '%s\n' "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
printf '%s\n' "$(field Recommends)" | grep -q qt6-wayland || fail "Recommends lacks qt6-wayland: $(field Recommends)"
printf '%s\n' "$info" | grep -q "juego de memoria" || fail "no Spanish description"

dpkg-deb -x "$deb" "$out/root"
(cd "$out/root" && find . -type f | sed 's|^\./||' | sort) >"$out/files.txt"
cat >"$out/expected.txt" <<LIST
usr/bin/tolvex
usr/lib/tolvex/Instrucciones.htm
usr/lib/tolvex/tolvex
usr/lib/tolvex/tolvex-gamepad.so
usr/lib/tolvex/tolvex-sound.so
usr/share/applications/org.example.Tolvex.desktop
usr/share/icons/hicolor/128x128/apps/tolvex.png
usr/share/icons/hicolor/256x256/apps/tolvex.png
usr/share/icons/hicolor/32x32/apps/tolvex.png
usr/share/icons/hicolor/48x48/apps/tolvex.png
usr/share/icons/hicolor/64x64/apps/tolvex.png
usr/share/icons/hicolor/scalable/apps/tolvex.svg
usr/share/metainfo/org.example.Tolvex.metainfo.xml
LIST
for set in Beep Campana Ham Ram; do
    for digit in 1 2 3 4; do echo "usr/share/tolvex/tones/$set$digit.wav"; done
done | LC_ALL=C sort >>"$out/expected.txt"
LC_ALL=C sort -o "$out/expected.txt" "$out/expected.txt"
LC_ALL=C sort -o "$out/files.txt" "$out/files.txt"
diff -u "$out/expected.txt" "$out/files.txt" || fail "installed files differ from the layout"
[ -x "$out/root/usr/bin/tolvex" ] || fail "the launcher is not executable"

desktop-file-validate "$out/root/usr/share/applications/org.example.Tolvex.desktop" || fail "desktop entry invalid"
grep -q '^Path=/usr/share/tolvex/tones$' "$out/root/usr/share/applications/org.example.Tolvex.desktop" ||
    fail "desktop entry does not start the game in its tones' folder"
appstreamcli validate --no-net "$out/root/usr/share/metainfo/org.example.Tolvex.metainfo.xml" || fail "metainfo invalid"

echo "check_package: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l <"$out/files.txt") files"
