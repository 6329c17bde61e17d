#!/usr/bin/env bash
# Idle cost of the running clock, side by side with `xclock -update 1` under one Xvfb server
# over the same interval: CPU time (user + system, from /proc/<pid>/stat), resident memory,
# and the time from start until the window is shown.
#
#   bench/mainwindow/idle.sh [seconds] [path/to/vireo]
#
# Targets: CPU at most 1.5 x xclock's, at most 45 MB resident, window within 0.5 s.
# The clock runs on a private, empty settings folder, so a user's own clock is never touched.
set -euo pipefail

seconds=${1:-60}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
vireo=${2:-${VIREO_BIN_DIR:-$top/build/bin}/vireo}
[ -x "$vireo" ] || { echo "no program at $vireo (build the vireo target first)" >&2; exit 1; }
for tool in Xvfb xclock xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb writes its number once it is ready.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")

mkdir -p "$work/home/config/Larkspur Laboratory" "$work/home/run"
# Settings to start with (for experiments), e.g. IDLE_SETTINGS=$'ClockMode=6\nBackgroundMode=4'
[ -n "${IDLE_SETTINGS:-}" ] && printf "[General]\n%b\n" "$IDLE_SETTINGS" > "$work/home/config/Larkspur Laboratory/Vireo.conf"
chmod 700 "$work/home/run"

ticks=$(getconf CLK_TCK)
now_ns() { date +%s%N; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Nanoseconds on the processor of every thread of a process (finer than the clock ticks).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
hwm_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# Starts a program and waits for its window; prints "pid milliseconds".
# $1 and $2: how xdotool finds the window ("--class xclock", "--name <pattern>").
start_and_wait() {
  local by=$1 pattern=$2; shift 2
  local t0 pid
  t0=$(now_ns)
  "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1000); do
    if xdotool search --onlyvisible "$by" "$pattern" >/dev/null 2>&1; then
      echo "$pid $(( ($(now_ns) - t0) / 1000000 ))"
      return 0
    fi
    sleep 0.005
  done
  echo "$pid -1"
}

read -r xclock_pid xclock_ms < <(start_and_wait --class xclock xclock -update 1)
pids+=("$xclock_pid")
read -r vireo_pid vireo_ms < <(start_and_wait --name ' - Vireo$' \
  env HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/run" \
      SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$vireo")
pids+=("$vireo_pid")

# Let both settle, then measure the same interval for both.
sleep 2
x0=$(cpu_ticks "$xclock_pid"); v0=$(cpu_ticks "$vireo_pid")
xn0=$(cpu_ns "$xclock_pid"); vn0=$(cpu_ns "$vireo_pid")
sleep "$seconds"
x1=$(cpu_ticks "$xclock_pid"); v1=$(cpu_ticks "$vireo_pid")
xn1=$(cpu_ns "$xclock_pid"); vn1=$(cpu_ns "$vireo_pid")

# /proc/<pid>/stat counts whole clock ticks (10 ms); schedstat gives the same time in ns.
xtick=$(( (x1 - x0) * 1000 / ticks )); vtick=$(( (v1 - v0) * 1000 / ticks ))
xcpu=$(( (xn1 - xn0) / 1000000 )); vcpu=$(( (vn1 - vn0) / 1000000 ))
vrss=$(rss_kb "$vireo_pid"); vhwm=$(hwm_kb "$vireo_pid"); xrss=$(rss_kb "$xclock_pid")

printf '%-8s %12s %14s %10s %10s %12s\n' program "cpu ms/${seconds}s" "(stat ticks ms)" "rss MB" "peak MB" "window ms"
printf '%-8s %12d %14d %10.1f %10.1f %12d\n' vireo "$vcpu" "$vtick" "$(echo "$vrss/1024" | bc -l)" "$(echo "$vhwm/1024" | bc -l)" "$vireo_ms"
printf '%-8s %12d %14d %10.1f %10s %12d\n' xclock "$xcpu" "$xtick" "$(echo "$xrss/1024" | bc -l)" "-" "$xclock_ms"
if [ "$xcpu" -gt 0 ]; then
  printf 'cpu ratio vireo/xclock: %.2f (target <= 1.5)\n' "$(echo "$vcpu/$xcpu" | bc -l)"
else
  echo "cpu ratio vireo/xclock: xclock used under one clock tick (${ticks} Hz); lengthen the run"
fi
printf 'resident: %.1f MB (target <= 45), window: %d ms (target <= 500)\n' "$(echo "$vrss/1024" | bc -l)" "$vireo_ms"
