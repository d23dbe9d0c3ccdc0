#!/usr/bin/env bash
# Cross-builds for 64-bit Windows (MinGW-w64) what needs neither Qt nor a database: the Qt-free
# libraries, the Firebird driver DLL and the unit tests, into build-windows/; then runs every test
# program under Wine in a throw-away prefix. Fails on a compiler warning or a failing test. The
# last line is the count of test cases: "N passed, M failed".
#   scripts/windows-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The cross compiler (posix thread model), Wine, GoogleTest's sources, the Firebird headers.
scripts/deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest firebird-dev

# Debian's wine64 package puts its loader here; the "wine" wrapper comes with another package.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
fi
# The Linux build's optimisation (so the same warnings show), without debug information; a
# warning stops the build, so that a second run cannot pass over an object that warned.
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
build_log=$(mktemp)
prefix=$(mktemp -d)
cleanup() {
  WINEPREFIX="$prefix" "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$prefix" "$build_log"
}
trap cleanup EXIT

if ! cmake --build build-windows -j2 >"$build_log" 2>&1; then
  cat "$build_log"
  echo "windows-check: the cross build failed" >&2
  exit 1
fi
if grep -q "warning:" "$build_log"; then
  grep -A3 "warning:" "$build_log"
  echo "windows-check: the cross build has warnings" >&2
  exit 1
fi
echo "windows-check: cross build done: $(cd build-windows/bin && echo *.dll)"

# A fresh Windows of its own for this run, no display, no noise, no prompts for add-ons.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
"$wine" wineboot --init >/dev/null 2>&1

passed=0
failed=0
cd build-windows/tests
for program in *.exe; do
  output=$("$wine" "./$program" --gtest_brief=1 2>&1) && status=0 || status=$?
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' <<<"$output" | tail -1)
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' <<<"$output" | tail -1)
  if [[ -z "$ran" ]]; then
    # Ended before its summary (a crash): count the program as one failed case.
    echo "$output"
    echo "windows-check: $program ended without a summary (status $status)"
    failed=$((failed + 1))
    continue
  fi
  # A skipped case proves nothing either: it counts as failed.
  ok=${ok:-0}
  bad=$((ran - ok))
  if ((status != 0 || bad > 0)); then
    echo "$output"
    ((bad > 0)) || bad=1
  fi
  echo "windows-check: $program $ok/$ran"
  passed=$((passed + ok))
  failed=$((failed + bad))
done
echo "$passed passed, $failed failed"
((failed == 0))
