#!/usr/bin/env bash
# Creates the demo company database (schema, posting procedure, demo sales) at the given path,
# embedded, no server needed. Leaves an existing database alone unless --fresh is given.
#   scripts/make-demo-db.sh [--fresh] <path/to/talvora.fdb>
set -euo pipefail
fresh=0
if [[ "${1:-}" == "--fresh" ]]; then fresh=1; shift; fi
db=${1:?usage: make-demo-db.sh [--fresh] <path/to/talvora.fdb>}
sql="$(cd "$(dirname "$0")/../sql" && pwd)"

[[ $fresh -eq 1 ]] && rm -f "$db"
if [[ -f "$db" ]]; then
  echo "Demo database already there: $db"
  exit 0
fi
mkdir -p "$(dirname "$db")"
db=$(cd "$(dirname "$db")" && pwd)/$(basename "$db")
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat > "$script" <<SQL
CREATE DATABASE '$db' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8;
INPUT '$sql/schema.sql';
INPUT '$sql/procedure.sql';
INPUT '$sql/demo_data.sql';
SQL
if ! isql-fb -q -b -ch UTF8 -user SYSDBA -i "$script"; then
  rm -f "$db"
  echo "Could not create the demo database $db" >&2
  exit 1
fi
echo "Demo database created: $db"
