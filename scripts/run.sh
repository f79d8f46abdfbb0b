#!/usr/bin/env bash
# Installs what is missing, builds, makes the default database on first use
# and starts Brevia.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" run
"$root/scripts/build.sh"
home=${BREVIA_HOME:-$root/build}
if [ ! -f "$home/Server.txt" ] && [ ! -f "$home/Data/HKP30.hdb" ]; then
  BREVIA_HOME="$home" "$root/build/brevia-admin" init
fi
export BREVIA_HOME="$home"
exec "$root/build/brevia" "$@"
