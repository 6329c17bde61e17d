#!/usr/bin/env bash
# Sets everything up, builds, and runs every test headless.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" test
cd "$top/build"
# The window-manager tests wait on another program (openbox); a test that failed gets one more try.
ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
