#!/usr/bin/env bash
# Sets everything up and runs every test: unit, Firebird (embedded and a loopback server) and UI.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/fuzz.sh 20000
cd build
ctest --output-on-failure -j2 "$@"
