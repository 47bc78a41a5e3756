#!/usr/bin/env bash
# Installs the Debian package the way a user does, apt-get install ./x.deb,
# into a fresh minimal Debian 12 root made with debootstrap, then checks that
# the program runs, that dpkg lists every file of the package and finds it on
# disk, that lintian reports no error, and that removing the package leaves
# none of its files. Needs root and Debian's package mirror; takes minutes.
#
# Usage: tests/package/install-test.sh [package.deb]      (default: scripts/package.sh builds it)
#        tests/package/install-test.sh --host [package.deb]
# --host installs into this machine instead of a fresh root (for machines
# where debootstrap cannot run); it refuses when velmoplayer is installed.
# VELMO_DEBIAN_MIRROR overrides the mirror (default http://deb.debian.org/debian).
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root (debootstrap, chroot and dpkg need it)"

host=false
if [ "${1:-}" = "--host" ]; then host=true; shift; fi
deb=${1:-$("$root_dir/scripts/package.sh" | tail -1)}
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
[ -f "$deb" ] || fail "no package at $deb"

"$root_dir/tests/package/check-deb.sh" "$deb"

command -v lintian >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian >/dev/null
# Errors fail the test; warnings and notes are shown for the reader.
lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>/dev/null || true)
[ -z "$lintian_out" ] || echo "$lintian_out"
grep -q '^E: ' <<<"$lintian_out" && fail "lintian reports errors"

work=$(mktemp -d /var/tmp/velmo-install.XXXX)
target=$work/root
run() { chroot "$target" "$@"; }
cleanup() {
  if ! $host; then
    for m in var/cache/apt/archives dev/pts dev proc; do mountpoint -q "$target/$m" && umount "$target/$m"; done
  fi
  rm -rf "$work"
}
trap cleanup EXIT

if $host; then
  dpkg-query -W velmoplayer >/dev/null 2>&1 && fail "velmoplayer is installed on this machine already"
  target=/
  run() { "$@"; }
else
  command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  mirror=${VELMO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
  echo "debootstrap: minimal Debian 12 into $target"
  # The downloaded packages are kept for the next run; the root is new each time.
  cache=/var/cache/velmoplayer-debootstrap
  mkdir -p "$cache"
  debootstrap --variant=minbase --cache-dir="$cache" bookworm "$target" "$mirror" >"$work/debootstrap.log" 2>&1 \
    || { tail -20 "$work/debootstrap.log"; fail "debootstrap failed"; }
  mount -t proc proc "$target/proc"
  mount --bind /dev "$target/dev"
  mount --bind /dev/pts "$target/dev/pts"
  mkdir -p "$cache/apt/partial"
  mount --bind "$cache/apt" "$target/var/cache/apt/archives"
  echo "deb $mirror bookworm main" >"$target/etc/apt/sources.list"
  run apt-get update -qq
fi

cp "$deb" "$target/tmp/"
echo "apt-get install ./$(basename "$deb")"
DEBIAN_FRONTEND=noninteractive run sh -c "cd /tmp && apt-get install -y -qq ./$(basename "$deb")" >"$work/install.log" 2>&1 \
  || { tail -20 "$work/install.log"; fail "apt-get install failed"; }

version=$(run velmoplayer --version | sed -n '1s/^velmoplayer //p')
[ "$version" = "$(dpkg-deb -f "$deb" Version)" ] || fail "installed velmoplayer --version says '$version'"
run velmoplayer --help >/dev/null || fail "installed velmoplayer --help failed"

# The libraries the program opens at run time are there, as the Depends promised.
for soname in $(strings "$target/usr/bin/velmoplayer" | grep -E '^lib(avformat|avcodec|swresample|avutil)\.so\.[0-9]+$'); do
  run sh -c "ldconfig -p | grep -qF '$soname '" || fail "$soname is not installed with the package"
done
missing=$(run ldd /usr/bin/velmoplayer | grep 'not found' || true)
[ -z "$missing" ] || fail "libraries not found: $missing"

# dpkg -L lists every file of the package, and each is on disk.
listed=$(run dpkg -L velmoplayer)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}')
for f in $files; do
  grep -qxF "$f" <<<"$listed" || fail "dpkg -L does not list $f"
  [ -f "$target$f" ] || fail "$f is listed but not installed"
done
man_text=$(run sh -c 'command -v man >/dev/null && man -l /usr/share/man/man1/velmoplayer.1.gz 2>&1 >/dev/null' || true)
[ -z "$man_text" ] || fail "man warns: $man_text"

echo "apt-get remove velmoplayer"
DEBIAN_FRONTEND=noninteractive run apt-get remove -y -qq --purge velmoplayer >"$work/remove.log" 2>&1 \
  || { tail -20 "$work/remove.log"; fail "apt-get remove failed"; }
for f in $files; do
  [ ! -e "$target$f" ] || fail "$f is left after removal"
done
echo "install test OK: $(basename "$deb") in $($host && echo "this machine" || echo "a fresh Debian 12 root")"
