#!/usr/bin/env bash
# The real program ends promptly on SIGTERM and SIGINT in every state: idle, connected to the
# embedded demo database, and with a failure box up after a refused connect. Never a crash:
# the status is 0 or 128 + the signal.
#   termination_signal_test.sh PROGRAM REPO
set -euo pipefail
source "$2/tests/support/program_session.sh"
session_begin "$1" "$2"
# Job control: a program started in the background keeps SIGINT instead of ignoring it.
set -m

passed=0
failed=0
for signal in TERM INT; do
  for state in idle connected failure-box; do
    program_start
    case $state in
      connected)
        program_connect 01
        wait_engine_loaded
        ;;
      failure-box)
        program_connect 99  # no such company folder: the connect is refused
        wait_engine_loaded
        wait_box "Contabiliza ventas contado Prefijo"
        ;;
    esac
    kill -s "$signal" "$program_pid"
    wait_exit 2000
    number=$(kill -l "$signal")
    if [[ "$exit_status" == 0 || "$exit_status" == $((128 + number)) ]]; then
      echo "ok: SIG$signal $state: status $exit_status after $exit_ms ms"
      passed=$((passed + 1))
    else
      echo "FAIL: SIG$signal $state: status ${exit_status:-still running} after $exit_ms ms"
      failed=$((failed + 1))
      [[ -n "$program_pid" ]] && kill -9 "$program_pid" && program_pid=""
    fi
  done
done
echo "$passed passed, $failed failed"
((failed == 0))
