#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; only the missing ones.
#   scripts/deps.sh [package...]    (default: the Linux build's, tests' and demo's)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  firebird3.0-server-core firebird3.0-server firebird3.0-utils libfbclient2 firebird-dev
  xvfb xauth xdotool fonts-liberation fonts-dejavu-core
  dpkg-dev desktop-file-utils appstream
)
if (($# > 0)); then packages=("$@"); fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Se necesita root (o sudo) para instalar: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
