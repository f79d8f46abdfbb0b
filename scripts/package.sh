#!/usr/bin/env bash
# Builds the Debian package brevia_<version>_<arch>.deb with CPack.
# Usage: scripts/package.sh [OUTDIR]   (default build/)
# BREVIA_BUILD_DIR names a build folder that is already built (the tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
if [ -n "${BREVIA_BUILD_DIR:-}" ]; then
  build=$(cd "$BREVIA_BUILD_DIR" && pwd)
else
  "$root/scripts/deps.sh" run
  "$root/scripts/build.sh"
  build=$root/build
fi
stage=$(mktemp -d /tmp/brevia-package.XXXXXX)
trap 'rm -rf "$stage"' EXIT
(cd "$build" && cpack -G DEB -B "$stage" --config "$build/CPackConfig.cmake" >"$stage/cpack.log" 2>&1) || {
  tail -n 30 "$stage/cpack.log" >&2
  exit 1
}
for deb in "$stage"/*.deb; do
  mv -f "$deb" "$out/"
  echo "$out/$(basename "$deb")"
done
