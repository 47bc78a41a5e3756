#!/usr/bin/env bash
# The manual page renders without a warning and documents every option the
# program's --help lists. Usage: check-manpage.sh <velmoplayer.1> <velmoplayer>
set -euo pipefail
page=$1
program=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

warnings=$(groff -ww -z -man -t "$page" 2>&1) || fail "groff failed: $warnings"
[ -z "$warnings" ] || fail "groff warns: $warnings"
grep -q '@[A-Z_]*@' "$page" && fail "unreplaced placeholder in $page"

# The page as a reader sees it, hyphenation and adjustment off so words stay whole.
text=$(groff -man -Tutf8 -rHY=0 -dAD=l -P-cbou "$page" 2>/dev/null | sed 's/‐/-/g')
help=$("$program" --help) || fail "--help failed"
options=$(grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z-]*' <<<"$help" | tr -d ' ,' | sort -u)
[ -n "$options" ] || fail "--help lists no option"
for option in $options; do
  grep -qE -- "(^|[^A-Za-z-])$option([^A-Za-z-]|$)" <<<"$text" || fail "manual page lacks $option"
done
version=$("$program" --version | head -1)
grep -qF "VelmoPlayer ${version#velmoplayer }" <<<"$text" || fail "manual page is not for ${version}"
for section in SYNOPSIS OPTIONS KEYS FILES ENVIRONMENT; do
  grep -q "^$section" <<<"$text" || fail "manual page lacks the section $section"
done
echo "manual page OK"
