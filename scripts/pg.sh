#!/usr/bin/env bash
# Starts or stops a throw-away PostgreSQL server on 127.0.0.1 for the tests.
#   scripts/pg.sh start DIR   prints the URI to use as BREVIA_TEST_PG
#   scripts/pg.sh stop DIR
set -euo pipefail
cmd=$1 dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
case $cmd in
start)
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$dir"
  port=$(( 20000 + RANDOM % 20000 ))
  as_pg "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
  as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
    start >/dev/null
  echo "postgresql://postgres@127.0.0.1:$port"
  ;;
stop)
  [ -d "$dir/data" ] && as_pg "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  ;;
esac
