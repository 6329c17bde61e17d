#!/usr/bin/env bash
# Sets everything up, builds, and starts the clock.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" run
if [ ! -x "$top/build/bin/vireo" ]; then
  echo "Built. The clock window is not part of this build yet, so there is nothing to start."
  exit 0
fi
exec "$top/build/bin/vireo" "$@"
