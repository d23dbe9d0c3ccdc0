#!/usr/bin/env bash
# Configures (once) and builds into build/; a second run only rebuilds what changed.
#   scripts/build.sh [target...]    (default: everything)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j2 "${targets[@]}"
