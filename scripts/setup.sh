#!/usr/bin/env bash
# Installs every Debian package VelmoPlayer needs to build, run and test.
# Idempotent: quiet and quick when everything is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v '^#' "$here/packages.txt" | sed '/^\s*$/d')
if [ "${1:-}" = "--fuzz" ]; then
  wanted+=(clang libclang-rt-14-dev)
fi

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
