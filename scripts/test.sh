#!/usr/bin/env bash
# Builds KORU (warnings are errors) and runs the whole test suite, after installing the packages
# the tests need that are missing (scripts/setup-and-run.sh installs only the program's).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default --output-on-failure
