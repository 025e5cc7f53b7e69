#!/usr/bin/env bash
# Builds the Debian package from the default build, checks it with lintian, validates the
# desktop entry and the AppStream metainfo, then extracts the package into a temporary root
# and runs the programs from there: `koru --version` and `koru-decode` on the shipped demo.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
cmake --preset default >/dev/null
cmake --build --preset default

desktop-file-validate data/desktop/org.koru.KORU.desktop
appstreamcli validate --no-net --explain data/desktop/org.koru.KORU.metainfo.xml >/dev/null

rm -f "$build"/koru_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/koru_*.deb)
echo "package: $deb"
# Errors and warnings fail; each override in packaging/lintian-overrides says why.
status=0
lintian --fail-on error,warning "$deb" >"$build/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$build/lintian.log" || true
if [ "$status" -ne 0 ]; then
  echo "lintian: the package has errors or warnings" >&2
  exit 1
fi

root=$(mktemp -d /tmp/koru-package-XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for tool in koru koru-decode koru-encode koru-import-lirc koru-import-keymap; do
  "$root/usr/bin/$tool" --version
  [ -f "$root/usr/share/man/man1/$tool.1.gz" ] || { echo "no manual page for $tool" >&2; exit 1; }
done
# The extracted koru-decode decodes the extracted demo recording: the demo's first key.
"$root/usr/bin/koru-decode" --remotes builtin "$root/usr/share/koru/demo.mode2" >"$root/decoded"
grep -q 'remote=LR-SAT key=N1' "$root/decoded" || {
  echo "koru-decode from the package did not decode the demo recording" >&2
  cat "$root/decoded" >&2
  exit 1
}
echo "package check: $(grep -c ' remote=' "$root/decoded") keys decoded from the package's demo"
