#!/usr/bin/env bash
# record_cases.sh
# The real pelagrin-record, run in the current directory (the run
# directory) on a virtual display of its own: one clip of each format,
# decoded with ffprobe; the H.264 clip against the PNG frames; the cycles
# and the frame rate; then a table of wrong commands and failures, each with
# its status, its message, and no file left under the output's name.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

start_xvfb
scratch=$(mktemp -d)
on_exit "rm -rf '$scratch'"
out="$scratch/out"
mkdir -p "$out"

# probe FILE ENTRIES: ffprobe's answer for the first video stream.
probe() {
  ffprobe -v error -count_frames -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"
}

# record ARGS...: runs the recorder, keeping its standard error and status
# (also with another PATH).
setpriv=$(command -v setpriv)
record() {
  "$setpriv" --pdeathsig TERM -- ./pelagrin-record "$@" 2>"$scratch/stderr"
  status=$?
}

# Nothing under the output folder but what is listed.
expect_only() {
  local listed
  listed=$(cd "$out" && ls -A | tr '\n' ' ')
  [ "$listed" = "$*" ] || fail "the folder holds '$listed', not '$*'"
}

echo "== one clip of each format"
for format in mp4 webm gif; do
  record moorwhisk "$out/clip.$format"
  [ "$status" -eq 0 ] || fail "$format: status $status: $(cat "$scratch/stderr")"
  decoded=$(probe "$out/clip.$format" nb_read_frames,width,height)
  [ "$decoded" = "320,240,22" ] || fail "$format decodes to '$decoded', not 22 frames of 320 x 240"
  grep -q "wrote $out/clip.$format: 22 frames, 320 x 240" "$scratch/stderr" ||
    fail "$format: no closing line"
done
[ "$(probe "$out/clip.mp4" codec_name,pix_fmt,r_frame_rate)" = "h264,yuv420p,60/1" ] ||
  fail "the mp4 is not H.264 in yuv420p at 60 frames a second"
[ "$(probe "$out/clip.webm" codec_name)" = "vp9" ] || fail "the webm is not VP9"
# Fast start: the index comes before the frames.
moov=$(grep -obUaP 'moov' "$out/clip.mp4" | head -n 1 | cut -d: -f1)
mdat=$(grep -obUaP 'mdat' "$out/clip.mp4" | head -n 1 | cut -d: -f1)
[ -n "$moov" ] && [ -n "$mdat" ] && [ "$moov" -lt "$mdat" ] || fail "the mp4 does not start fast"
grep -qa 'NETSCAPE2.0' "$out/clip.gif" || fail "the gif does not loop"
rm -f "$out"/clip.*

echo "== PNG frames, and the H.264 clip against them"
record moorwhisk "$out/f%04d.png"
[ "$status" -eq 0 ] || fail "png: status $status: $(cat "$scratch/stderr")"
[ "$(ls "$out" | wc -l)" -eq 22 ] && [ -f "$out/f0000.png" ] && [ -f "$out/f0021.png" ] ||
  fail "the PNG frames are not f0000.png to f0021.png"
[ "$(probe "$out/f0010.png" codec_name,width,height,pix_fmt)" = "png,320,240,rgb24" ] ||
  fail "a PNG frame is not 320 x 240 RGB"
record moorwhisk "$scratch/clip.mp4"
psnr=$(ffmpeg -hide_banner -i "$scratch/clip.mp4" -i "$out/f0010.png" -lavfi \
  "[0:v]select=eq(n\,10),setpts=PTS-STARTPTS[a];[a][1:v]psnr" -f null - 2>&1 |
  sed -n 's/.*average:\([0-9.inf]*\).*/\1/p')
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }' ||
  fail "frame 10 of the mp4 is $psnr dB from the PNG frame, not at least 30"
echo "PSNR of frame 10: $psnr dB"
rm -f "$out"/*

echo "== cycles and frame rate"
record moorwhisk "$out/two.mp4" --cycles 2 --fps 24
[ "$status" -eq 0 ] || fail "--cycles 2 --fps 24: status $status"
[ "$(probe "$out/two.mp4" nb_read_frames,r_frame_rate)" = "24/1,44" ] ||
  fail "--cycles 2 --fps 24 gives '$(probe "$out/two.mp4" nb_read_frames,r_frame_rate)'"
rm -f "$out"/*

echo "== wrong commands: status 2, one clear line, nothing written"
: >"$scratch/a-file"
while IFS='|' read -r name message args; do
  eval "set -- $args"
  record "$@"
  [ "$status" -eq 2 ] || fail "$name: status $status, not 2"
  grep -q "^pelagrin-record: .*$message" "$scratch/stderr" ||
    fail "$name: the message is '$(head -n 1 "$scratch/stderr")'"
  expect_only ""
done <<EOF
unknown program|pelagrin-eight, pelagrin-ring, pelagrin-eight-bare, pelagrin-ring-bare, moorwhisk|goldfish "$out/a.mp4"
missing folder|does not exist|moorwhisk "$out/no/such/folder/a.mp4"
folder that is a file|does not exist|moorwhisk "$scratch/a-file/a.mp4"
unknown extension|none of the extensions|moorwhisk "$out/a.avi"
no name before the extension|none of the extensions|moorwhisk "$out/.mp4"
frames without a number|%d-style frame number|moorwhisk "$out/frame.png"
no cycles|--cycles needs a whole number|moorwhisk "$out/a.mp4" --cycles 0
cycles not a number|--cycles needs a whole number from 1 to 1000, not 'two'|moorwhisk "$out/a.mp4" --cycles two
frame rate not a number|--fps needs a whole number|moorwhisk "$out/a.mp4" --fps 2.5
no output|takes a program and an output|moorwhisk
unknown option|unknown option '--size'|moorwhisk "$out/a.mp4" --size 2
EOF
# A folder that exists but cannot be written (as a user who does not own it,
# running a copy of the recorder that user can reach).
chmod 755 "$scratch" "$out"
mkdir -p "$scratch/public"
cp ./pelagrin-record "$scratch/public/"
chmod 755 "$scratch/public"
setpriv --reuid 65534 --regid 65534 --clear-groups -- "$scratch/public/pelagrin-record" \
  moorwhisk "$out/a.mp4" 2>"$scratch/stderr"
status=$?
[ "$status" -eq 2 ] && grep -q "cannot be written" "$scratch/stderr" ||
  fail "unwritable folder: status $status, '$(head -n 1 "$scratch/stderr")'"

echo "== failures: an error, a non-zero status, no file under the output's name"
PATH=/nonexistent record moorwhisk "$out/a.mp4"
[ "$status" -eq 1 ] && grep -q "install Debian's ffmpeg package" "$scratch/stderr" ||
  fail "without ffmpeg: status $status, '$(cat "$scratch/stderr")'"
expect_only ""

# An ffmpeg that stops part-way, and one that is killed part-way, each
# after starting its output file (its last argument).
mkdir -p "$scratch/bin"
encoder='#!/bin/sh\nfor last; do :; done\necho started >"$last"\nhead -c 300000 >/dev/null\n'
printf "$encoder"'exit 1\n' >"$scratch/bin/ffmpeg"
chmod +x "$scratch/bin/ffmpeg"
PATH="$scratch/bin:$PATH" record moorwhisk "$out/a.mp4"
[ "$status" -eq 1 ] && grep -q "nothing was written" "$scratch/stderr" ||
  fail "failing encoder: status $status, '$(tail -n 1 "$scratch/stderr")'"
expect_only ""
printf "$encoder"'kill -9 $$\n' >"$scratch/bin/ffmpeg"
PATH="$scratch/bin:$PATH" record moorwhisk "$out/a.mp4"
[ "$status" -eq 1 ] && grep -q "nothing was written" "$scratch/stderr" ||
  fail "killed encoder: status $status, '$(tail -n 1 "$scratch/stderr")'"
expect_only ""

# Interrupted with Ctrl-C part-way through a long recording.
setpriv --pdeathsig TERM -- ./pelagrin-record moorwhisk "$out/long.mp4" --cycles 100 \
  2>"$scratch/stderr" &
recorder=$!
for _ in $(seq 200); do
  grep -q "frames/s" "$scratch/stderr" && break
  sleep 0.05
done
kill -INT "$recorder"
wait "$recorder"
status=$?
[ "$status" -eq 130 ] && grep -q "interrupted; nothing was written" "$scratch/stderr" ||
  fail "interrupted: status $status, '$(tail -n 1 "$scratch/stderr")'"
expect_only ""

# Broken data files: the program's own message and status.
# broken FILE CONTENT STATUS MESSAGE: records with FILE replaced by CONTENT.
broken() {
  rm -rf "$scratch/broken"
  mkdir -p "$scratch/broken"
  cp ./pelagrin-record ./*.bmp ./*.vtk ./*.trc "$scratch/broken/"
  printf '%b' "$2" >"$scratch/broken/$1"
  (cd "$scratch/broken" && "$setpriv" --pdeathsig TERM -- ./pelagrin-record moorwhisk \
    "$out/a.mp4" 2>"$scratch/stderr")
  status=$?
  [ "$status" -eq "$3" ] && grep -q "^$4" "$scratch/stderr" ||
    fail "broken $1: status $status, '$(head -n 1 "$scratch/stderr")'"
  expect_only ""
}
broken fish.trc '[0.5]\n[1]\n0 0 0\n[4]\n' 255 "fish.trc: malformed deformation data"
broken fish.vtk '# vtk DataFile Version 5.1\nbroken\nASCII\nDATASET POLYDATA\n' 1 \
  "fish.vtk: the fish mesh cannot be used"

[ "$failures" -eq 0 ] || exit 1
echo PASS
