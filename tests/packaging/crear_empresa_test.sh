#!/usr/bin/env bash
# The company helper: a company database from the scripts, with or without the demo sales; the
# server list when absent; an existing database never replaced unasked; bad company codes
# refused; as root, a group whose members can write the database and the log.
#   crear_empresa_test.sh REPO
set -uo pipefail
helper="$1/packaging/contabiliza-contado-crear-empresa"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() {  # check WHAT ACTUAL EXPECTED
  if [[ "$2" == "$3" ]]; then passed=$((passed + 1)); else
    echo "FAIL: $1: got '$2', expected '$3'"; failed=$((failed + 1)); fi
}
value() {
  printf 'SET HEADING OFF;\n%s;\n' "$2" | isql-fb -q -user SYSDBA "$1" 2>&1 | tr -d ' \n'
}

"$helper" "$work/vacia" 01 >/dev/null
db="$work/vacia/datos/01/talvora.fdb"
check "empty company: rates" "$(value "$db" "SELECT COUNT(*) FROM TARIFA_IVA")" 3
check "empty company: no sales" "$(value "$db" "SELECT COUNT(*) FROM FACTURA")" 0
check "empty company: the procedure" "$(value "$db" "SELECT COUNT(*) FROM RDB\$PROCEDURES WHERE
  RDB\$PROCEDURE_NAME = 'CONTADO_QUELMO_PREF'")" 1
check "server list" "$(od -An -c "$work/vacia/SERVIDORES.cfg" | tr -d ' \n')" "$work/vacia\r\n"

"$helper" --demo "$work/demo" 02 >/dev/null
check "demo company: sales up to today" \
  "$(value "$work/demo/datos/02/talvora.fdb" "SELECT MAX(FACT_FECHA) FROM FACTURA")" \
  "$(date +%Y-%m-%d)"

"$helper" "$work/vacia" 01 >/dev/null 2>&1
check "an existing database is kept: status" "$?" 1
check "an existing database is kept: its contents" "$(value "$db" "SELECT COUNT(*) FROM TARIFA_IVA")" 3
"$helper" --demo --reemplazar "$work/vacia" 01 >/dev/null
check "replaced on request" "$(value "$db" "SELECT SIGN(COUNT(*)) FROM FACTURA")" 1

for code in "" "../x" "a b" "01;"; do
  "$helper" "$work/malo" "$code" >/dev/null 2>&1
  check "company code '$code' refused" "$?" 2
done
check "nothing made for refused codes" "$(ls "$work/malo/datos" 2>/dev/null | wc -l)" 0

if [[ $(id -u) -eq 0 ]]; then
  group=contabiliza-prueba-$$
  user=contab-prueba-$$
  useradd -M -N -s /usr/sbin/nologin "$user"
  chmod 755 "$work"
  "$helper" --grupo "$group" "$work/grupo" 01 >/dev/null
  usermod -a -G "$group" "$user"
  gdb="$work/grupo/datos/01/talvora.fdb"
  check "a member writes the database" \
    "$(su -s /bin/sh "$user" -c "test -w '$gdb' && test -w '$work/grupo/ERRORES.TXT' && echo yes")" yes
  check "a new file in the company folder goes to the group" \
    "$(su -s /bin/sh "$user" -c "touch '$work/grupo/datos/01/x' && stat -c %G '$work/grupo/datos/01/x'")" \
    "$group"
  check "others cannot read the database" "$(stat -c %a "$gdb")" 660
  userdel "$user"
  groupdel "$group"
fi

echo "$passed passed, $failed failed"
((failed == 0))
