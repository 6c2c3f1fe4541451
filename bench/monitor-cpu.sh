#!/bin/sh
# The windowed program's CPU use with the console sending 40 frames a second and nothing moving,
# with the line monitor open and without it: runs vexmira on the virtual interface under Xvfb
# (a 1366x768 screen), opens the console with a click (xdotool) and reads the process's CPU time
# from /proc for SECONDS (30 unless given). Installs xvfb and xdotool when they are missing.
#   bench/monitor-cpu.sh [VEXMIRA_BINARY] [SECONDS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
vexmira=${1:-"$here/../build/src/qt/vexmira"}
seconds=${2:-30}
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends xvfb xdotool >/dev/null
fi
work=$(mktemp -d /tmp/vexmira-monitor-cpu-XXXXXX)
xvfb=""
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$work/display")
export DISPLAY

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run: the program's CPU over the window, in percent of a core.
measure() {
  "$vexmira" --interface virtual "$@" >/dev/null 2>&1 &
  program=$!
  launcher=$(xdotool search --sync --name '^Vexmira V2.0$' | head -n 1)
  sleep 1
  xdotool mousemove --window "$launcher" 40 18 click 1   # the "DMX Console" button
  xdotool search --sync --name '^DMX Console V2.0$' >/dev/null
  if [ "${1:-}" = --monitor ]; then
    xdotool search --sync --onlyvisible --name '^Line Monitor$' >/dev/null
  fi
  sleep 3  # start-up work done, the monitor's first full paint over
  before=$(cpu_ticks "$program")
  sleep "$seconds"
  after=$(cpu_ticks "$program")
  kill "$program"
  wait "$program" 2>/dev/null || true
  program=""
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.2f s of CPU in %d s: %.1f %% of a core\n", t / hz, s, 100 * t / hz / s }'
}

printf "console open, line monitor open:   "
measure --monitor
printf "console open, no line monitor:     "
measure
