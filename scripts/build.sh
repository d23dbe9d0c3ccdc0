#!/usr/bin/env bash
# Configures (once) and builds into build/; a second run only rebuilds what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build build -j2
