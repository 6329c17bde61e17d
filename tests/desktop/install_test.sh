#!/usr/bin/env bash
# Installs the build into a fresh prefix, as `cmake --install` does for a user, and checks what
# lands there with the tools the desktops and Debian use.
#   install_test.sh BUILD_DIR PREFIX VERSION APP_ID SOUND_MODULE_DIR
set -uo pipefail
build=$1 prefix=$2 version=$3 id=$4 sound_dir=$5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected="bin/vireo
bin/vireo-ephem
$sound_dir/vireo-sound.so
share/applications/$id.desktop
share/metainfo/$id.metainfo.xml
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/vireo.1.gz
share/man/man1/vireo-ephem.1.gz"
for size in 16 22 24 32 48 64 128 256; do
  expected+=$'\n'"share/icons/hicolor/${size}x${size}/apps/$id.png"
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$(sort <<<"$expected")" ] || fail "installed files differ:"$'\n'"$(diff <(sort <<<"$expected") <(echo "$actual"))"

# The launcher and the metainfo, as the menus and the software centres read them.
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -qx "Icon=$id" "$desktop" || fail "the launcher's icon is not $id"
grep -qx "Exec=vireo" "$desktop" || fail "the launcher does not start vireo"
grep -qx "Categories=Utility;Clock;" "$desktop" || fail "categories"
grep -q '^Name\[ja\]=' "$desktop" && grep -q '^Comment\[ja\]=' "$desktop" || fail "no Japanese name or comment"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is $newest, the project is $version"
grep -q '<screenshot type="default">' "$metainfo" || fail "no screenshot"

# Every PNG is the size of its folder.
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )) h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}"
done

# The man pages render without a warning, raw and as man shows them.
for page in vireo vireo-ephem; do
  gz=$prefix/share/man/man1/$page.1.gz
  out=$(zcat "$gz" | groff -man -ww -z 2>&1) && [ -z "$out" ] || fail "groff on $page.1: $out"
  out=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$gz" 2>&1 >/dev/null) && [ -z "$out" ] || fail "man on $page.1: $out"
  zcat "$gz" | grep -q "Vireo $version" || fail "$page.1 does not carry the version"
  LC_ALL=C MANWIDTH=80 man -l "$gz" 2>/dev/null | grep -q -- '--version' || fail "$page.1 does not describe --version"
done

# The installed program answers without a display.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/vireo" --version 2>&1)
[ "$out" = "Vireo $version" ] || fail "installed vireo --version said: $out"

[ "$failures" -eq 0 ] && echo "installed tree under $prefix is complete and valid"
exit $((failures > 0))
