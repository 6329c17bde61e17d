#!/usr/bin/env bash
# Installs the Debian packages Vireo needs. Safe to run again: installs only what is missing.
#   setup.sh [run] [build] [test]   the lists of packages.txt to install; all when none is named
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lists=("$@")
[ ${#lists[@]} -eq 0 ] && lists=(run build test)

mapfile -t pkgs < <(awk -v wanted=" ${lists[*]} " '
  /^[[:space:]]*(#|$)/ { next }
  /^\[.*\]$/ { list = substr($0, 2, length($0) - 2); next }
  index(wanted, " " list " ") { print $1 }
' "$here/packages.txt")

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
