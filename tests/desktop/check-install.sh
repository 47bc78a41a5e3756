#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks the result the way
# desktops and software centres read it: every file in its standard place, the
# desktop entry and the AppStream metainfo accepted by their validators.
# Usage: check-install.sh <cmake> <build-dir>
# Without the validators it exits 77, CTest's "skipped".
set -euo pipefail
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$prefix/bin/velmoplayer" ] || fail "bin/velmoplayer missing or not executable"
# The installed program finds every library it needs outside the build tree.
missing_libs=$(ldd "$prefix/bin/velmoplayer" | grep 'not found' || true)
[ -z "$missing_libs" ] || fail "bin/velmoplayer lacks libraries: $missing_libs"
if readelf -d "$prefix/bin/velmoplayer" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
  fail "bin/velmoplayer still looks for libraries in the build tree"
fi
desktop=$prefix/share/applications/velmoplayer.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
for f in scalable/apps/velmoplayer.svg 48x48/apps/velmoplayer.png 128x128/apps/velmoplayer.png; do
  [ -s "$prefix/share/icons/hicolor/$f" ] || fail "icon $f missing"
done
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
[ ${#metainfo[@]} -eq 1 ] && [ -f "${metainfo[0]}" ] || fail "expected one metainfo file"

# A PNG's width and height sit at bytes 16..23 of its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }
for size in 48 128; do
  got=$(png_size "$prefix/share/icons/hicolor/${size}x${size}/apps/velmoplayer.png")
  [ "$got" = "${size}x${size}" ] || fail "${size}px icon is $got"
done

grep -qx 'Icon=velmoplayer' "$desktop" || fail "desktop entry does not name the installed icon"
grep -q '<launchable type="desktop-id">velmoplayer.desktop</launchable>' "${metainfo[0]}" \
  || fail "metainfo does not launch the installed desktop entry"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "${metainfo[0]}" \
  || fail "metainfo does not name the licence"
mimes=$(sed -n 's/^MimeType=//p' "$desktop")
for type in audio/mpeg audio/x-wav audio/wav audio/vnd.wave audio/ogg audio/x-vorbis+ogg \
            audio/x-opus+ogg audio/x-ms-wma audio/mp4 audio/x-m4a audio/flac audio/x-flac; do
  case ";$mimes" in *";$type;"*) ;; *) fail "MimeType lacks $type" ;; esac
done

desktop-file-validate "$desktop" || fail "desktop-file-validate rejected the desktop entry"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli rejected the metainfo"
echo "install tree OK"
