#!/usr/bin/env bash
# The real program answers --help and --version on standard output with exit
# status 0 and refuses an unknown option with status 2, all without a display:
# none of them may start a window or take the single-instance lock.
# Usage: check-cli.sh <velmoplayer>
set -euo pipefail
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"

# No display at all: a window would abort the program.
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$runtime" "$program" "$@" \
          >"$runtime/out" 2>"$runtime/err"; }

#    arguments           status  stdout starts with   stderr contains
cases=(
  "--help|0|Usage: velmoplayer |"
  "-h|0|Usage: velmoplayer |"
  "--version|0|velmoplayer |"
  "a.mp3 --version|0|velmoplayer |"
  "--bogus|2||unknown option '--bogus'"
  "a.mp3 --help=x|2||unknown option '--help=x'"
)
for c in "${cases[@]}"; do
  IFS='|' read -r args status out err <<<"$c"
  # shellcheck disable=SC2086  # the arguments are words on purpose
  got=0; run $args || got=$?
  [ "$got" = "$status" ] || fail "'$args' exits $got, expected $status: $(cat "$runtime/err")"
  [[ "$(cat "$runtime/out")" == "$out"* ]] || fail "'$args' prints '$(head -1 "$runtime/out")'"
  if [ -n "$err" ]; then
    grep -qF -- "$err" "$runtime/err" || fail "'$args' says '$(cat "$runtime/err")'"
    [ ! -s "$runtime/out" ] || fail "'$args' writes to standard output"
  else
    [ ! -s "$runtime/err" ] || fail "'$args' writes to standard error: $(cat "$runtime/err")"
  fi
done
[ -z "$(ls -A "$runtime")" ] || [ "$(ls -A "$runtime")" = "$(printf 'err\nout')" ] \
  || fail "the program left $(ls -A "$runtime") in the runtime folder: it took the lock"
echo "command line OK"
