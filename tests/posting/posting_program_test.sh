#!/usr/bin/env bash
# The posting run in the real program, driven by keys as a user would: connect, type the prefix,
# F2. The first run posts today's cash sales and the program ends with status 0; a second run of
# the same period is told that nothing could be posted and ends too. Then, through a Firebird
# server on loopback: two copies posting the same prefix and period at the same moment post
# every invoice exactly once, and the one that could not post is told so; and a copy that meets
# invoices another caller is posting waits for it instead of posting them again.
#   posting_program_test.sh PROGRAM REPO
set -euo pipefail
source "$2/tests/support/program_session.sh"
session_begin "$1" "$2"
set -m

readonly title="Contabiliza ventas contado Prefijo"
readonly today=$(date +%Y-%m-%d)
passed=0
failed=0
check() {  # check WHAT ACTUAL EXPECTED
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    echo "FAIL: $1: got '$2', expected '$3'"
    failed=$((failed + 1))
  fi
}
pending_today="SELECT COUNT(*) FROM FACTURA WHERE FACT_PREFIJO = 'CAJ1' AND FACT_FORMA_PAGO = 'CO'
  AND FACT_FECHA = '$today' AND FACT_CONTABILIZADA = 0"
claimed_without_entry="SELECT COUNT(*) FROM FACTURA F WHERE F.FACT_CONTABILIZADA = 1 AND NOT
  EXISTS (SELECT 1 FROM ASIENTO A WHERE A.ASIE_LOTE = F.FACT_LOTE AND A.ASIE_FECHA = F.FACT_FECHA)"
invoices_in_two_entries="SELECT COUNT(*) FROM FACTURA F WHERE (SELECT COUNT(DISTINCT A.ASIE_LOTE)
  FROM ASIENTO A WHERE A.ASIE_FECHA = F.FACT_FECHA AND A.ASIE_PREFIJO = F.FACT_PREFIJO) > 1"

# Embedded: post today's CAJ1 sales.
[[ $(sql_value "$pending_today") -gt 0 ]] || fail "the demo database has no sales today"
program_start
program_connect 01
program_type_prefix CAJ1
xdotool key F2
wait_exit 10000
check "first run: exit status" "$exit_status" 0
check "first run: cash sales left pending" "$(sql_value "$pending_today")" 0
check "first run: entries of today" "$(sql_value "SELECT SIGN(COUNT(*)) FROM ASIENTO WHERE
  ASIE_FECHA = '$today' AND ASIE_PREFIJO = 'CAJ1'")" 1
entries=$(sql_value "SELECT COUNT(*) FROM ASIENTO")

# The same period again: nothing to post, the user is told, the program ends.
program_start
program_connect 01
program_type_prefix CAJ1
xdotool key F2
wait_box "$title"
answer_box
wait_exit 10000
check "second run: exit status" "$exit_status" 0
check "second run: entries" "$(sql_value "SELECT COUNT(*) FROM ASIENTO")" "$entries"

# Through the server: a fresh demo database reached as host/port:path.
"$2/scripts/make-demo-db.sh" --fresh "$work/datos/01/talvora.fdb" >/dev/null
printf '127.0.0.1/3051:%s\r\n' "$work" >"$work/SERVIDORES.cfg"
db_location="127.0.0.1/3051:$work/datos/01/talvora.fdb"

# Two copies press F2 at the same moment.
program_start 0 0
program_connect 01 masterkey
program_type_prefix CAJ1
first_pid=$program_pid first_window=$window
program_start 500 0
program_connect 01 masterkey
program_type_prefix CAJ1
second_pid=$program_pid second_window=$window
window=$first_window
program_activate
xdotool key F2
window=$second_window
program_activate
xdotool key F2
# One of them finds nothing left and says so; the other has ended.
told=""
for _ in $(seq 100); do
  for pid in $first_pid $second_pid; do
    program_pid=$pid
    if xdotool search --all --onlyvisible --pid "$pid" --name "^$title\$" >/dev/null 2>&1; then told=$pid; break 2; fi
  done
  sleep 0.1
done
check "concurrent: one copy told that nothing could be posted" "$([[ -n $told ]] && echo yes)" yes
if [[ -n $told ]]; then
  wait_box "$title"
  answer_box
fi
for pid in $first_pid $second_pid; do
  program_pid=$pid
  wait_exit 10000
  check "concurrent: copy $pid exit status" "$exit_status" 0
done
check "concurrent: cash sales left pending" "$(sql_value "$pending_today")" 0
check "concurrent: invoices claimed without an entry" "$(sql_value "$claimed_without_entry")" 0
check "concurrent: days posted in two batches" "$(sql_value "$invoices_in_two_entries")" 0

# Another caller is posting the same invoices right now (its transaction still open): the
# program waits for it, then says nothing could be posted; it never posts them again.
"$2/scripts/make-demo-db.sh" --fresh "$work/datos/01/talvora.fdb" >/dev/null
program_start
program_connect 01 masterkey
program_type_prefix CAJ1
{
  printf "SET AUTODDL OFF;\nSELECT COUNT(*) FROM contado_quelmo_pref('%s', '%s', 'CAJ1');\n" \
    "$(date +%d/%m/%Y)" "$(date +%d/%m/%Y)"
  printf "SHELL sleep 3;\nCOMMIT;\n"
} | isql-fb -q -user SYSDBA -password masterkey "$db_location" >"$work/other.log" 2>&1 &
other=$!
sleep 1
xdotool key F2
wait_box "$title" 15
wait "$other"
answer_box
wait_exit 10000
check "waiting: exit status" "$exit_status" 0
check "waiting: cash sales left pending" "$(sql_value "$pending_today")" 0
check "waiting: invoices claimed without an entry" "$(sql_value "$claimed_without_entry")" 0
check "waiting: days posted in two batches" "$(sql_value "$invoices_in_two_entries")" 0

echo "$passed passed, $failed failed"
((failed == 0))
