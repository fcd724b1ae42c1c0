#!/usr/bin/env bash
# Runs the benchmarks: builds the player, the baseline and the runner, makes
# the track, plays everything under Wine in a private X server and prints
# the table, which is also kept in bench/RESULTS.md (not with --quick).
#   bash bench/run.sh [--quick] [--only N]
# --quick plays a few frames of each benchmark, to try the runner.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh

ombre_stage "Build"
if [[ ! -f build/x86_64/CMakeCache.txt ]]; then ombre_configure_x86_64; fi
cmake --build build/x86_64 --target ombrevista baseline bench_runner -j2

ombre_stage "Track"
bench_dir=$PWD/build/x86_64/bench
track=$bench_dir/track.mp3
if [[ ! -f $track ]]; then
  # Longer than the 60-second playback with its pauses.
  sox -n -r 44100 -c 2 -b 16 "$bench_dir/track.wav" synth 80 sine 440 vol 0.5
  lame --quiet "$bench_dir/track.wav" "$track"
  rm -f "$bench_dir/track.wav"
fi

ombre_stage "Wine environment"
source scripts/wine-env.sh
ombre_wine_session --force

ombre_stage "Benchmarks"
winpath() { "$OMBRE_WINE" winepath -w "$1" 2>/dev/null; }
results=$bench_dir/results.md
"$OMBRE_WINE" "$bench_dir/bench_runner.exe" "$@" --track "$(winpath "$track")" \
  "$(winpath "$bench_dir/work")" "$(winpath "$PWD/out/x86_64/ombrevista.exe")" \
  "$(winpath "$bench_dir/baseline.exe")" | tr -d '\r' >"$results"
cat "$results"
if [[ " $* " != *" --quick "* ]]; then
  { printf '# Latest benchmark results\n\nMade by `bash bench/run.sh`; see README.md, "Benchmarks".\n\n'; cat "$results"; } >bench/RESULTS.md
fi
