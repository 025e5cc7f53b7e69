#!/bin/sh
# Times koru-decode on a large recording built from the recordings in data/ (N key presses,
# 200 ms apart). Usage: bench/koru_decode_throughput.sh [BUILD_DIR] [N]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/default}
count=${2:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in nec_leadtek_key1 rc5_streamzap_key1_held rc5_streamzap_key5_held; do
  printf 'space 200000\n' >> "$work/three.mode2"
  cat "$here/data/$f.mode2" >> "$work/three.mode2"
done
# Doubling keeps the script fast for large N.
cp "$work/three.mode2" "$work/big.mode2"
keys=3
while [ "$keys" -lt "$count" ]; do
  cat "$work/big.mode2" "$work/big.mode2" > "$work/next.mode2"
  mv "$work/next.mode2" "$work/big.mode2"
  keys=$((keys * 2))
done
lines=$(wc -l < "$work/big.mode2")
bytes=$(wc -c < "$work/big.mode2")
start=$(date +%s.%N)
"$build/tools/koru-decode/koru-decode" "$work/big.mode2" > "$work/out.txt" 2> /dev/null
end=$(date +%s.%N)
reports=$(wc -l < "$work/out.txt")
last=$(tail -1 "$work/out.txt" | cut -d' ' -f1)
awk -v s="$start" -v e="$end" -v l="$lines" -v b="$bytes" -v k="$keys" -v r="$reports" -v t="$last" 'BEGIN {
  d = e - s
  printf "%d keys, %d lines, %.1f MB, %.1f s of recording: %.2f s wall, %.2f M lines/s, %.0fx real time, %d reports\n", k, l, b / 1e6, t / 1000, d, l / d / 1e6, t / 1000 / d, r
}'
