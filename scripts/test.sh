#!/usr/bin/env bash
# Installs what is missing (test tools included), builds with warnings as
# errors and runs every test: on SQLite, and on a PostgreSQL server started
# here on 127.0.0.1 for the run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fail() { echo "BREVIA TESTS: FAIL ($1)"; exit 1; }

scripts/deps.sh test || fail "package installation"
scripts/build.sh -DBREVIA_WERROR=ON || fail "build"

work=$(mktemp -d /tmp/brevia-test.XXXXXX)
chmod 755 "$work"
cleanup() { scripts/pg.sh stop "$work/pg"; rm -rf "$work"; }
trap cleanup EXIT

if BREVIA_TEST_PG=$(scripts/pg.sh start "$work/pg"); then
  export BREVIA_TEST_PG
  echo "PostgreSQL for the tests: $BREVIA_TEST_PG"
else
  fail "PostgreSQL did not start: $(cat "$work/pg/initdb.log" "$work/pg/server.log" 2>/dev/null | tail -n 5)"
fi

fixtures=$(grep -E '^BREVIA_FIXTURES:' build/CMakeCache.txt | cut -d= -f2-)
[ -d "${BREVIA_FIXTURES:-$fixtures}" ] || echo "WARNING: shared test fixtures not found (${BREVIA_FIXTURES:-$fixtures}); the tests that need them are skipped"

mkdir -m 700 "$work/xdg"
export XDG_RUNTIME_DIR="$work/xdg"
export QT_QPA_PLATFORM=offscreen

if (cd build && ctest --output-on-failure -j 2 "$@"); then
  echo "BREVIA TESTS: PASS"
else
  fail "see the failures above"
fi
