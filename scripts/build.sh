#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything into build/.
#   build.sh test   everything, tests and benchmarks included (the default)
#   build.sh run    what the clock needs; a build/ already set up for tests stays so
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-test}
cache=$top/build/CMakeCache.txt
if [ "$mode" = run ]; then
  if [ ! -f "$cache" ]; then
    bash "$top/scripts/setup.sh" run build
    options=(-DBUILD_TESTING=OFF -DVIREO_BUILD_BENCH=OFF)
  elif grep -q -E '^(BUILD_TESTING|VIREO_BUILD_BENCH):BOOL=ON' "$cache"; then
    bash "$top/scripts/setup.sh" run build test
    options=()
  else
    bash "$top/scripts/setup.sh" run build
    options=()
  fi
else
  bash "$top/scripts/setup.sh" run build test
  options=(-DBUILD_TESTING=ON -DVIREO_BUILD_BENCH=ON)
fi
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$top/build" -j "$(nproc)"
