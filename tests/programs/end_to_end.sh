#!/usr/bin/env bash
# end_to_end.sh PROGRAM [CASE]
# Runs the real binary on a virtual display of its own, in the current
# directory (the run directory) or, for the cases with broken data, in a
# scratch copy of it.
#   (no case)      the program animates its ten cycles, waits for
#                  interaction, and exits with status 0 once closed with VTK's
#                  exit key;
#   malformed-trc  a malformed "fish.trc" ends it at start with status 255;
#   missing-mesh   without "fish.vtk" it names the file on standard error and
#                  ends with a non-zero status.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
program=$1
case=${2:-}
fail() { echo "FAIL: $*"; exit 1; }

start_xvfb
scratch=$(mktemp -d)
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$scratch"' EXIT
log="$scratch/log"

if [ -z "$case" ]; then
  "$ROOT/scripts/drive.sh" "./$program" "$scratch/$program.png" | tee "$log"
  status=${PIPESTATUS[0]}
  grep -q '^screenshot: ' "$log" || fail "no interaction phase reached"
  last_frame=0319
  [ "$program" = moorwhisk ] && last_frame=0021
  grep -qx "window title: $last_frame" "$log" || fail "the last frame's title is not $last_frame"
  [ "$status" -eq 0 ] || fail "exit status $status"
  echo PASS
  exit 0
fi

cp ./"$program" ./*.bmp ./*.vtk ./*.trc "$scratch/"
cd "$scratch"
case "$case" in
  malformed-trc)
    printf '[0.5]\n[1]\n0 0 0\n[4]\n' >fish.trc
    timeout 120 "./$program" 2>"$log"
    status=$?
    cat "$log"
    [ "$status" -eq 255 ] || fail "exit status $status, not 255"
    ;;
  missing-mesh)
    rm fish.vtk
    timeout 120 "./$program" 2>"$log"
    status=$?
    cat "$log"
    [ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "exit status $status"
    grep -q 'fish.vtk' "$log" || fail "the message does not name fish.vtk"
    ;;
  *) fail "unknown case $case" ;;
esac
echo PASS
