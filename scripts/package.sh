#!/usr/bin/env bash
# Builds the Debian package velmoplayer_<version>_<arch>.deb into build/ (or
# into the folder given) and prints its path. Usage: scripts/package.sh [out-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMO_BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$build}" && cd "${1:-$build}" && pwd)
"$root/scripts/setup.sh" >&2
"$root/scripts/build.sh" --target velmoplayer velmo_docs >&2
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
rm -rf "$out/_CPack_Packages"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
echo "$out/velmoplayer_${version}_$(dpkg --print-architecture).deb"
