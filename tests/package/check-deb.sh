#!/usr/bin/env bash
# Checks a built velmoplayer .deb without installing it: its name and version
# are the program's, its control fields name what the program needs (FFmpeg's
# libraries, which it opens at run time, included) and it holds every file a
# desktop, man and dpkg look for, owned by root with Debian's permissions.
# Usage: check-deb.sh <package.deb>
#        check-deb.sh --cpack <cpack> <build-dir>   (builds the package first)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$1" = "--cpack" ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
  "$2" --config "$3/CPackConfig.cmake" -B "$out" >/dev/null || fail "cpack failed"
  debs=("$out"/*.deb)
  [ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages"
  deb=${debs[0]}
else
  deb=$1
fi

work=$(mktemp -d)
trap 'rm -rf "$work" ${out:+"$out"}' EXIT
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/velmoplayer
[ -x "$program" ] || fail "usr/bin/velmoplayer missing"

version=$("$program" --version | sed -n '1s/^velmoplayer //p')
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "velmoplayer_${version}_${arch}.deb" ] \
  || fail "package named $(basename "$deb"), expected velmoplayer_${version}_${arch}.deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmoplayer ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version) is not the program's $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = sound ] || fail "Section is $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -gt 2 ] || fail "Description has no long text"

# Every library the program opens at run time, and every one it links, is
# held by a package that Depends names.
depends=",$(field Depends | tr -d ' '),"
needs=$(strings "$program" | grep -oE 'lib(avformat|avcodec|swresample|avutil|SDL2-2\.0)\.so\.[0-9]+$' | sort -u)
[ "$(wc -l <<<"$needs")" -eq 5 ] || fail "expected four FFmpeg sonames and SDL's in the program, found: $needs"
needs+=$'\n'$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for soname in $needs; do
  # The copy in this architecture's folder, not a 32-bit one in /lib32.
  package=$(dpkg-query -S "*/$multiarch/$soname" 2>/dev/null | head -1 | cut -d: -f1)
  [ -n "$package" ] || fail "no installed package holds $soname"
  case "$depends" in *",$package,"* | *",$package("*) ;; *) fail "Depends lacks $package (for $soname)" ;; esac
done

expected=(
  usr/bin/velmoplayer
  usr/share/applications/velmoplayer.desktop
  usr/share/metainfo/io.github.velmoplayer.VelmoPlayer.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/velmoplayer.svg
  usr/share/icons/hicolor/48x48/apps/velmoplayer.png
  usr/share/icons/hicolor/128x128/apps/velmoplayer.png
  usr/share/man/man1/velmoplayer.1.gz
  usr/share/doc/velmoplayer/copyright
  usr/share/doc/velmoplayer/changelog.gz
)
listing=$(dpkg-deb -c "$deb")
for f in "${expected[@]}"; do
  grep -qE " \./$f\$" <<<"$listing" || fail "package lacks /$f"
done
# Owner root, directories and the program 0755, other files 0644.
bad=$(awk '$2 != "root/root" ||
           ($1 ~ /^d/ && $1 != "drwxr-xr-x") ||
           ($1 ~ /^-/ && $6 != "./usr/bin/velmoplayer" && $1 != "-rw-r--r--") ||
           ($6 == "./usr/bin/velmoplayer" && $1 != "-rwxr-xr-x")' <<<"$listing")
[ -z "$bad" ] || fail "wrong owner or permissions: $bad"

grep -q "<release version=\"$version\"" "$work/root/usr/share/metainfo/"*.metainfo.xml \
  || fail "metainfo's release is not $version"
zcat "$work/root/usr/share/doc/velmoplayer/changelog.gz" | head -1 | grep -qF "velmoplayer ($version)" \
  || fail "changelog's first entry is not $version"
echo "package OK: $(basename "$deb")"
