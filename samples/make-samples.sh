#!/usr/bin/env bash
# Makes the sample files with ffmpeg and GStreamer (independent ASF muxers;
# GStreamer needs its -bad, -ugly and -libav plug-ins) and records
# beside each what ffmpeg itself reads from it, for the tests to check the
# module against: the audio stream's format tag, channels, sample rate and
# codec extra data (ffprobe), and the size and sha256 of the audio stream
# that the muxer's own project extracts (ffmpeg's stream copy, GStreamer's
# asfdemux). CI uses the committed results and does not run this script.
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

# A second, independent muxer: GStreamer's asfmux writes variable-size
# packets (packet length and padding both present).
gst-launch-1.0 -q audiotestsrc num-buffers=200 ! audio/x-raw,rate=44100,channels=2 ! audioconvert \
  ! avenc_wmav2 bitrate=64000 ! asfmux ! filesink location=gst-wma2.wma

# The audio stream as the muxer's own project extracts it. ffmpeg drops the
# last packet of the GStreamer file ("invalid padsize"), so that file is
# checked against GStreamer's asfdemux instead.
extract() {
  case "$1" in
    gst-*) gst-launch-1.0 -q filesrc location="$1" ! asfdemux name=d d.audio_0 ! filesink location="$2" ;;
    *) ff -i "$1" -map 0:a:0 -c copy -f data "$2" ;;
  esac
}

for f in wma2-stereo.wma mp3-mono.wma video-audio.wmv gst-wma2.wma; do
  extract "$f" "$f.audio"
  probe() { ffprobe -v error -select_streams a:0 -show_entries "stream=$1" -of default=nw=1:nk=1 "$f"; }
  {
    echo "file=$f"
    echo "format_tag=$(( $(probe codec_tag) ))"
    echo "channels=$(probe channels)"
    echo "sample_rate=$(probe sample_rate)"
    echo "extra_data=$(ffprobe -v error -select_streams a:0 -show_entries stream=extradata -show_data -of default=nw=1:nk=1 "$f" \
                        | sed -n 's/^[0-9a-f]*: \(\([0-9a-f]\{2,4\} \)*\).*/\1/p' | tr -d ' \n')"
    echo "audio_bytes=$(stat -c %s "$f.audio")"
    echo "audio_sha256=$(sha256sum "$f.audio" | cut -d' ' -f1)"
  } > "$f.expected"
  rm -f "$f.audio"
done
ls -l
