#!/usr/bin/env bash
# Plays the demo clip for a while in the studio and in a bare QML player, each under its own
# virtual display, and prints both CPU times, the studio's extra cost and the drop-to-row time.
set -euo pipefail
bench=$1 clip=$2 seconds=${3:-20} shot=${4:-}
export VELDRIN_INSTANCE_KEY="studio-bench-$$"
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
display=(xvfb-run -a -s "-screen 0 1600x1000x24")

# The studio first: the bare player then draws its video at the size the studio's has.
out=$("${display[@]}" "$bench" studio "$clip" "$seconds" $shot 2>/dev/null)
studio=$(awk '/studio_cpu_seconds/ {print $2}' <<<"$out")
drop=$(awk '/drop_to_first_row_ms/ {print $2}' <<<"$out")
read -r video_width video_height < <(awk '/video_item_size/ {print $2, $3}' <<<"$out")
bare=$("${display[@]}" "$bench" bare "$clip" "$seconds" "$video_width" "$video_height" 2>/dev/null |
    awk '/bare_cpu_seconds/ {print $2}')

echo "clip: $clip, ${seconds} s of playback, video item ${video_width}x${video_height} in both"
echo "bare player CPU:   ${bare} s"
echo "studio CPU:        ${studio} s"
awk -v b="$bare" -v s="$studio" 'BEGIN { printf "studio extra cost: %.1f%% (target under 25%%)\n", (s - b) / b * 100 }'
echo "drop to first telemetry row: ${drop} ms (target under 300 ms)"
