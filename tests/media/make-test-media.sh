#!/usr/bin/env bash
# Makes the media files the tests and end-to-end scripts play, with ffmpeg, into one folder:
#   make-test-media.sh <folder> [--bench]
# Every sound is a 440 Hz sine at amplitude 0.5. Everything is a few seconds long and small; nothing of it is committed. --bench makes instead
# the larger file of the benchmarks.
#
#   tone.wav            1.5 s, 440 Hz sine at amplitude 0.5, stereo 16-bit 44.1 kHz
#   tone-short.wav      0.4 s, the same tone (ends before a short animation)
#   tone-long.wav       3 s, the same tone (outlasts a short animation)
#   tone.mp3            1.5 s, the same tone, MP3
#   testsrc-raw.avi     1 s, 320x240 uncompressed RGB test picture with the tone (PCM)
#   testsrc-mjpeg.avi   2 s, 640x480 MJPEG test picture with the tone (PCM)
#   testsrc-h264.mp4    2 s, 640x480 H.264 test picture with the tone (AAC)
#   video-only.avi      2 s, 160x120 uncompressed RGB test picture, no sound
#   colour-raw.avi      4 s, 160x120 uncompressed RGB of one colour (#C82878) with the tone
#   colour-h264.mp4     4 s, 160x120 H.264 of the same colour with the tone (AAC)
#   halves.avi          2 s, 160x120 uncompressed RGB, left half black, right half white (a shadow movie)
#   halves-swap.avi     1 s, the same for the first half second, then the halves swapped
#   stripes.avi         2 s, 150x120 uncompressed RGB, three vertical stripes: grey 128, red, black
#   odd-size.avi        1 s, 157x93 uncompressed RGB test picture
#   not-media.mp4       a text file with a media file's name
#   empty.mp4           zero bytes
#   tone.m4a            1.5 s, the tone, AAC in an MPEG-4 file (a music library's song)
#   not-media.m4a       a text file with a song's name
#   colour-h264.mov     4 s, colour-h264.mp4's picture and sound in a QuickTime file (a phone's video)
#   halves-swap-h264.mp4 1 s, halves-swap.avi's picture as H.264 in MPEG-4 (a shadow movie)
#   truncated.mp4       testsrc-h264.mp4 cut off after its first third
#   cut-off-fast-start.mp4 testsrc-h264.mp4 with its index first, cut off at 60 %: a whole index and
#                       media data that stops early (a download that stopped)
#   unknown-video-codec.mp4 testsrc-h264.mp4 with its video's codec named "qqqq", which no system
#                       decodes: its sound alone plays
#   bench-720p.mp4      (--bench) 20 s, 1280x720 30 fps H.264 test picture with the tone (AAC)
#   bench-shadow.mp4    (--bench) 20 s, 640x480 30 fps H.264, a black bar moving over white
set -euo pipefail
out=$1
bench=0
[ "${2:-}" = --bench ] && bench=1
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
# A 440 Hz sine at amplitude 0.5 in both channels (lavfi's sine source is fixed at 1/8).
tone() { echo "aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(440*2*PI*t):s=44100:d=$1"; }

if [ $bench = 1 ]; then
  ff -f lavfi -i testsrc=size=1280x720:rate=30:duration=20 -f lavfi -i "$(tone 20)" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k bench-720p.mp4
  ff -f lavfi -i color=c=white:size=640x480:rate=30:duration=20 \
    -vf "drawbox=x='mod(t*200,560)':y=100:w=80:h=280:color=black:t=fill" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p bench-shadow.mp4
  exit 0
fi

ff -f lavfi -i "$(tone 1.5)" -c:a pcm_s16le tone.wav
ff -f lavfi -i "$(tone 0.4)" -c:a pcm_s16le tone-short.wav
ff -f lavfi -i "$(tone 3)" -c:a pcm_s16le tone-long.wav
ff -f lavfi -i "$(tone 1.5)" -c:a libmp3lame -b:a 128k tone.mp3

ff -f lavfi -i testsrc=size=320x240:rate=30:duration=1 -f lavfi -i "$(tone 1)" \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le testsrc-raw.avi
ff -f lavfi -i testsrc=size=640x480:rate=30:duration=2 -f lavfi -i "$(tone 2)" \
  -c:v mjpeg -q:v 6 -pix_fmt yuvj420p -c:a pcm_s16le testsrc-mjpeg.avi
ff -f lavfi -i testsrc=size=640x480:rate=30:duration=2 -f lavfi -i "$(tone 2)" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k testsrc-h264.mp4
ff -f lavfi -i testsrc=size=160x120:rate=30:duration=2 -c:v rawvideo -pix_fmt bgr24 video-only.avi

ff -f lavfi -i color=c=0xC82878:size=160x120:rate=30:duration=4 -f lavfi -i "$(tone 4)" \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le colour-raw.avi
ff -f lavfi -i color=c=0xC82878:size=160x120:rate=30:duration=4 -f lavfi -i "$(tone 4)" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k colour-h264.mp4

# Shadow movies: black where the shadow falls.
black_box() { echo "drawbox=x=$1:y=0:w=80:h=120:color=black:t=fill${2:+:enable='$2'}"; }
ff -f lavfi -i color=c=white:size=160x120:rate=30:duration=2 -vf "$(black_box 0)" \
  -c:v rawvideo -pix_fmt bgr24 halves.avi
ff -f lavfi -i color=c=white:size=160x120:rate=30:duration=1 -vf "$(black_box 0 'lt(t,0.5)'),$(black_box 80 'gte(t,0.5)')" \
  -c:v rawvideo -pix_fmt bgr24 halves-swap.avi

# A colour movie whose colours stay exact (uncompressed, made in RGB).
stripe() { echo "color=c=$1:s=50x120:r=30:d=2,format=bgr24"; }
ff -filter_complex "$(stripe 0x808080)[g];$(stripe 0xFF0000)[r];$(stripe black)[b];[g][r][b]hstack=inputs=3" \
  -c:v rawvideo -pix_fmt bgr24 stripes.avi
# Odd sides (the colour source would round them to even; the test picture keeps them).
ff -f lavfi -i testsrc=size=157x93:rate=30:duration=1 -c:v rawvideo -pix_fmt bgr24 odd-size.avi

echo "this is a text file, not a movie" >not-media.mp4
: >empty.mp4

# What a fresh Windows reads only through Media Foundation.
ff -f lavfi -i "$(tone 1.5)" -c:a aac -b:a 128k tone.m4a
echo "this is a text file, not a song" >not-media.m4a
ff -i colour-h264.mp4 -c copy -f mov colour-h264.mov
ff -f lavfi -i color=c=white:size=160x120:rate=30:duration=1 -vf "$(black_box 0 'lt(t,0.5)'),$(black_box 80 'gte(t,0.5)')" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p halves-swap-h264.mp4
head -c "$(( $(stat -c %s testsrc-h264.mp4) / 3 ))" testsrc-h264.mp4 >truncated.mp4
ff -i testsrc-h264.mp4 -c copy -movflags +faststart fast-start.mp4
head -c "$(( $(stat -c %s fast-start.mp4) * 6 / 10 ))" fast-start.mp4 >cut-off-fast-start.mp4
rm fast-start.mp4
perl -pe 's/avc1/qqqq/g' testsrc-h264.mp4 >unknown-video-codec.mp4

