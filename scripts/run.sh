#!/usr/bin/env bash
# run.sh [PROGRAM]
# Installs what is missing, builds the programs and their data, and runs
# PROGRAM (default pelagrin-eight; also pelagrin-ring, pelagrin-eight-bare,
# pelagrin-ring-bare, moorwhisk). With a display the window opens there;
# without one, the program runs on a virtual display, a screenshot of the
# last frame is taken once the animation is over and the program waits for
# interaction, the window is then closed, and one cycle of the program is
# recorded as a video (scripts/headless.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

program=${1:-pelagrin-eight}
if [[ " ${PROGRAMS[*]} " != *" $program "* ]]; then
  echo "Unknown program '$program'. Choose one of: ${PROGRAMS[*]}" >&2
  exit 2
fi

install_packages "${RUN_PACKAGES[@]}"
build_tree "$BUILD/release" -DCMAKE_BUILD_TYPE=Release
run_dir="$BUILD/release/run"
cd "$run_dir"

if [ -n "${DISPLAY:-}" ]; then
  say "Running $program in $run_dir"
  exec "./$program"
fi

say "No DISPLAY: running $program on a virtual display"
start_xvfb
set +e
"$ROOT/scripts/headless.sh" "$program" "$BUILD"
status=$?
exit "$status"
