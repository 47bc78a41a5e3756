#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for
# a set time. Crashes are kept in build-fuzz/crashes/<target>/.
#   tests/fuzz/run.sh [seconds-per-target] [target ...]
# Regression inputs under tests/fuzz/regressions/<target>/ are replayed first.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-30}
shift || true
build=${VELMO_FUZZ_BUILD_DIR:-$root/build-fuzz}

"$root/scripts/setup.sh" --fuzz
CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz_*; do targets+=("$(basename "$exe" | sed 's/^fuzz_//')"); done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  exe="$build/fuzz_$target"
  seeds="$root/tests/fuzz/seeds/$target"
  regressions="$root/tests/fuzz/regressions/$target"
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    "$exe" "$regressions"/* >/dev/null 2>&1 || { echo "REGRESSION $target"; status=1; }
  fi
  dirs=("$corpus")
  [ -d "$seeds" ] && dirs+=("$seeds")
  extra=()
  if [ "$target" = audio_file ]; then
    extra=(-max_len=65536 -rss_limit_mb=4096 -timeout=20)
    dirs+=("$root/tests/fixtures")
    # The real-encoder corpus (made once here, its audio files only; the
    # fuzzer reads the first max_len bytes of each).
    if [ ! -f "$build/audio-corpus/made" ]; then
      "$root/tests/fixtures/make-corpus.sh" "$build/audio-corpus" && touch "$build/audio-corpus/made"
    fi
    mkdir -p "$build/seeds-audio_file"
    find "$build/audio-corpus" -type f ! -name '*.f32' ! -name made -exec cp -u {} "$build/seeds-audio_file/" \;
    dirs+=("$build/seeds-audio_file")
  fi
  log="$build/$target.log"
  if "$exe" -max_total_time="$seconds" -artifact_prefix="$crashes/" -print_final_stats=1 \
       "${extra[@]}" "${dirs[@]}" >"$log" 2>&1; then
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "ok    $target: $runs executions in ${seconds}s"
  else
    echo "CRASH $target: see $log and $crashes"
    status=1
  fi
done
exit $status
