#!/usr/bin/env bash
# Runs a command on a display of its own with a real window manager (openbox), as a user's
# desktop would have it: frames, placement, moves and focus rules. Compositors and
# notification areas are the tests' own to start and stop.
#
#   wm-session.sh COMMAND [ARGS...]
set -u
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One display with openbox on it; false when either does not come up. Under load a display
# can be gone before openbox reaches it (seen once in a parallel run): then start again.
start_session() {
  : > "$work/display"
  exec 3> "$work/display"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
  export DISPLAY=:$(head -n1 "$work/display")

  # openbox with its defaults, and no session of the user's own.
  HOME="$work" XDG_CONFIG_HOME="$work/config" openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  # Ready once it has said it manages the screen.
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  echo "openbox did not start" >&2
  cat "$work/openbox.log" >&2
  return 1
}

started=false
for attempt in 1 2 3; do
  if start_session; then started=true; break; fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
done
$started || exit 1

"$@"
