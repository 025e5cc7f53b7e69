#!/usr/bin/env bash
# Installs the packages KORU needs, builds it and starts it (the demo recording by default).
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq $(grep -v '^#' .ci/packages | tr '\n' ' ') >/dev/null
cmake --preset default >/dev/null
cmake --build --preset default
# With no options: the demo, which needs neither a receiver nor a display. It only shows what
# KORU would do with the recorded keys: a dry run leaves the desktop as it is.
if [ "$#" -eq 0 ]; then
  set -- --port replay:data/demo.mode2 --exit-after-replay --dry-run
fi
exec build/default/src/koru "$@"
