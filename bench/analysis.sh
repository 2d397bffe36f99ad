#!/usr/bin/env bash
# Speed of the analysis run on a rendered 640x480 H.264 video of a mouse in an open field (the
# demo's scene), all figures from one run so that their ratios hold on a busy machine:
#   - decoding alone (velantrix video decode), frames/s;
#   - velantrix analyze of one test, frames/s (wall time of the whole command), and its ratio
#     to decoding alone (target: at least 0.85); the same without decoding ahead;
#   - a batch of 4 tests of the video with --jobs 1 and --jobs 2, wall time and their ratio
#     (target: at least 1.7);
#   - peak memory of the one-test analysis (target: under 300 MB).
#
# usage: bench/analysis.sh [MINUTES] [WORK_DIR]
#   MINUTES   length of the video (default 10); the render is kept in WORK_DIR and reused
#   WORK_DIR  default build/bench-analysis
#   VELANTRIX the program to measure (default build/apps/velantrix/velantrix; build it in
#             release first: scripts/build.sh --release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-10}
work=$(mkdir -p "${2:-$root/build/bench-analysis}" && cd "${2:-$root/build/bench-analysis}" && pwd)
vx=${VELANTRIX:-$root/build/apps/velantrix/velantrix}
[ -x "$vx" ] || { echo "bench/analysis.sh: no program at $vx (scripts/build.sh --release)" >&2; exit 1; }

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
elapsed() { calc "$2 - $1"; }
fmt() { awk -v d="$1" -v x="$2" 'BEGIN { printf "%.*f", d, x }'; }

# The video and an experiment with one test on it, rendered once per length.
render="$work/render-${minutes}min"
if [ ! -f "$render/demo.vxdb" ]; then
  rm -rf "$render"
  echo "Rendering a ${minutes}-minute video into $render ..." >&2
  "$vx" demo "$render" --seconds "$(calc "$minutes * 60")" --no-analyze --quiet
fi
video="$render/open-field.mp4"
codec=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name -of csv=p=0 "$video" 2>/dev/null || echo "?")

# A fresh copy of the experiment with four tests of the video (the demo's settings).
exp="$work/bench.vxdb"
rm -f "$exp"
cp "$render/demo.vxdb" "$exp"
settings=$(sqlite3 "$exp" "select ParamsDetection from Tests where Id=1")
for n in 2 3 4; do
  "$vx" test add "$exp" --protocol 1 --video 1 --animal 1 --title "Mouse 1, copy $n" \
    --detection "$settings" >/dev/null
done
frames=$(sqlite3 "$exp" "select NbFrames from Videos where Id=1" 2>/dev/null || echo "")

# Decoding alone.
t0=$(now); decode_out=$("$vx" video decode "$video"); t1=$(now)
decode_frames=$(echo "$decode_out" | awk '{print $1}')
decode_s=$(elapsed "$t0" "$t1")
decode_fps=$(calc "$decode_frames / $decode_s")

# One test, under /usr/bin/time for its peak memory when it is there.
mem_file="$work/time-v.txt"
t0=$(now)
if [ -x /usr/bin/time ]; then
  /usr/bin/time -v -o "$mem_file" "$vx" analyze "$exp" 1 --jobs 1 --quiet
  peak_kb=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$mem_file")
  peak="$(fmt 1 "$(calc "$peak_kb / 1024")") MB"
else
  "$vx" analyze "$exp" 1 --jobs 1 --quiet
  peak="n/a (no /usr/bin/time: Debian package time)"
fi
t1=$(now)
one_s=$(elapsed "$t0" "$t1")
one_fps=$(calc "$decode_frames / $one_s")

t0=$(now); "$vx" analyze "$exp" 1 --jobs 1 --no-decode-ahead --quiet; t1=$(now)
plain_s=$(elapsed "$t0" "$t1")
plain_fps=$(calc "$decode_frames / $plain_s")

# A batch of four tests, one at a time and two at once.
t0=$(now); "$vx" analyze "$exp" 1 2 3 4 --jobs 1 --quiet; t1=$(now)
batch1_s=$(elapsed "$t0" "$t1")
t0=$(now); "$vx" analyze "$exp" 1 2 3 4 --jobs 2 --quiet; t1=$(now)
batch2_s=$(elapsed "$t0" "$t1")

rate=$(sqlite3 "$exp" "select InfosAnalyse from Tests where Id=1" | awk -F'|' '{print $12}')
echo "Analysis run: ${minutes}-minute 640x480 video ($codec, ${frames:-$decode_frames} frames), $(nproc) cores"
printf '%-46s %12s\n' "measure" "value"
printf '%-46s %12s\n' "decode only, frames/s" "$(fmt 0 "$decode_fps")"
printf '%-46s %12s\n' "analyze one test, frames/s" "$(fmt 0 "$one_fps")"
printf '%-46s %12s\n' "  ratio to decode only (target >= 0.85)" "$(fmt 2 "$(calc "$one_fps / $decode_fps")")"
printf '%-46s %12s\n' "analyze one test without decoding ahead, fr/s" "$(fmt 0 "$plain_fps")"
printf '%-46s %12s\n' "batch of 4 tests, --jobs 1, s" "$(fmt 1 "$batch1_s")"
printf '%-46s %12s\n' "batch of 4 tests, --jobs 2, s" "$(fmt 1 "$batch2_s")"
printf '%-46s %12s\n' "  speed-up (target >= 1.7)" "$(fmt 2 "$(calc "$batch1_s / $batch2_s")")"
printf '%-46s %12s\n' "peak memory of one test (target < 300 MB)" "$peak"
printf '%-46s %12s\n' "frames with the animal, test 1" "${rate:-?}"
