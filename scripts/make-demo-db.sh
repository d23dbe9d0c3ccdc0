#!/usr/bin/env bash
# Creates the demo company database (schema, posting procedure, demo sales) at the given path,
# laid out as <installation>/datos/<company>/talvora.fdb, embedded, no server needed. Leaves an
# existing database alone unless --fresh is given.
#   scripts/make-demo-db.sh [--fresh] <installation>/datos/<company>/talvora.fdb
set -euo pipefail
replace=()
if [[ "${1:-}" == "--fresh" ]]; then replace=(--reemplazar); shift; fi
db=${1:?usage: make-demo-db.sh [--fresh] <installation>/datos/<company>/talvora.fdb}
[[ "$(basename "$db")" == talvora.fdb && "$(basename "$(dirname "$(dirname "$db")")")" == datos ]] ||
  { echo "Not a company database path (<installation>/datos/<company>/talvora.fdb): $db" >&2; exit 2; }
if [[ -f "$db" && ${#replace[@]} -eq 0 ]]; then
  echo "Demo database already there: $db"
  exit 0
fi
company=$(basename "$(dirname "$db")")
installation=$(dirname "$(dirname "$(dirname "$db")")")
exec "$(dirname "$0")/../packaging/contabiliza-contado-crear-empresa" --demo "${replace[@]}" \
  "$installation" "$company"
