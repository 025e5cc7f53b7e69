#!/bin/sh
# Plays data/demo.mode2 in real time through the whole program (koru --port replay:...) while
# six busy loops run beside it at a higher priority (nice -15: run as root, or they run at 0),
# and counts the keys the program recognised. Every run must give all 15 keys of the demo
# (a key whose frames go on after the receiver resumes may be reported again).
#   bench/receiver_under_load.sh [BUILD_DIR] [RUNS] [LOOPS]
set -u
BUILD=${1:-build/default}
RUNS=${2:-3}
LOOPS=${3:-6}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
KORU="$BUILD/src/koru"
[ -x "$KORU" ] || KORU=$(find "$BUILD" -name koru -type f -perm -u+x | head -1)
EXPECTED="LR-SAT 'N1'|LR-SAT 'N2'|LR-SAT 'N3'|Samsung312 'up'|Samsung312 'down'|Samsung312 'left'|Samsung312 'right'|DENON 'Vol+'|DENON 'Vol-'|Sony618 'Mute'|Tokai_TV051 'N5'|Crown0301 'N9'|Burns158 'OK'|MC5_CD 'Vol+'|Sharp044 'N7'"

ok=0
run=1
while [ "$run" -le "$RUNS" ]; do
  work=$(mktemp -d)
  pids=""
  i=0
  while [ "$i" -lt "$LOOPS" ]; do
    nice -n -15 sh -c 'while :; do :; done' &
    pids="$pids $!"
    i=$((i + 1))
  done
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" HOME="$work" \
    KORU_FAKE_DESKTOP=1 "$KORU" --home "$work/koru" --port "replay:$ROOT/data/demo.mode2" \
    --exit-after-replay > "$work/out" 2>&1
  status=$?
  for pid in $pids; do kill "$pid"; done
  wait 2>/dev/null
  # The recognised keys in order, repeats of one key folded.
  keys=$(sed -n "s/.* => \(.*\)$/\1/p" "$work/out" | uniq | paste -sd'|' -)
  reports=$(grep -c " => " "$work/out")
  count=$(printf '%s' "$keys" | awk -F'|' '{print NF}')
  if [ "$status" -eq 0 ] && [ "$keys" = "$EXPECTED" ]; then
    ok=$((ok + 1))
    echo "run $run: all 15 keys ($reports reports)"
  else
    echo "run $run: exit $status, $count keys: $keys"
  fi
  [ -n "${KEEP:-}" ] && cp "$work/out" "$KEEP.$run"; rm -rf "$work"
  run=$((run + 1))
done
echo "$ok of $RUNS runs gave all 15 keys beside $LOOPS busy loops at nice -15"
[ "$ok" -eq "$RUNS" ]
