#!/bin/sh
# Writes data/demo.mode2: key presses of built-in remotes with a second's pause between them.
# usage: tools/koru-encode/make_demo.sh BUILD_DIR > data/demo.mode2
set -e
encode="$1/tools/koru-encode/koru-encode"
echo "# KORU demo: key presses of built-in remotes, one second apart"
while read -r remote key; do
  "$encode" "$remote" "$key"
  echo "space 1000000"
done <<'KEYS'
LR-SAT N1
LR-SAT N2
LR-SAT N3
Samsung312 up
Samsung312 down
Samsung312 left
Samsung312 right
DENON Vol+
DENON Vol-
Sony618 Mute
Tokai_TV051 N5
Crown0301 N9
Burns158 OK
MC5_CD Vol+
Sharp044 N7
KEYS
