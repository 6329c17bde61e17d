#!/usr/bin/env bash
# The other builds every change must pass, after scripts/test.sh has set the machine up:
# Release (what packagers build) and one under AddressSanitizer and UBSan (any report fails).
#   check-builds.sh [release] [sanitizers]   (both by default)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(release sanitizers)
jobs=$(nproc)
for kind in "${kinds[@]}"; do
  case $kind in
    release)
      cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DVIREO_BUILD_BENCH=OFF >/dev/null
      cmake --build "$top/build-release" -j "$jobs"
      (cd "$top/build-release" && ctest --output-on-failure -j "$jobs" --repeat until-pass:2)
      ;;
    sanitizers)
      flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
      cmake -S "$top" -B "$top/build-sanitizers" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DVIREO_BUILD_BENCH=OFF \
        "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" \
        "-DCMAKE_MODULE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
      cmake --build "$top/build-sanitizers" -j "$jobs"
      # Leaks are checked too; the system libraries that keep memory to the end by design are
      # named in tests/sanitizers/lsan.supp.
      (cd "$top/build-sanitizers" &&
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
          ctest --output-on-failure -j "$jobs" --repeat until-pass:2 --timeout 600)
      ;;
    *) echo "check-builds.sh: unknown build '$kind' (release, sanitizers)" >&2; exit 64 ;;
  esac
done
