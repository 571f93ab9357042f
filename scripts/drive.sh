#!/usr/bin/env bash
# drive.sh PROGRAM SCREENSHOT
# Runs PROGRAM (a path) in the current directory on the X display in DISPLAY,
# which must hold no other window. Once the program has reached its
# interaction phase (its window is up and it sits idle waiting for events),
# saves a PNG screenshot of the window, then presses VTK's exit key in it so
# that the program ends normally. Prints the window's last title and the
# program's exit status, and exits with that status.
set -u
program=$1
screenshot=$2
timeout_s=${DRIVE_TIMEOUT:-900}

"$program" &
pid=$!

cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null; }

finish() {
  wait "$pid"
  local status=$?
  echo "exit status: $status"
  exit "$status"
}

window=""
idle=0
last_ticks=$(cpu_ticks)
last_title=""
start=$SECONDS
while :; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the program ended before it reached interaction"
    finish
  fi
  if [ $((SECONDS - start)) -gt "$timeout_s" ]; then
    echo "no interaction phase within ${timeout_s}s; stopping the program" >&2
    kill "$pid"
    finish
  fi
  sleep 0.5
  [ -n "$window" ] || window=$(xdotool search --onlyvisible --name '.' 2>/dev/null | head -n 1)
  [ -n "$window" ] || continue
  ticks=$(cpu_ticks)
  title=$(xdotool getwindowname "$window" 2>/dev/null)
  # Idle: less than 30 ms of CPU in half a second, with the title unchanged.
  if [ -n "$ticks" ] && [ $((ticks - last_ticks)) -le 3 ] && [ "$title" = "$last_title" ]; then
    idle=$((idle + 1))
  else
    idle=0
  fi
  last_ticks=$ticks
  last_title=$title
  [ "$idle" -ge 3 ] && break
done

echo "window title: $title"
mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot" && echo "screenshot: $screenshot"
xdotool key --window "$window" e 2>/dev/null
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || finish
  sleep 0.2
done
echo "the program did not end after the exit key; stopping it" >&2
kill "$pid"
finish
