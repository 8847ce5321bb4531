#!/usr/bin/env bash
# Plays the demo clip for a while in the studio and in a bare QML player, each under its own
# virtual display, and prints both CPU times and resident memory, the studio's extra cost and
# the drop-to-row time.
set -euo pipefail
bench=$1 clip=$2 seconds=${3:-20} shot=${4:-}
export VELDRIN_INSTANCE_KEY="studio-bench-$$"
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
display=(xvfb-run -a -s "-screen 0 1600x1000x24")

# The studio first: the bare player then gets a window of its size, its video item as large.
out=$("${display[@]}" "$bench" studio "$clip" "$seconds" $shot 2>/dev/null)
value() { awk -v key="$1" -v field="$2" '$1 == key {print $field}' <<<"$3"; }
studio=$(value studio_cpu_seconds 2 "$out")
drop=$(value drop_to_first_row_ms 2 "$out")
window=($(value window_size 2 "$out") $(value window_size 3 "$out"))
video=($(value video_item_size 2 "$out") $(value video_item_size 3 "$out"))
studio_frames=$(value studio_frames 2 "$out")
studio_rss=($(value studio_rss_mib 2 "$out") $(value studio_rss_mib 3 "$out"))
bare_out=$("${display[@]}" "$bench" bare "$clip" "$seconds" "${window[@]}" "${video[@]}" 2>/dev/null)
bare=$(value bare_cpu_seconds 2 "$bare_out")
bare_frames=$(value bare_frames 2 "$bare_out")
bare_rss=($(value bare_rss_mib 2 "$bare_out") $(value bare_rss_mib 3 "$bare_out"))

echo "clip: $clip, ${seconds} s of playback, window ${window[0]}x${window[1]}," \
    "video item ${video[0]}x${video[1]} in both"
echo "renderer: $(xvfb-run -a -s "-screen 0 1600x1000x24" glxinfo -B 2>/dev/null |
    awk -F': ' '/OpenGL renderer/ {print $2}')"
per_frame() { awk -v c="$1" -v f="$2" 'BEGIN { printf "%d frames, %.1f ms a frame", f, c * 1000 / f }'; }
echo "bare player CPU:   ${bare} s ($(per_frame "$bare" "$bare_frames")), resident ${bare_rss[0]} MiB peak, ${bare_rss[1]} MiB at the end"
echo "studio CPU:        ${studio} s ($(per_frame "$studio" "$studio_frames")), resident ${studio_rss[0]} MiB peak, ${studio_rss[1]} MiB at the end"
awk -v b="$bare" -v s="$studio" 'BEGIN { printf "studio extra cost: %.1f%% (target under 50%%)\n", (s - b) / b * 100 }'
awk -v b="${bare_rss[0]}" -v s="${studio_rss[0]}" \
    'BEGIN { printf "studio extra memory: %.0f MiB at the peak (target under 120 MiB)\n", s - b }'
echo "drop to first telemetry row: ${drop} ms (target under 300 ms)"
