#!/usr/bin/env bash
# The built program with no display at all, as over ssh: help, the version and usage errors
# answer before any window; Qt's own -platform option still starts the clock.
#   command_line_test.sh VIREO VERSION HOME_FOLDER
set -uo pipefail
vireo=$1 version=$2 home=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
rm -rf "$home"
mkdir -p "$home/config" "$home/run"
chmod 700 "$home/run"
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config" \
      XDG_RUNTIME_DIR="$home/run" SDL_AUDIODRIVER=dummy "$vireo" "$@" >"$home/out" 2>"$home/err"
}

run --version; status=$?
[ "$status" = 0 ] && [ "$(cat "$home/out")" = "Vireo $version" ] && [ ! -s "$home/err" ] ||
  fail "--version: status $status, out '$(cat "$home/out")', err '$(cat "$home/err")'"
run --help; status=$?
[ "$status" = 0 ] && grep -q -- '--version' "$home/out" || fail "--help: status $status"
for bad in --bogus stray "-platform offscreen --bogus"; do
  # shellcheck disable=SC2086
  run $bad; status=$?
  [ "$status" = 64 ] && [ ! -s "$home/out" ] && grep -q "Try 'vireo --help'" "$home/err" ||
    fail "'$bad': status $status, err '$(cat "$home/err")'"
done
[ -z "$(ls -A "$home/config")" ] || fail "a command-line answer wrote settings: $(ls -A "$home/config")"

# Qt's own option reaches Qt: with no display, only -platform offscreen lets the clock start.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run" SDL_AUDIODRIVER=dummy "$vireo" -platform offscreen >"$home/out" 2>"$home/err" &
pid=$!
sleep 3
if kill -0 "$pid" 2>/dev/null; then
  kill -TERM "$pid"
  wait "$pid"; status=$?
  [ "$status" = 0 ] || fail "the offscreen clock ended with status $status on SIGTERM"
  [ -f "$home/config/Larkspur Laboratory/Vireo.conf" ] || fail "the offscreen clock saved no settings"
else
  wait "$pid"; fail "the clock with -platform offscreen ended at once ($?): $(cat "$home/err")"
fi

[ "$failures" -eq 0 ] && echo "the command line answers without a display"
exit $((failures > 0))
