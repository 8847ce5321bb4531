#!/usr/bin/env bash
# Four cameras of one long moment: the followers' drift from the leader over SECONDS of
# playback, and the studio's CPU while it plays all four against four bare players of the
# same sizes, each run under its own virtual display.
set -euo pipefail
bench=$1 clipgen=$2 dir=$3 seconds=${4:-300} cpu_seconds=${5:-20} shot=${6:-}
start=2025-06-01_07-00-00
if [ ! -f "$dir/$start-right.mp4" ]; then
    mkdir -p "$dir"
    "$clipgen" --fast --size 640x480 --moments 1 --seconds $((seconds + 20)) \
        --cameras front,back,left,right --trip "$dir" >/dev/null
fi
export VELDRIN_INSTANCE_KEY="camera-bench-$$"
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
display=(xvfb-run -a -s "-screen 0 1600x1000x24")

echo "drift over ${seconds} s (|follower - leader| presented frame time, leader front):"
QT_QPA_PLATFORM=offscreen "$bench" drift "$dir/$start-front.mp4" "$seconds" 2>/dev/null

out=$("${display[@]}" "$bench" studio "$dir" "$cpu_seconds" $shot 2>/dev/null)
grep studio_offset <<<"$out" || true
studio=$(awk '/studio_cpu_seconds/ {print $2}' <<<"$out")
read -r lw lh < <(awk '/large_size/ {print $2, $3}' <<<"$out")
read -r sw sh < <(awk '/small_size/ {print $2, $3}' <<<"$out")
bare=$("${display[@]}" "$bench" bare "$dir/$start-front.mp4" "$dir/$start-back.mp4" \
    "$dir/$start-left.mp4" "$dir/$start-right.mp4" "$cpu_seconds" "$lw" "$lh" "$sw" "$sh" \
    2>/dev/null | awk '/bare_cpu_seconds/ {print $2}')
echo "4 cameras, ${cpu_seconds} s, large ${lw}x${lh}, small ${sw}x${sh}"
echo "bare players CPU: ${bare} s"
echo "studio CPU:       ${studio} s"
awk -v b="$bare" -v s="$studio" 'BEGIN { printf "studio extra cost: %.1f%%\n", (s - b) / b * 100 }'
