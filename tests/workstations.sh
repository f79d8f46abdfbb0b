#!/bin/sh
# A short run of several workstations saving at once, one of them killed
# now and then: on a SQLite file, and on PostgreSQL when the test run has
# a server. Exits non-zero when a check of the tool fails.
set -e
build="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bench_workstations" --db "$dir/ws.hdb" --workers 3 --seconds 3 --kill
if [ -n "$BREVIA_TEST_PG" ]; then
    uri="$BREVIA_TEST_PG/ws_$$"
    "$build/brevia-admin" init "$uri" >/dev/null
    "$build/bench_workstations" --db "$uri" --workers 3 --seconds 3 --kill
fi
