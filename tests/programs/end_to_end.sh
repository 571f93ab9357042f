#!/usr/bin/env bash
# end_to_end.sh PROGRAM
# Runs the real binary in the current directory (the run directory) on a
# virtual display of its own, waits until it sits in its interaction phase,
# closes it with VTK's exit key and expects exit status 0.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
program=$1
start_xvfb
log=$(mktemp)
"$ROOT/scripts/drive.sh" "./$program" "$(mktemp -d)/$program.png" | tee "$log"
status=${PIPESTATUS[0]}
grep -q '^screenshot: ' "$log" || { echo "FAIL: no interaction phase reached"; exit 1; }
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
echo "PASS"
