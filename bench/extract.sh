#!/usr/bin/env bash
# Whole-process benchmark of veldrin-extract on a one-minute 1280x960 36 fps clip (about
# 5 Mbit/s, one telemetry record per frame), side by side with its floor (bench/bare_walk.c:
# map the file, walk the blocks, copy the SEI units out), reading the file (cat), a parse-only
# pass over the H.264 headers (ffmpeg trace_headers) and a decoding pass (ffprobe -show_frames).
# Prints wall and CPU (user + system) times, the ratios and the peak memory; exits 1 if a
# target is missed. The CPU ratio to the bare walk comes from runs of the two taken in turn:
# hyperfine runs one command's runs and then the other's, and on a shared machine the two
# blocks meet different loads (the same two binaries gave 1.31x to 2.11x in six such runs
# back to back, 1.62x to 1.69x in turn).
#
# Usage: bench/extract.sh [VELDRIN_EXTRACT [VELDRIN_CLIPGEN [BARE_WALK]]]
# Defaults: the release build's tools (cmake --preset release && cmake --build --preset release).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
extract="${1:-$root/build/release/tools/veldrin-extract}"
clipgen="${2:-$root/build/release/tools/veldrin-clipgen}"
bare="${3:-$root/build/release/bench/bare_walk}"
cache="$root/build/bench"
clip="$cache/drive-1280x960-36fps-60s-5000k.mp4"

# Targets: CPU time against the bare walk, and ratios of median wall-clock times.
max_vs_bare=1.5       # at most 1.5x the CPU time of the bare mapped walk
paired_runs=400       # runs of each, in turn, for that ratio
min_vs_probe=100      # at least 100x faster than ffprobe -show_frames
min_vs_trace=40       # at least 40x faster than ffmpeg trace_headers
rss_slack_kib=16384   # peak RSS beyond the clip's own size

for tool in "$extract" "$clipgen" "$bare"; do
  [ -x "$tool" ] || { echo "missing $tool: build the release preset first" >&2; exit 2; }
done
for tool in hyperfine ffmpeg ffprobe /usr/bin/time python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/bootstrap installs it)" >&2; exit 2; }
done

mkdir -p "$cache"
if [ ! -s "$clip" ]; then
  echo "Generating $clip (once)" >&2
  "$clipgen" --duration 60 --fps 36 --size 1280x960 --bitrate 5000 "$clip.tmp.mp4" >/dev/null
  mv "$clip.tmp.mp4" "$clip"
fi

# The release build is one static executable: a shared library would be loaded by every run.
if ! ldd "$extract" 2>&1 | grep -q -e "statically linked" -e "not a dynamic executable"; then
  echo "veldrin-extract is dynamically linked: every run pays for the loader (MISSED)" >&2
  exit 1
fi

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "Clip: $clip ($(stat -c %s "$clip") bytes, $("$extract" "$clip" | awk 'END {print NR - 1}') rows)"
echo

json="$cache/extract.json"
# No shell in between (-N): millisecond runs are timed without a shell's start-up; hyperfine
# discards every command's output.
hyperfine -N --warmup 2 --min-runs 5 --export-json "$json" \
  -n veldrin-extract "'$extract' '$clip'" \
  -n bare-walk "'$bare' '$clip'" \
  -n cat "cat '$clip'" \
  -n trace_headers "ffmpeg -nostdin -i '$clip' -c:v copy -bsf:v trace_headers -f null -" \
  -n ffprobe-show_frames "ffprobe -v error -show_frames '$clip'"

rss_kib() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }
extract_rss=$(rss_kib "$extract" "$clip")
cat_rss=$(rss_kib cat "$clip")
clip_kib=$(( $(stat -c %s "$clip") / 1024 ))

python3 - "$json" "$extract_rss" "$cat_rss" "$clip_kib" "$rss_slack_kib" \
  "$max_vs_bare" "$min_vs_probe" "$min_vs_trace" "$extract" "$bare" "$clip" "$paired_runs" <<'PY'
import json, os, sys
# Medians: the machine may be shared, and a median shrugs off the odd descheduled run.
runs = json.load(open(sys.argv[1]))["results"]
results = {r["command"]: r["median"] for r in runs}
cpu = {r["command"]: r["user"] + r["system"] for r in runs}
extract_rss, cat_rss, clip_kib, slack = map(int, sys.argv[2:6])
max_vs_bare = float(sys.argv[6])
targets = {"ffprobe-show_frames": float(sys.argv[7]), "trace_headers": float(sys.argv[8])}
ours = results["veldrin-extract"]
missed = False
print()
for r in runs:
    print(f"{r['command']:>20}: {r['median'] * 1000:9.1f} ms wall (median), "
          f"{r['user'] * 1000:.1f} ms user + {r['system'] * 1000:.1f} ms system (mean)")
print()
# CPU time (user + system) from wait4, the two commands run in turn, output to /dev/null.
extract, bare, clip, paired = sys.argv[9], sys.argv[10], sys.argv[11], int(sys.argv[12])
null = os.open(os.devnull, os.O_WRONLY)
def cpu_ms(tool):
    pid = os.posix_spawn(tool, [tool, clip], os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, null, 1)])
    _, status, usage = os.wait4(pid, 0)
    if status != 0:
        sys.exit(f"{tool} failed")
    return (usage.ru_utime + usage.ru_stime) * 1000
warmup = 10
pairs = [(cpu_ms(extract), cpu_ms(bare)) for _ in range(warmup + paired)][warmup:]
extract_cpu = sum(p[0] for p in pairs) / paired
bare_cpu = sum(p[1] for p in pairs) / paired
print(f"{'in turn':>20}: veldrin-extract {extract_cpu:.2f} ms CPU, bare-walk {bare_cpu:.2f} ms"
      f" (means of {paired} runs each)")
ratio = extract_cpu / bare_cpu
ok = ratio <= max_vs_bare
missed |= not ok
print(f"{'bare-walk':>20}: veldrin-extract takes {ratio:.2f}x its CPU time"
      f"  (target <= {max_vs_bare:g}x: {'ok' if ok else 'MISSED'})")
for name, target in targets.items():
    ratio = results[name] / ours
    ok = ratio >= target
    missed |= not ok
    print(f"{name:>20}: {results[name] * 1000:9.1f} ms  = {ratio:7.1f}x veldrin-extract"
          f"  (target >= {target:g}x: {'ok' if ok else 'MISSED'})")
ok = extract_rss <= clip_kib + slack
missed |= not ok
print(f"peak RSS: veldrin-extract {extract_rss} KiB, cat {cat_rss} KiB, clip {clip_kib} KiB"
      f"  (target <= clip + {slack} KiB: {'ok' if ok else 'MISSED'})")
sys.exit(1 if missed else 0)
PY
