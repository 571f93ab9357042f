#!/usr/bin/env bash
# run.sh [PROGRAM]
# Installs what is missing, builds the programs and their data, and runs
# PROGRAM (default pelagrin-eight; also pelagrin-ring, pelagrin-eight-bare,
# pelagrin-ring-bare, moorwhisk). With a display the window opens there;
# without one, the program runs on a virtual display, a screenshot is taken
# once it waits for interaction, and the window is then closed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

program=${1:-pelagrin-eight}
case "$program" in
  pelagrin-eight | pelagrin-ring | pelagrin-eight-bare | pelagrin-ring-bare | moorwhisk) ;;
  *)
    echo "Unknown program '$program'. Choose one of: pelagrin-eight pelagrin-ring" \
      "pelagrin-eight-bare pelagrin-ring-bare moorwhisk" >&2
    exit 2
    ;;
esac

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
"$ROOT/scripts/drive.sh" "./$program" "$BUILD/screenshots/$program.png"
status=$?
exit "$status"
