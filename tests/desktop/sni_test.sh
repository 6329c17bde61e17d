#!/usr/bin/env bash
# The notification icon over StatusNotifierItem, as KDE, GNOME's AppIndicator extension and
# most panels show it: on a private session bus with a watcher, the clock registers its item,
# whose tooltip is the time on the chosen scale; activating the item brings the clock out of
# the notification area. Run under an X server (xvfb-run).
#   sni_test.sh VIREO WORK_DIR
set -uo pipefail
vireo=$1 work=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
rm -rf "$work"
mkdir -p "$work/config/Larkspur Laboratory" "$work/run"
chmod 700 "$work/run"
# Started minimised with the icon: the window waits in the notification area.
printf '[General]\nTaskTray=true\nWindowState=1\n' > "$work/config/Larkspur Laboratory/Vireo.conf"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT
read -r address pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -sd' ')
pids+=("$pid")
export DBUS_SESSION_BUS_ADDRESS=$address
/usr/bin/python3 "$here/sni_watcher.py" >"$work/items" 2>"$work/watcher.log" &
pids+=($!)
for _ in $(seq 100); do grep -q ready "$work/watcher.log" && break; sleep 0.05; done
grep -q ready "$work/watcher.log" || { cat "$work/watcher.log"; echo "FAIL: no watcher"; exit 1; }

HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy \
  "$vireo" >"$work/out" 2>&1 &
clock=$!
pids+=("$clock")
for _ in $(seq 200); do [ -s "$work/items" ] && break; sleep 0.05; done
read -r service path < "$work/items" || true
[ -n "${service:-}" ] || { cat "$work/out"; echo "FAIL: the clock registered no item"; exit 1; }

get() { gdbus call --session --dest "$service" --object-path "$path" --method org.freedesktop.DBus.Properties.Get \
          org.kde.StatusNotifierItem "$1" 2>&1; }
sleep 1.5  # the first tick after the start sets the tip
status=$(get Status)
grep -q "Active" <<<"$status" || fail "the item's status: $status"
tip=$(get ToolTip)
# The time, then the scale's name: e.g. "12:34:56 - 地方標準時".
grep -qE "[0-9]{1,2}:[0-9]{2}:[0-9]{2} - 地方標準時" <<<"$tip" || fail "the item's tooltip: $tip"
icon=$(get IconPixmap)
grep -qE "\(([0-9]+), ([0-9]+), \[byte" <<<"$icon" || [ -n "$(get IconName | grep -v "''")" ] || fail "the item has no icon: ${icon:0:200}"
sleep 1.2
tip2=$(get ToolTip)
[ "$tip2" != "$tip" ] || fail "the tooltip does not follow the time: $tip2"

xdotool search --onlyvisible --name ' - Vireo$' >/dev/null 2>&1 && fail "the window shows before the icon is activated"
gdbus call --session --dest "$service" --object-path "$path" --method org.kde.StatusNotifierItem.Activate 0 0 >/dev/null 2>&1 \
  || fail "Activate was refused"
shown=""
for _ in $(seq 100); do xdotool search --onlyvisible --name ' - Vireo$' >/dev/null 2>&1 && { shown=yes; break; }; sleep 0.05; done
[ -n "$shown" ] || fail "activating the item did not bring the clock out"

kill -TERM "$clock"
wait "$clock"
code=$?
[ "$code" -eq 0 ] || fail "the clock ended with status $code on SIGTERM: $(cat "$work/out")"
[ "$failures" -eq 0 ] && echo "the notification item works"
exit $((failures > 0))
