#!/usr/bin/env bash
# Installs the packages KORU needs, builds the program and starts it (the demo recording by
# default). Only the program is built; scripts/test.sh builds the tests, tools and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh --program
cmake --preset default >/dev/null
cmake --build --preset program
# With no options: the demo, which needs neither a receiver nor a display. It only shows what
# KORU would do with the recorded keys: a dry run leaves the desktop as it is.
if [ "$#" -eq 0 ]; then
  set -- --port replay:data/demo.mode2 --exit-after-replay --dry-run
fi
exec build/default/src/koru "$@"
