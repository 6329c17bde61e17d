#!/usr/bin/env bash
# Idle cost of the running clock, side by side with `xclock -update 1` under one Xvfb server
# over the same interval, as the median of several runs: CPU time of every thread, wake-ups
# (voluntary context switches of every thread, per second), resident memory, the time from
# start until the window is shown, and the time from SIGTERM until the process has ended.
#
#   bench/mainwindow/idle.sh [seconds per run] [runs] [path/to/vireo]
#
# Targets: CPU at most 1.3 x xclock's, at most 1.5 wake-ups a second, at most 36 MB resident,
# window within 300 ms, shutdown within 300 ms.
# The clock runs on a private, empty settings folder, so a user's own clock is never touched.
set -euo pipefail

seconds=${1:-30}
runs=${2:-5}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
vireo=${3:-${VIREO_BIN_DIR:-$top/build/bin}/vireo}
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

now_ns() { date +%s%N; }
# Every thread of a process: its id, nanoseconds on the processor and voluntary context
# switches (each one sleep ended by a wake-up). A thread may end between the listing and the
# reading of its files; it is left out.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    { read -r ns _ < "$t/schedstat" && echo "${t##*/} $ns $(awk '/^voluntary_ctxt_switches:/ { print $2 }' "$t/status")"; } 2>/dev/null || true
  done
}
# What the threads of a process did between two listings: a thread in both counts its growth,
# one started since counts all of its own. One that ended meanwhile took its count with it, so
# it is left out rather than taken off (a sum over the live threads would take off its whole life).
grown() { awk -v col="$3" 'NR == FNR { was[$1] = $col; next } { s += $col - ($1 in was ? was[$1] : 0) } END { printf "%d\n", s }' "$1" "$2"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
ended() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]; }

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

# Milliseconds from SIGTERM until the process has ended.
stop_and_time() {
  local t0
  t0=$(now_ns)
  kill -TERM "$1"
  for _ in $(seq 5000); do ended "$1" && break; sleep 0.002; done
  echo $(( ($(now_ns) - t0) / 1000000 ))
}

median() { sort -g | awk '{ a[NR] = $1 } END { if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

: > "$work/results"
for run in $(seq "$runs"); do
  home="$work/home$run"
  mkdir -p "$home/config/Larkspur Laboratory" "$home/run"
  chmod 700 "$home/run"
  # Settings to start with (for experiments), e.g. IDLE_SETTINGS=$'ClockMode=6\nBackgroundMode=4'
  [ -n "${IDLE_SETTINGS:-}" ] && printf "[General]\n%b\n" "$IDLE_SETTINGS" > "$home/config/Larkspur Laboratory/Vireo.conf"

  read -r xclock_pid xclock_ms < <(start_and_wait --class xclock xclock -update 1)
  pids+=("$xclock_pid")
  read -r vireo_pid vireo_ms < <(start_and_wait --name ' - Vireo$' \
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
        SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$vireo")
  pids+=("$vireo_pid")

  # Let both settle (the clock lets go of its start-up pages a second after it starts and
  # takes back what its ticks use on the next), then measure the same interval for both.
  sleep 3
  threads "$xclock_pid" > "$work/x0"; threads "$vireo_pid" > "$work/v0"
  sleep "$seconds"
  threads "$xclock_pid" > "$work/x1"; threads "$vireo_pid" > "$work/v1"
  xn0=0; xn1=$(grown "$work/x0" "$work/x1" 2); xw0=0; xw1=$(grown "$work/x0" "$work/x1" 3)
  vn0=0; vn1=$(grown "$work/v0" "$work/v1" 2); vw0=0; vw1=$(grown "$work/v0" "$work/v1" 3)
  vrss=$(rss_kb "$vireo_pid"); xrss=$(rss_kb "$xclock_pid")
  vstop=$(stop_and_time "$vireo_pid")
  kill "$xclock_pid" 2>/dev/null || true
  wait "$xclock_pid" "$vireo_pid" 2>/dev/null || true

  echo "$(( (vn1 - vn0) / 1000 )) $(( (xn1 - xn0) / 1000 )) $vw1 $vw0 $xw1 $xw0 $vrss $xrss $vireo_ms $xclock_ms $vstop" >> "$work/results"
  awk -v s="$seconds" -v r="$run" '{ printf "run %d: vireo %.1f ms cpu, %.2f wake-ups/s, %.1f MB, window %d ms, shutdown %d ms; xclock %.1f ms cpu, %.2f wake-ups/s, %.1f MB\n",
      r, $1 / 1000, ($3 - $4) / s, $7 / 1024, $9, $11, $2 / 1000, ($5 - $6) / s, $8 / 1024 }' <(tail -n1 "$work/results")
done

col() { awk -v c="$1" '{ print $c }' "$work/results" | median; }
vcpu=$(col 1); xcpu=$(col 2)
vwake=$(awk -v s="$seconds" '{ print ($3 - $4) / s }' "$work/results" | median)
xwake=$(awk -v s="$seconds" '{ print ($5 - $6) / s }' "$work/results" | median)
vrss=$(col 7); xrss=$(col 8); vwin=$(col 9); xwin=$(col 10); vstop=$(col 11)

echo
echo "medians of $runs runs of ${seconds} s:"
printf '%-8s %14s %12s %10s %12s %12s\n' program "cpu ms/${seconds}s" "wake-ups/s" "rss MB" "window ms" "shutdown ms"
printf '%-8s %14.1f %12.2f %10.1f %12d %12d\n' vireo "$(echo "$vcpu/1000" | bc -l)" "$vwake" "$(echo "$vrss/1024" | bc -l)" "$vwin" "$vstop"
printf '%-8s %14.1f %12.2f %10.1f %12d %12s\n' xclock "$(echo "$xcpu/1000" | bc -l)" "$xwake" "$(echo "$xrss/1024" | bc -l)" "$xwin" "-"
if [ "$(echo "$xcpu > 0" | bc)" = 1 ]; then
  printf 'cpu ratio vireo/xclock: %.2f (target <= 1.3)\n' "$(echo "$vcpu/$xcpu" | bc -l)"
fi
printf 'wake-ups: %.2f/s (target <= 1.5); resident: %.1f MB (target <= 36); window: %d ms (target <= 300); shutdown: %d ms (target <= 300)\n' \
  "$vwake" "$(echo "$vrss/1024" | bc -l)" "$vwin" "$vstop"
