#!/bin/sh
# Writes data/demo.mode2: key presses of built-in remotes, one a second.
# usage: tools/koru-encode/make_demo.sh BUILD_DIR > data/demo.mode2
#
# After a report the receiver is resumed by the receiver view's pulse every 250 ms. Each press
# starts 10 ms after such a pulse (the replay's recording starts 100 ms after the first pulse,
# hence the leading 160 ms) and is padded to a whole second, so the frames a press still sends
# after its report are over before the receiver resumes.
set -e
encode="$1/tools/koru-encode/koru-encode"
echo "# KORU demo: key presses of built-in remotes, one a second"
echo "space 160000"
while read -r remote key; do
  "$encode" "$remote" "$key" |
    awk '{ print } /^(pulse|space) / { total += $2 } END { print "space " (1000000 - total) }'
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
