#!/usr/bin/env bash
# Configures and builds into build/. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
elif [ $# -gt 0 ]; then
  cmake -S . -B build "$@" >/dev/null
fi
cmake --build build -j "$(nproc)"
