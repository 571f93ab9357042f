#!/usr/bin/env bash
# end_to_end.sh PROGRAM [CASE]
# Runs the real binary on a virtual display of its own, in the current
# directory (the run directory) or, for the cases with broken data, in a
# scratch copy of it.
#   (no case)      the program animates its ten cycles, every frame's title
#                  in order, waits for interaction, and exits with status 0
#                  once closed with VTK's exit key; for moorwhisk, the run
#                  is the main job's headless one, which then also records a
#                  video of one cycle;
#   malformed-trc  a malformed "fish.trc" ends it at start with status 255;
#   missing-mesh   without "fish.vtk" it names the file on standard error and
#                  ends with a non-zero status;
#   broken-mesh    a "fish.vtk" whose polygon refers to a point past the last
#                  ends it with status 1 and a line naming the file;
#   broken-pictures  bitmaps that VTK's reader would crash on (a 7-bit
#                  "underwater.bmp", an empty "fish.bmp") are left out with a
#                  line each; the program animates, waits for interaction and
#                  exits with status 0 once closed.
# The display and the program end with this script, also when it is killed.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
program=$1
case=${2:-}
fail() { echo "FAIL: $*"; exit 1; }

start_xvfb
scratch=$(mktemp -d)
on_exit "rm -rf '$scratch'"
log="$scratch/log"

# The titles the window must show, one a frame, ten cycles.
expected_titles() {
  local frames=$1 k
  for ((k = 0; k < 10 * frames; ++k)); do
    printf '%04d\n' $((k % frames))
  done
}

if [ -z "$case" ]; then
  frames=$(frames_per_cycle "$program")
  if [ "$program" = moorwhisk ]; then
    DRIVE_TITLES="$scratch/titles" setpriv --pdeathsig TERM -- \
      "$ROOT/scripts/headless.sh" "$program" "$scratch" | tee "$log"
  else
    DRIVE_TITLES="$scratch/titles" setpriv --pdeathsig TERM -- \
      "$ROOT/scripts/drive.sh" "./$program" "$scratch/$program.png" "$frames" | tee "$log"
  fi
  status=${PIPESTATUS[0]}
  grep -q '^screenshot: ' "$log" || fail "no interaction phase reached"
  last_frame=$(printf '%04d' $((frames - 1)))
  grep -qx "window title: $last_frame" "$log" || fail "the last frame's title is not $last_frame"
  grep -E '^[0-9]{4,}$' "$scratch/titles" >"$scratch/frame-titles"
  expected_titles "$frames" | diff -q - "$scratch/frame-titles" >/dev/null ||
    fail "the window's titles are not $((10 * frames)) frames, 0000 to $last_frame ten times"
  [ "$status" -eq 0 ] || fail "exit status $status"
  if [ "$program" = moorwhisk ]; then
    video="$scratch/videos/$program.mp4"
    grep -qx "video of one cycle: $video" "$log" || fail "the main job names no video"
    decoded=$(ffprobe -v error -count_frames -select_streams v:0 \
      -show_entries stream=nb_read_frames,width,height -of csv=p=0 "$video")
    [ "$decoded" = "320,240,$frames" ] || fail "the video holds '$decoded', not one cycle"
  fi
  echo PASS
  exit 0
fi

cp ./"$program" ./*.bmp ./*.vtk ./*.trc "$scratch/"
cd "$scratch"
case "$case" in
  broken-mesh)
    printf '# vtk DataFile Version 5.1\nbroken\nASCII\nDATASET POLYDATA\nPOINTS 3 float\n%s\n%s\n%s\n' \
      '0 0 0 1 0 0 0 1 0' 'POLYGONS 2 3' 'OFFSETS vtktypeint64' >fish.vtk
    printf '0 3\nCONNECTIVITY vtktypeint64\n0 1 9\nCELL_DATA 1\nSCALARS parts float\n%s\n0\n' \
      'LOOKUP_TABLE default' >>fish.vtk
    setpriv --pdeathsig TERM -- timeout 120 "./$program" 2>"$log"
    status=$?
    cat "$log"
    [ "$status" -eq 1 ] || fail "exit status $status, not 1"
    grep -q '^fish.vtk: .*refers to point 9' "$log" || fail "the message does not name fish.vtk and the point"
    ;;
  broken-pictures)
    printf 'BM\0\0\0\0\0\0\0\0\0\0\0\0\50\0\0\0\5\0\0\0\3\0\0\0\1\0\7\0' >underwater.bmp
    head -c 24 /dev/zero >>underwater.bmp
    : >fish.bmp
    setpriv --pdeathsig TERM -- "$ROOT/scripts/drive.sh" "./$program" "$scratch/$program.png" \
      "$(frames_per_cycle "$program")" 2>"$log" | tee "$scratch/drive"
    status=${PIPESTATUS[0]}
    cat "$log"
    grep -q '^screenshot: ' "$scratch/drive" || fail "no interaction phase reached"
    [ "$status" -eq 0 ] || fail "exit status $status"
    grep -q '^underwater.bmp: its 7 bits per pixel' "$log" || fail "no message for underwater.bmp"
    grep -q '^fish.bmp: it is empty' "$log" || fail "no message for fish.bmp"
    ;;
  malformed-trc)
    printf '[0.5]\n[1]\n0 0 0\n[4]\n' >fish.trc
    setpriv --pdeathsig TERM -- timeout 120 "./$program" 2>"$log"
    status=$?
    cat "$log"
    [ "$status" -eq 255 ] || fail "exit status $status, not 255"
    ;;
  missing-mesh)
    rm fish.vtk
    setpriv --pdeathsig TERM -- timeout 120 "./$program" 2>"$log"
    status=$?
    cat "$log"
    [ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "exit status $status"
    grep -q 'fish.vtk' "$log" || fail "the message does not name fish.vtk"
    ;;
  *) fail "unknown case $case" ;;
esac
echo PASS
