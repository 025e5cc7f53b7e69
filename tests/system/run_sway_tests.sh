#!/usr/bin/env bash
# KORU as a native Wayland client of a headless sway, end to end: a replayed recording presses
# "Eject" twice and then a digit. The first "Eject" closes the focused application (its window
# and only that application), the front application then follows the focus to the second
# window, which the second "Eject" closes, and the digit moves sway to its workspace.
#   run_sway_tests.sh KORU KORU-ENCODE
# sway refuses to run as root: as root, sway runs as an unprivileged user made for it.
set -euo pipefail
koru="$1"
encode="$2"
for tool in sway swaymsg foot python3; do
  command -v "$tool" >/dev/null || { echo "sway tests: $tool is missing" >&2; exit 1; }
done
qmake_plugins="$(ls -d /usr/lib/*/qt6/plugins/platforms 2>/dev/null | head -n1)"
ls "$qmake_plugins"/libqwayland* >/dev/null 2>&1 ||
  { echo "sway tests: Qt's Wayland platform (qt6-wayland) is missing" >&2; exit 1; }

work="$(mktemp -d /tmp/koru-sway-XXXXXX)"
chmod 755 "$work"
sway_pid=""
cleanup() {
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
  pkill -f "foot --app-id korusway-" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "sway tests: FAILED: $*" >&2
  echo "--- KORU's trace" >&2; cat "$work/trace" >&2 2>/dev/null || true
  echo "--- sway's log (last lines)" >&2; tail -n 20 "$work/sway.log" >&2 2>/dev/null || true
  exit 1
}
wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for: $*"
    sleep 0.1
  done
}

runtime="$work/runtime"
mkdir -m 700 "$runtime"
cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x800
# KORU's window stays out of the way: it neither takes the focus nor shares the workspace.
no_focus [app_id="org.koru.KORU"]
assign [app_id="org.koru.KORU"] workspace number 9
CONF
chmod 644 "$work/sway.conf"
sway_env="XDG_RUNTIME_DIR=$runtime WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman"
if [ "$(id -u)" -eq 0 ]; then
  user=korusway
  id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  chown "$user" "$runtime"
  setsid su "$user" -s /bin/sh -c "exec env $sway_env sway -c $work/sway.conf" \
    >"$work/sway.log" 2>&1 &
else
  setsid env $sway_env sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
fi
sway_pid=$!
wait_for 20 test -S "$runtime/wayland-1"
wait_for 20 bash -c "ls $runtime/sway-ipc.*.sock"
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=wayland
SWAYSOCK="$(ls "$runtime"/sway-ipc.*.sock | head -n1)"
export SWAYSOCK
unset DISPLAY I3SOCK XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS
# Under AddressSanitizer: Qt's Wayland plugin and libwayland-client keep allocations until the
# end, beyond our reach; KORU's own leaks are checked by every other test.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

tree() { swaymsg -t get_tree; }
has_window() { tree | grep -q "\"app_id\": \"$1\""; }

# Two applications with their own app_ids on workspace 1; the first has the focus.
foot --app-id korusway-b -T "Window B" sleep 600 >/dev/null 2>&1 &
wait_for 20 has_window korusway-b
foot --app-id korusway-a -T "Window A" sleep 600 >/dev/null 2>&1 &
wait_for 20 has_window korusway-a
swaymsg '[app_id="korusway-a"] focus' >/dev/null

# Eject, Eject, N3: one press a second, as the demo recording is made.
rec="$work/keys.mode2"
echo "space 160000" >"$rec"
for press in "MC5_CD Eject" "MC5_CD Eject" "LR-SAT N3"; do
  # shellcheck disable=SC2086
  "$encode" $press |
    awk '{ print } /^(pulse|space) / { total += $2 } END { print "space " (1000000 - total) }' \
      >>"$rec" || fail "koru-encode $press"
done

# A first run writes the program folder and the preset file, whose digits switch workspaces.
mkdir -p "$work/home"
silence="$work/silence.mode2"
echo "space 100000" >"$silence"
timeout 60 "$koru" --home "$work/home" --port "replay:$silence" --exit-after-replay \
  --open preset-editor >"$work/trace" 2>&1 || fail "KORU's first run ended with status $?"
grep -q "Workspace" "$work/home/_Remotes_/_preset_" || fail "no preset file was written"
timeout 60 "$koru" --home "$work/home" --port "replay:$rec" --exit-after-replay \
  >"$work/trace" 2>&1 || fail "KORU ended with status $?"

grep -q "desktop: wayland (sway): .*workspaces sway-ipc, front application sway-ipc, windows sway-ipc" \
  "$work/trace" || fail "no desktop: line naming sway"
first="$(grep -o "Quit to: [^ ]*" "$work/trace" | sed -n 1p || true)"
second="$(grep -o "Quit to: [^ ]*" "$work/trace" | sed -n 2p || true)"
[ "$first" = "Quit to: application/x-vnd.linux-korusway-a" ] || fail "first Eject: '$first'"
[ "$second" = "Quit to: application/x-vnd.linux-korusway-b" ] || fail "second Eject: '$second'"
wait_for 20 bash -c "! swaymsg -t get_tree | grep -q korusway-"
workspace="$(swaymsg -t get_workspaces | python3 -c \
  'import json, sys; print([w["num"] for w in json.load(sys.stdin) if w["focused"]][0])')"
[ "$workspace" = 3 ] || fail "the focused workspace is $workspace, not 3"
echo "sway tests: 4 passed, 0 failed"
