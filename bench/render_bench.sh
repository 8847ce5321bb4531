#!/usr/bin/env bash
# veldrin-render on a one-minute 1280x960 36 fps clip (about 5 Mbit/s, one telemetry record per
# frame) against the floor of any burn-in, timed in the same hyperfine run: ffmpeg decoding,
# drawing one box on every frame and encoding with the same encoder settings. Also times the
# overlay alone (PNG in MOV) and a decoding pass, and prints where a render's time goes.
# Exits 1 if a target is missed.
#
# Usage: bench/render_bench.sh [VELDRIN_RENDER [VELDRIN_CLIPGEN]]
# Defaults: the release build's tools (cmake --preset release && cmake --build --preset release).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
render="${1:-$root/build/release/tools/render/veldrin-render}"
clipgen="${2:-$root/build/release/tools/veldrin-clipgen}"
cache="$root/build/bench"
# The clip bench/extract.sh makes, shared.
clip="$cache/drive-1280x960-36fps-60s-5000k.mp4"
seconds=60
runs=${RENDER_BENCH_RUNS:-3}

max_vs_floor=1.5          # render wall time against the floor's
min_overlay_speed=2       # the overlay alone: times real time

for tool in "$render" "$clipgen"; do
  [ -x "$tool" ] || { echo "missing $tool: build the release preset first" >&2; exit 2; }
done
for tool in hyperfine ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/bootstrap installs it)" >&2; exit 2; }
done

mkdir -p "$cache"
if [ ! -s "$clip" ]; then
  echo "Generating $clip (once)" >&2
  "$clipgen" --duration "$seconds" --fps 36 --size 1280x960 --bitrate 5000 "$clip.tmp.mp4" >/dev/null
  mv "$clip.tmp.mp4" "$clip"
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

json="$cache/render.json"
hyperfine --runs "$runs" --warmup 0 --export-json "$json" \
  -n floor "ffmpeg -v error -y -i $clip -vf drawbox=x=20:y=20:w=400:h=160:color=black@0.8:t=fill -c:v libx264 -preset veryfast -crf 20 $out/floor.mp4" \
  -n render "$render $clip -o $out/render.mp4" \
  -n overlay-only "$render $clip --overlay-only $out/overlay.mov" \
  -n decode "ffmpeg -v error -i $clip -f null -" >&2

echo "where a render's time goes (decode and encode: wall time of their threads; overlay: CPU time):"
"$render" "$clip" -o "$out/stages.mp4" --stages 2>&1 | tail -1

python3 - "$json" "$seconds" "$max_vs_floor" "$min_overlay_speed" <<'PY'
import json, statistics, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
seconds, max_vs_floor, min_speed = float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
median = {name: statistics.median(r["times"]) for name, r in results.items()}
for name, r in results.items():
    print(f"{name:13} median {median[name]:6.2f} s  user {r['user']:6.2f} s  system {r['system']:5.2f} s"
          f"  ({seconds / median[name]:.2f}x real time)")
ratio = median["render"] / median["floor"]
speed = seconds / median["overlay-only"]
print(f"render / floor: {ratio:.2f} (target at most {max_vs_floor}, aim 1.2)")
print(f"overlay alone: {speed:.2f}x real time (target at least {min_speed}x)")
sys.exit(0 if ratio <= max_vs_floor and speed >= min_speed else 1)
PY
