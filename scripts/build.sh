#!/usr/bin/env bash
# Configures and builds into build/. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
# A compiler cache, where one is installed, makes rebuilds of other checkouts cheap.
cache=()
command -v ccache >/dev/null && cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build "${gen[@]}" "${cache[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
elif [ $# -gt 0 ] || [ ${#cache[@]} -gt 0 ]; then
  cmake -S . -B build "${cache[@]}" "$@" >/dev/null
fi
cmake --build build -j "$(nproc)"
