#!/usr/bin/env bash
# Runs a program on a private desktop stack and takes the stack down afterwards:
# Xvfb with openbox (EWMH), a private D-Bus session bus, PulseAudio with a null sink, and a
# private home with a test web browser / file handler and the test players' signature table.
#   run_system_tests.sh PROGRAM [ARGS...]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
for tool in Xvfb openbox xprop xev dbus-daemon dbus-send pulseaudio pactl xdg-open xdg-mime stdbuf; do
  command -v "$tool" >/dev/null || { echo "system tests: $tool is missing" >&2; exit 1; }
done
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null ||
  { echo "system tests: /usr/bin/python3 lacks python3-dbus or python3-gi" >&2; exit 1; }

work="$(mktemp -d /tmp/koru-system-XXXXXX)"
pids=()
cleanup() {
  if [ -n "${XDG_RUNTIME_DIR:-}" ]; then pulseaudio --kill >/dev/null 2>&1 || true; fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || {
      echo "system tests: timed out waiting for: $*" >&2
      tail -n 20 "$work"/*.log >&2 2>/dev/null
      return 1
    }
    sleep 0.1
  done
}

# A private home: nothing of the user's desktop leaks in.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_DATA_DIRS="$work/data:/usr/local/share:/usr/share" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER WAYLAND_DISPLAY DESKTOP_SESSION XDG_CURRENT_DESKTOP
unset GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION BROWSER

# X server and window manager.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 30 test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 30 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

# Session bus.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 \
  3>"$work/bus" 4>"$work/bus.pid" 2>/dev/null
pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")"

# Sound server with a null sink as the default.
pulseaudio --daemonize=yes -n --exit-idle-time=-1 --log-target=file:"$work/pulse.log" \
  --load="module-null-sink sink_name=testsink" --load=module-native-protocol-unix
wait_for 30 pactl info
pactl set-default-sink testsink

# The test browser and file handler record their arguments; the test players can be launched.
cat >"$XDG_DATA_HOME/applications/korutest-handler.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=KORU test handler
Exec=/usr/bin/python3 $here/record_args.py $work/handler.log %u
MimeType=text/html;text/plain;inode/directory;
ENTRY
cat >"$XDG_DATA_HOME/applications/korutest-player.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=KORU test player
Exec=/usr/bin/python3 $here/mpris_test_player.py $work/launched-player.log korutest
ENTRY
cat >"$XDG_CONFIG_HOME/mimeapps.list" <<LIST
[Default Applications]
text/html=korutest-handler.desktop
text/plain=korutest-handler.desktop
inode/directory=korutest-handler.desktop
LIST
cat >"$XDG_CONFIG_HOME/signatures.conf" <<TABLE
application/x-vnd.marcone-soundplay  mpris=korutest  desktop=korutest-player.desktop
application/x-vnd.videolan-vlc  wmclass=korutest-video  mpris=korutestvideo
application/x-vnd.mp-xpdf  wmclass=korukeys
application/x-vnd.yT-MediaPlayer  wmclass=korumedia
TABLE

export KORU_SYSTEM_WORK="$work" KORU_SYSTEM_SCRIPTS="$here"
"$@"
