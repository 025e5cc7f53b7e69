#!/usr/bin/env bash
# Installs the Debian packages of .ci/packages that are missing: all of them, or with --program
# only the first block (what building and running KORU needs). With nothing missing it does not
# touch apt at all, so the scripts that call it cost nothing on a machine set up before.
set -euo pipefail
cd "$(dirname "$0")/.."
list=.ci/packages
if [ "${1:-}" = "--program" ]; then
  packages=$(sed '/^$/q' "$list" | grep -v '^#' || true)
else
  packages=$(grep -v -e '^#' -e '^$' "$list")
fi
missing=()
for package in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "installing ${#missing[@]} packages: ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
