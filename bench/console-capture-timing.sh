#!/bin/sh
# The console tick's timing as the capture of a real-time run records it: runs vexmira on the
# virtual interface with the console open for 60 s, then reads the frame times back with tshark.
#   bench/console-capture-timing.sh [VEXMIRA_BINARY]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
vexmira=${1:-"$here/../build/src/qt/vexmira"}
capture=$(mktemp /tmp/vexmira-console-timing-XXXXXX.pcap)
trap 'rm -f "$capture"' EXIT

/usr/bin/time -f "vexmira: %e s wall, %U s user, %S s system" \
  "$vexmira" --interface virtual --realtime --script "$here/console-60s.vxs" --capture "$capture"

tshark -r "$capture" -T fields -e frame.time_epoch 2>/dev/null | awk '
  { t[NR] = $1 }
  END {
    n = NR
    if (n < 2) { print "too few frames: " n; exit 1 }
    m = (n - 1 < 2000) ? n - 1 : 2000
    for (i = 1; i <= m; i++) { d[i] = (t[i + 1] - t[i]) * 1000; sum += d[i] }
    # insertion sort is fine for 2000 values
    for (i = 2; i <= m; i++) { v = d[i]; j = i - 1; while (j > 0 && d[j] > v) { d[j + 1] = d[j]; j-- } d[j + 1] = v }
    p50 = d[int(0.50 * (m - 1) + 0.5) + 1]; p99 = d[int(0.99 * (m - 1) + 0.5) + 1]
    printf "intervals over %d ticks: mean %.3f ms, p50 %.3f ms, p99 %.3f ms, min %.3f ms, max %.3f ms\n", m, sum / m, p50, p99, d[1], d[m]
    # The tick starts one period before its first frame; half a period of grace at 60 s.
    origin = t[1] - 0.025; w = 0
    for (i = 1; i <= n; i++) if (t[i] - origin <= 60.0125) w++
    printf "frames within 60 s of the tick starting: %d (ideal 2400); drift over all %d frames %+.3f ms\n", w, n, ((t[n] - t[1]) - 0.025 * (n - 1)) * 1000
  }'
