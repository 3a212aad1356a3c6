#!/usr/bin/env bash
# Media fixtures for the tests, made with ffmpeg (never downloaded). Each file is made once;
# a file that exists is kept. Usage: make-fixtures.sh <folder>
set -euo pipefail
out=${1:?folder}
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
make() {  # make <name> <ffmpeg arguments...>
  local name=$1; shift
  [ -s "$out/$name" ] && return 0
  ff "$@" "$out/.tmp-$name" && mv "$out/.tmp-$name" "$out/$name"
}
video="-f lavfi -i testsrc=size=320x240:rate=25:duration=2"
tone="-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2"
tone2="-f lavfi -i sine=frequency=880:sample_rate=44100:duration=2"

# shellcheck disable=SC2086
{
make mpeg4_mp3.avi $video $tone -c:v mpeg4 -vtag XVID -q:v 5 -c:a libmp3lame -b:a 128k -ac 2 -f avi
make uncompressed.avi -f lavfi -i testsrc=size=160x120:rate=10:duration=2 $tone -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -f avi
make two_audio.avi $video $tone $tone2 -map 0:v -map 1:a -map 2:a -c:v mpeg4 -c:a libmp3lame -b:a 96k \
  -metadata:s:a:0 language=eng -metadata:s:a:1 language=ger -f avi
make mpeg1.mpg $video $tone -c:v mpeg1video -b:v 800k -c:a mp2 -b:a 128k -f mpeg
make tone.mp3 $tone -c:a libmp3lame -b:a 128k -f mp3
make clip.wmv $video $tone -c:v wmv2 -c:a wmav2 -b:a 64k -f asf
make tone_10s.mp3 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=10 -c:a libmp3lame -b:a 128k -f mp3
make clip_8s.avi -f lavfi -i testsrc=size=160x120:rate=10:duration=8 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=8 \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -f avi
# One second each, one per container the platform's graphs may play.
v1="-f lavfi -i testsrc=size=160x120:rate=10:duration=1"
t1="-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1"
make mjpeg_pcm.avi $v1 $t1 -c:v mjpeg -q:v 5 -c:a pcm_s16le -f avi
make clip.mkv $v1 $t1 -c:v mpeg4 -c:a libmp3lame -b:a 96k -f matroska
make clip.mp4 $v1 $t1 -c:v mpeg4 -c:a aac -b:a 96k -f mp4
make clip.mov $v1 $t1 -c:v mpeg4 -c:a aac -b:a 96k -f mov
make clip.ogv $v1 $t1 -c:v libtheora -q:v 5 -c:a libvorbis -f ogg
make clip.webm $v1 $t1 -c:v libvpx -b:v 200k -c:a libvorbis -f webm
make tone.ogg $t1 -c:a libvorbis -f ogg
make tone.flac $t1 -c:a flac -f flac
make tone.m4a $t1 -c:a aac -b:a 96k -f ipod
make tone.wma $t1 -c:a wmav2 -b:a 64k -f asf
make tone.aiff $t1 -c:a pcm_s16be -f aiff
# MPEG-1 and MPEG-2 video take no 10 frames a second.
v25="-f lavfi -i testsrc=size=160x120:rate=25:duration=1"
make clip.m1v $v25 -c:v mpeg1video -b:v 400k -f mpeg1video
make clip.vob $v25 $t1 -c:v mpeg2video -b:v 800k -c:a mp2 -b:a 128k -ar 48000 -f vob
make clip.flv $v1 $t1 -c:v flv1 -c:a libmp3lame -b:a 96k -f flv
make clip.3gp $v1 $t1 -c:v mpeg4 -c:a aac -b:a 64k -f 3gp
make tone.mp2 $t1 -c:a mp2 -b:a 128k -f mp2
make tone.au $t1 -c:a pcm_s16be -f au
make tone.opus $t1 -c:a libopus -b:a 64k -f opus
make tone.mka $t1 -c:a libvorbis -f matroska
# Long enough to watch the picture move in the real player.
v4="-f lavfi -i testsrc=size=320x240:rate=25:duration=4"
t4="-f lavfi -i sine=frequency=440:sample_rate=44100:duration=4"
make mpeg4_4s.avi $v4 $t4 -c:v mpeg4 -vtag XVID -q:v 5 -c:a libmp3lame -b:a 96k -f avi
make clip_4s.mp4 $v4 $t4 -c:v mpeg4 -c:a aac -b:a 96k -f mp4
# Uncompressed picture with two PCM audio streams (440 Hz "eng", 880 Hz "ger"), for switching tracks.
make two_audio_raw.avi -f lavfi -i testsrc=size=160x120:rate=10:duration=8 \
  -f lavfi -i sine=frequency=440:sample_rate=44100:duration=8 -f lavfi -i sine=frequency=880:sample_rate=44100:duration=8 \
  -map 0:v -map 1:a -map 2:a -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le \
  -metadata:s:a:0 language=eng -metadata:s:a:1 language=ger -f avi
# Sixteen seconds of picture: longer than the on-screen display's seven-second title.
make clip_16s.avi -f lavfi -i testsrc=size=160x120:rate=10:duration=16 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=16 \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -f avi
# Ten seconds of a tone that sweeps from 100 Hz to 4 kHz and back, for the visualisation.
make sweep_10s.wav -f lavfi -i "aevalsrc=0.6*sin(2*PI*(100*t+780*t*t-52*t*t*t))|0.6*sin(2*PI*(100*t+780*t*t-52*t*t*t)):s=44100:d=10" \
  -c:a pcm_s16le -f wav
# Raw YUY2 frames of eight solid bars 20 pixels wide (white, yellow, cyan, green, magenta, red,
# blue, black), for frame capture.
bars="" labels="" i=0
for c in white yellow cyan lime magenta red blue black; do
  bars="${bars}color=c=$c:s=20x120:r=10:d=2[b$i];" labels="${labels}[b$i]" i=$((i + 1))
done
make yuy2_bars.avi -f lavfi -i "${bars}${labels}hstack=inputs=8[out0]" -c:v rawvideo -pix_fmt yuyv422 -f avi
}
echo "fixtures ready in $out"
