#!/usr/bin/env bash
# Builds KORU (warnings are errors) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default --output-on-failure
