#!/usr/bin/env bash
# Plays the demo clip for a while in a bare QML player and in the studio, each under its own
# virtual display, and prints both CPU times, the studio's extra cost and the drop-to-row time.
set -euo pipefail
bench=$1 clip=$2 seconds=${3:-20} shot=${4:-}
export VELDRIN_INSTANCE_KEY="studio-bench-$$"
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
display=(xvfb-run -a -s "-screen 0 1600x1000x24")

bare=$("${display[@]}" "$bench" bare "$clip" "$seconds" 2>/dev/null | awk '/bare_cpu_seconds/ {print $2}')
out=$("${display[@]}" "$bench" studio "$clip" "$seconds" $shot 2>/dev/null)
studio=$(awk '/studio_cpu_seconds/ {print $2}' <<<"$out")
drop=$(awk '/drop_to_first_row_ms/ {print $2}' <<<"$out")

echo "clip: $clip, ${seconds} s of playback"
echo "bare player CPU:   ${bare} s"
echo "studio CPU:        ${studio} s"
awk -v b="$bare" -v s="$studio" 'BEGIN { printf "studio extra cost: %.1f%% (target under 25%%)\n", (s - b) / b * 100 }'
echo "drop to first telemetry row: ${drop} ms (target under 300 ms)"
