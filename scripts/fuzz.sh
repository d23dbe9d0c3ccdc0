#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each for a bounded number of inputs. Usage: scripts/fuzz.sh [runs]   (default 20000 inputs each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
  cmake -S . -B build-fuzz -G Ninja -DBUILD_FUZZERS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
targets=$(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz-[A-Za-z0-9_-]*\): .*/\1/p')
if [[ -z "$targets" ]]; then
  echo "fuzz: no fuzz targets"
  exit 0
fi
cmake --build build-fuzz -j2 --target $targets
for t in $targets; do
  corpus=$(mktemp -d)
  seeds="fuzz/seeds/${t#fuzz-}"
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$corpus"/
  echo "fuzz: $t, $runs inputs"
  log=$(mktemp)
  if ! build-fuzz/fuzz/$t -runs="$runs" -max_total_time=120 -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    cat "$log"
    echo "fuzz: $t FOUND A FAILURE"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$log" || true
  rm -rf "$corpus" "$log"
done
