#!/usr/bin/env bash
# Builds the Debian package of the program into build/package/ and checks it: the files it
# installs, its control fields and dependencies, the desktop entry and the metainfo.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh contabiliza-contado db_firebird
rm -rf build/package
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/package/contabiliza-contado_*.deb)
echo "Package: $deb"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for expected in \
  /usr/bin/contabiliza-contado \
  /usr/bin/contabiliza-contado-crear-empresa \
  /usr/lib/contabiliza-contado/libcontabiliza_fbdriver.so \
  /usr/share/contabiliza-contado/sql/schema.sql \
  /usr/share/contabiliza-contado/sql/procedure.sql \
  /usr/share/contabiliza-contado/sql/demo_data.sql \
  /usr/share/applications/com.kvn.ContabilizaContado.desktop \
  /usr/share/icons/hicolor/scalable/apps/com.kvn.ContabilizaContado.svg \
  /usr/share/metainfo/com.kvn.ContabilizaContado.metainfo.xml \
  /usr/share/doc/contabiliza-contado/README.md; do
  grep -qx "$expected" <<<"$files" || fail "the package does not install $expected"
done
# Nothing of the build tree, nor test programs, in the package.
grep -q "/tests/\|/build" <<<"$files" && fail "the package holds build or test files"

if dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/contabiliza-contado/libcontabiliza_fbdriver.so ./usr/bin/contabiliza-contado |
  grep -aq "$(pwd)/build"; then
  fail "an installed file names the build folder"
fi

for field in Package Version Architecture Maintainer Section Description Depends; do
  [[ -n "$(dpkg-deb -f "$deb" "$field")" ]] || fail "no $field field"
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libfbclient2 firebird3.0-server-core firebird3.0-utils fonts-liberation libqt6widgets6 libstdc++6; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/com.kvn.ContabilizaContado.desktop" ||
  fail "the desktop entry does not validate"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/com.kvn.ContabilizaContado.metainfo.xml" ||
    fail "the metainfo does not validate"
fi

if ((failures > 0)); then
  echo "package check: $failures failed" >&2
  exit 1
fi
echo "package check: passed"
