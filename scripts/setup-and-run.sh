#!/usr/bin/env bash
# Installs the packages KORU needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq $(grep -v '^#' .ci/packages | tr '\n' ' ') >/dev/null
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/src/koru "$@"
