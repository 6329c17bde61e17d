#!/usr/bin/env bash
# Sets everything up, builds, and runs every test headless.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" test
cd "$top/build"
ctest --output-on-failure -j "$(nproc)" "$@"
