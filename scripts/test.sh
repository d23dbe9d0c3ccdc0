#!/usr/bin/env bash
# Sets everything up and runs every test: the fuzz targets, the Debian package's check, and every
# CTest case: unit, Firebird (embedded and a loopback server) and UI.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/fuzz.sh 20000
scripts/package.sh
cd build
ctest --output-on-failure -j2 "$@"
