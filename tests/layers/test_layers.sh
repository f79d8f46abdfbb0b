#!/usr/bin/env bash
# The layers by their includes: the data layer (src/data and every
# subsystem's data/ folder) names no window, no other subsystem's windows
# and no tool; the window centre (src/ui) names no subsystem; the rules
# library names only data layers. No library picks its sources out of a
# folder by pattern. The link check programs beside this test hold the
# same rules at link time.
set -uo pipefail
src="$1/src"
fail=0

# Prints each project include of the files under $1 (one level when $2 is
# "flat") whose folder is not allowed by the extended pattern $3.
check() {
  local dir=$1 depth=$2 allowed=$3
  local files
  if [ "$depth" = flat ]; then
    files=$(find "$dir" -maxdepth 1 -name '*.cpp' -o -maxdepth 1 -name '*.h')
  else
    files=$(find "$dir" -name '*.cpp' -o -name '*.h')
  fi
  [ -n "$files" ] || return 0
  local bad
  bad=$(grep -Hn '^#include "' $files | grep -Ev "#include \"($allowed)/" || true)
  if [ -n "$bad" ]; then
    echo "FAIL: includes outside $allowed:"
    echo "$bad"
    fail=1
  fi
}

check "$src/data" flat 'data'
for d in "$src"/*/data; do
  sub=$(basename "$(dirname "$d")")
  check "$d" deep "data|$sub/data"
done
check "$src/rules" deep 'rules|data|[a-z-]+/data'
check "$src/ui" deep 'ui|data'
# The spreadsheet import reads and stores without a window; its dialog
# sits on the window centre.
check "$src/import" deep 'import|data|[a-z-]+/data'
check "$src/importui" deep 'importui|import|ui|data'

filters=$(grep -rn 'list *( *FILTER' "$src" --include=CMakeLists.txt || true)
if [ -n "$filters" ]; then
  echo "FAIL: sources picked by pattern:"
  echo "$filters"
  fail=1
fi
exit $fail
