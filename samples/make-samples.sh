#!/usr/bin/env bash
# Makes the sample files with ffmpeg (an independent ASF muxer) and records
# beside each the facts the tests and vqprobe check: the sha256 and size of
# the audio stream that ffmpeg extracts with a stream copy. Needs ffmpeg;
# CI uses the committed results and does not run this script.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

# WMA v2, stereo, 44.1 kHz, 5 seconds.
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=5" -ac 2 -c:a wmav2 -b:a 64k wma2-stereo.wma
# MP3 in ASF (format tag 0x0055, 12 bytes of codec data), mono, 3 seconds.
ff -f lavfi -i "sine=frequency=660:sample_rate=22050:duration=3" -ac 1 -c:a libmp3lame -b:a 32k -f asf mp3-mono.wma
# Video and audio, 6 seconds; ffmpeg writes a Simple Index Object after the data.
ff -f lavfi -i "testsrc=size=96x64:rate=10:duration=6" -f lavfi -i "sine=frequency=330:sample_rate=22050:duration=6" \
   -c:v wmv2 -b:v 64k -c:a wmav2 -ac 1 -b:a 32k -shortest video-audio.wmv

for f in wma2-stereo.wma mp3-mono.wma video-audio.wmv; do
  ff -i "$f" -map 0:a:0 -c copy -f data "$f.audio"
  {
    echo "file=$f"
    echo "audio_bytes=$(stat -c %s "$f.audio")"
    echo "audio_sha256=$(sha256sum "$f.audio" | cut -d' ' -f1)"
  } > "$f.expected"
  rm -f "$f.audio"
done
ls -l
