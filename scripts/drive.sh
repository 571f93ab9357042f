#!/usr/bin/env bash
# drive.sh PROGRAM SCREENSHOT FRAMES_PER_CYCLE
# Runs PROGRAM (a path) in the current directory on the X display in DISPLAY,
# which must hold no other window, and plays the user at the end of its
# animation:
#  - it follows the window's title from the moment the window is created,
#    so that it sees every frame's title;
#  - once the title has changed at least once per animation frame (ten
#    cycles of FRAMES_PER_CYCLE frames) and reads the last frame's number,
#    and then the program and the X server (XVFB_PID, when set) have been
#    quiet for a second, it saves a PNG screenshot of the window;
#  - it presses VTK's exit key in the window, so that the program ends
#    normally.
# A loaded machine slows all of this down but cannot make it shoot before
# the last frame: nothing here depends on how fast the program runs.
# Prints the window's last title and the program's exit status, and exits
# with that status. With DRIVE_TITLES set, the window's titles, one a line
# from the first one seen, are copied to that file. Everything it starts is
# tied to it and ends with it.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
program=$1
screenshot=$2
frames_per_cycle=$3
cycles=10
timeout_s=${DRIVE_TIMEOUT:-900}
last_title=$(printf '%04d' $((frames_per_cycle - 1)))

scratch=$(mktemp -d)
on_exit "rm -rf '$scratch'"
events=$scratch/root-events
titles=$scratch/titles
start=$SECONDS

fail() {
  echo "$*" >&2
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

timed_out() { [ $((SECONDS - start)) -gt "$timeout_s" ]; }

# The window's titles as xprop reports them, one per change.
title_lines() { sed -n 's/^WM_NAME([A-Z_]*) = "\(.*\)"$/\1/p' "$titles"; }

# utime + stime and the state of a process, as one word.
activity() { awk '{print $3 ($14 + $15)}' "/proc/$1/stat" 2>/dev/null; }

# 1. Listen for windows on the root, and make sure the listener hears
#    before the program starts: it must see the window being created.
tied stdbuf -oL xev -root -event substructure -event property >"$events" 2>&1
for _ in $(seq 100); do
  xprop -root -f PELAGRIN_DRIVE 8s -set PELAGRIN_DRIVE ready 2>/dev/null
  grep -q PropertyNotify "$events" && break
  sleep 0.05
done
grep -q PropertyNotify "$events" || fail "could not listen to the display's windows"

# 2. Start the program and follow its window's title from its creation.
tied "$program"
pid=$TIED_PID
window=""
while [ -z "$window" ]; do
  kill -0 "$pid" 2>/dev/null || break
  timed_out && fail "no window within ${timeout_s}s"
  window=$(sed -n 's/.*parent 0x[0-9a-f]*, window \(0x[0-9a-f]*\),.*/\1/p' "$events" | head -n 1)
  [ -n "$window" ] || sleep 0.01
done
if [ -n "$window" ]; then
  tied xprop -spy -id "$window" WM_NAME >"$titles" 2>/dev/null
  for _ in $(seq 500); do
    [ -s "$titles" ] && break
    sleep 0.01
  done
  first=$(title_lines | head -n 1)
  case "$first" in
    *[!0-9]* | "") ;;
    *) fail "the window's title was followed only from frame '$first' on" ;;
  esac
fi

# 3. Wait for the last frame of the last cycle, then for quiet.
wanted=$((cycles * frames_per_cycle))
quiet=0
previous=""
while [ -n "$window" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the program ended before it reached interaction"
    break
  fi
  timed_out && fail "no interaction phase within ${timeout_s}s"
  sleep 0.25
  seen=$(title_lines)
  changes=$(($(wc -l <<<"$seen") - 1))
  title=${seen##*$'\n'}
  [ "$changes" -ge "$wanted" ] && [ "$title" = "$last_title" ] || continue
  # Quiet: neither the program nor the X server runs or uses the processor,
  # and the title stays as it is.
  now="$changes $(activity "$pid") $(activity "${XVFB_PID:-$pid}")"
  case "$now" in
    *R* | *D*) quiet=0 ;;
    *) [ "$now" = "$previous" ] && quiet=$((quiet + 1)) || quiet=0 ;;
  esac
  previous=$now
  if [ "$quiet" -ge 4 ]; then
    echo "window title: $title"
    mkdir -p "$(dirname "$screenshot")"
    import -window "$window" "$screenshot" && echo "screenshot: $screenshot"
    xdotool key --window "$window" e 2>/dev/null
    break
  fi
done
[ -n "${DRIVE_TITLES:-}" ] && [ -f "$titles" ] && title_lines >"$DRIVE_TITLES"

# 4. The program ends by itself once it has the exit key.
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the program did not end after the exit key; stopping it" >&2
  kill "$pid"
fi
wait "$pid"
status=$?
echo "exit status: $status"
exit "$status"
