#!/usr/bin/env bash
# Whole-job comparison: vqprobe extracting the audio stream of a one-hour
# WMA file against ffmpeg's stream copy of it, as the ratio of the medians
# of several runs. Makes the file with ffmpeg on first use.
#   bench/compare-ffmpeg.sh [VQPROBE] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
vqprobe=${1:-build/default/vqprobe}
runs=${2:-7}
file=build/bench/one-hour.wma
mkdir -p build/bench
if [ ! -s "$file" ]; then
  ffmpeg -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3600" \
         -ac 2 -c:a wmav2 -b:a 128k "$file"
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Wall-clock seconds of one run of the command, as the shell's own timer
# measures it (no helper process inside the interval).
timed() {
  local TIMEFORMAT=%R
  { time "$@" >/dev/null 2>&1; } 2>&1
}

# One warm-up run each, so both read the file from the page cache.
"$vqprobe" --extract /dev/null "$file" >/dev/null
ffmpeg -hide_banner -loglevel error -i "$file" -map 0:a:0 -c copy -f data -y /dev/null

ours=$(for _ in $(seq "$runs"); do timed "$vqprobe" --extract /dev/null "$file"; done | median)
theirs=$(for _ in $(seq "$runs"); do
  timed ffmpeg -hide_banner -loglevel error -i "$file" -map 0:a:0 -c copy -f data -y /dev/null
done | median)
printf 'file: %s (%s bytes)\n' "$file" "$(stat -c %s "$file")"
printf 'vqprobe --extract /dev/null: median %.4f s over %d runs\n' "$ours" "$runs"
printf 'ffmpeg stream copy:           median %.4f s over %d runs\n' "$theirs" "$runs"
printf 'ffmpeg / vqprobe: %.1f\n' "$(echo "$theirs / $ours" | bc -l)"
