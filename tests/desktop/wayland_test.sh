#!/usr/bin/env bash
# The clock as a native Wayland client, under a headless weston: it makes its toplevel window
# under the launcher's app id, keeps drawing it every second and ends cleanly on SIGTERM.
#   wayland_test.sh VIREO APP_ID WORK_FOLDER
set -uo pipefail
vireo=$1 id=$2 work=$3
# In a sanitizer build: Mesa's EGL drivers, loaded for the Wayland window, leak from modules
# they unload before the leak check, whose stacks cannot be named; leaks are not checked here.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$work"
mkdir -p "$work/run" "$work/config"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
unset DISPLAY

weston --backend=headless-backend.so --socket=wayland-vireo --idle-time=0 >"$work/weston.log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null' EXIT
for _ in $(seq 100); do [ -S "$work/run/wayland-vireo" ] && break; sleep 0.1; done
[ -S "$work/run/wayland-vireo" ] || { cat "$work/weston.log"; echo "FAIL: weston did not start"; exit 1; }

WAYLAND_DISPLAY=wayland-vireo QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client HOME=$work \
    XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy "$vireo" >"$work/out" 2>"$work/err" &
clock=$!
sleep 4.5
if kill -0 "$clock" 2>/dev/null; then
  kill -TERM "$clock"
  wait "$clock"; status=$?
  [ "$status" = 0 ] || fail "the clock ended with status $status on SIGTERM"
else
  wait "$clock"; fail "the clock ended by itself with status $?"
fi

grep -q 'Could not load the Qt platform plugin\|Failed to create wl_display' "$work/err" && fail "no Wayland platform"
grep -q "xdg_toplevel@[0-9]*\.set_app_id(\"$id\")" "$work/err" || fail "no toplevel with app id $id"
grep -q 'xdg_toplevel@[0-9]*\.set_title(".*Vireo")' "$work/err" || fail "no window title"
# The first frame, then the readout and second hand once a second.
commits=$(grep -c 'wl_surface@[0-9]*\.commit()' "$work/err")
[ "$commits" -ge 4 ] || fail "only $commits surface commits in 4.5 s"
[ -f "$work/config/Larkspur Laboratory/Vireo.conf" ] || fail "no settings saved at the end"

if [ "$failures" -eq 0 ]; then
  echo "native Wayland window, app id $id, $commits surface commits in 4.5 s"
else
  grep -v '^\[' "$work/err" | head -20
fi
exit $((failures > 0))
