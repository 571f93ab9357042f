#!/usr/bin/env bash
# headless.sh PROGRAM FOLDER
# The main job without a display, in the run directory (the current one) on
# the X display in DISPLAY, which must hold no other window: runs PROGRAM
# through its ten cycles and saves a screenshot of its last frame to
# FOLDER/screenshots/PROGRAM.png (drive.sh), then records one cycle of it
# to FOLDER/videos/PROGRAM.mp4 (pelagrin-record). Prints both paths and
# exits with the program's status, or the recorder's when the recording
# fails.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
program=$1
folder=$2
screenshot="$folder/screenshots/$program.png"
video="$folder/videos/$program.mp4"

"$ROOT/scripts/drive.sh" "./$program" "$screenshot" "$(frames_per_cycle "$program")"
status=$?
[ "$status" -eq 0 ] || exit "$status"

mkdir -p "$folder/videos"
./pelagrin-record "$program" "$video"
recorded=$?
[ -f "$screenshot" ] && echo "screenshot of the last frame: $screenshot"
[ "$recorded" -eq 0 ] && echo "video of one cycle: $video"
exit "$recorded"
