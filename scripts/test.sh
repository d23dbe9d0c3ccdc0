#!/usr/bin/env bash
# Sets everything up and runs every test: the fuzz targets, the Debian package's check, every
# CTest case (unit, Firebird (embedded and a loopback server) and UI), then the Windows cross build's
# unit tests under Wine. The last line is ctest's summary when a CTest case fails, else the
# Windows check's count of cases ("N passed, M failed").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/fuzz.sh 20000
scripts/package.sh
(cd build && ctest --output-on-failure -j2 "$@")
scripts/windows-check.sh
