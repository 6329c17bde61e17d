#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its name, its run-time Depends, its files
# and its removal script.
#   deb_package_test.sh BUILD_DIR OUT_DIR VERSION SOUND_MODULE_DIR
set -uo pipefail
build=$1 out=$2 version=$3 sound_dir=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$out/vireo_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$out"; echo "FAIL: no $deb"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vireo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
depends=$(field Depends)
echo "Depends: $depends"
echo "Recommends: $(field Recommends)"
names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g')
# What the programs link (from dpkg-shlibdeps) and what they load at run time.
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libfluidsynth3 \
              libsdl2-mixer-2.0-0 liberfa1 fluid-soundfont-gm fonts-noto-cjk qt6-translations-l10n \
              hicolor-icon-theme; do
  grep -qxF "$needed" <<<"$names" || fail "Depends lacks $needed"
done
# Nothing that only builds or tests it.
for tool in gtest gmock benchmark libqt6test xvfb xauth xdotool desktop-file-utils appstream weston \
            openbox faketime strace cmake -dev; do
  grep -q -- "$tool" <<<"$depends" && fail "Depends names $tool"
done
grep -q qt6-wayland <<<"$(field Recommends)" || fail "qt6-wayland is not recommended"

# Exactly the installed files, under /usr.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
id=example.larkspur.Vireo
expected="usr/bin/vireo
usr/bin/vireo-ephem
usr/$sound_dir/vireo-sound.so
usr/share/applications/$id.desktop
usr/share/metainfo/$id.metainfo.xml
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/vireo.1.gz
usr/share/man/man1/vireo-ephem.1.gz"
for size in 16 22 24 32 48 64 128 256; do expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/$id.png"; done
[ "$files" = "$(sort <<<"$expected")" ] || fail "package files differ:"$'\n'"$(diff <(sort <<<"$expected") <(echo "$files"))"

# The removal script: the machine-wide entry the clock wrote for /usr/bin/vireo goes with the
# package; another program's entry, and any entry on upgrade, stay.
control=$out/control
dpkg-deb -e "$deb" "$control"
[ -x "$control/postrm" ] || fail "no executable postrm"
root=$out/root
entry=$root/etc/xdg/autostart/Vireo.desktop
put() { mkdir -p "$(dirname "$entry")"; printf '[Desktop Entry]\nType=Application\nName=Vireo\n%s\n' "$1" >"$entry"; }
put 'TryExec=/usr/bin/vireo'
DPKG_ROOT=$root "$control/postrm" upgrade 1.0.1 && [ -f "$entry" ] || fail "postrm upgrade removed the entry"
DPKG_ROOT=$root "$control/postrm" remove && [ ! -e "$entry" ] || fail "postrm remove left the entry the clock wrote"
put 'Exec=/usr/bin/vireo'
DPKG_ROOT=$root "$control/postrm" purge && [ ! -e "$entry" ] || fail "postrm purge left an older entry for /usr/bin/vireo"
put 'Exec=/home/someone/build/bin/vireo'
DPKG_ROOT=$root "$control/postrm" remove && [ -f "$entry" ] || fail "postrm removed an entry for another program"

# The packaged files run as they are: the program answers, its sound module finds every library
# it needs, and a start under a display ends cleanly on SIGTERM.
unpacked=$out/unpacked
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$unpacked/usr/bin/vireo" --version 2>&1)
[ "$said" = "Vireo $version" ] || fail "the packaged vireo --version said: $said"
missing=$(ldd "$unpacked/usr/$sound_dir/vireo-sound.so" 2>&1 | grep "not found")
[ -z "$missing" ] || fail "the sound module lacks: $missing"
home=$out/home
mkdir -p "$home/config" "$home/run" && chmod 700 "$home/run"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen \
  SDL_AUDIODRIVER=dummy "$unpacked/usr/bin/vireo" >"$out/run.log" 2>&1 &
clock=$!
sleep 2
kill -TERM "$clock" 2>/dev/null
wait "$clock"
status=$?
[ "$status" -eq 0 ] || fail "the packaged clock ended with status $status: $(cat "$out/run.log")"
[ -f "$home/config/Larkspur Laboratory/Vireo.conf" ] || fail "the packaged clock saved no settings"

[ "$failures" -eq 0 ] && echo "$deb is complete"
exit $((failures > 0))
