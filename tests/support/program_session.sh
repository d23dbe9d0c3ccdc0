# Drives the real program as a user would: a private X display (Xvfb), a throw-away
# installation with the demo company database, keys typed with xdotool. Sourced by the tests
# that run the program itself; every function fails the test through `fail`.
#
#   session_begin PROGRAM REPO      starts Xvfb and lays out the installation in a temporary folder
#   program_start [X Y]             starts PROGRAM there (its window at X, Y); sets $program_pid
#                                   and $window, and makes the window active
#   program_connect COMPANY [PASS]  types user, password and company, leaves Compañía
#   ... see each function. With two programs running, save and restore program_pid and window.

fail() { echo "FAIL: $*" >&2; exit 1; }

session_begin() {
  program=$1
  repo=$2
  work=$(mktemp -d)
  local display_file="$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [[ -s "$display_file" ]] && break; sleep 0.1; done
  [[ -s "$display_file" ]] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$display_file")"
  trap session_end EXIT

  mkdir -p "$work/xdg/KVN"
  printf '[General]\nDirectorio=%s\n' "$work" > "$work/xdg/KVN/TalvoraSuite.conf"
  printf '%s\r\n' "$work" > "$work/SERVIDORES.cfg"
  export XDG_CONFIG_DIRS="$work/xdg"
  "$repo/scripts/make-demo-db.sh" "$work/datos/01/talvora.fdb" >/dev/null ||
    fail "could not make the demo database"
}

session_end() {
  [[ -n "${program_pid:-}" ]] && kill -9 "$program_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

readonly main_title="Contabilizar ventas de contado"

program_start() {
  "$program" >>"$work/program.log" 2>&1 &
  program_pid=$!
  window=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$program_pid" --name "^$main_title\$" | head -1)
  [[ -n "$window" ]] || fail "the window did not appear"
  [[ $# -eq 2 ]] && xdotool windowmove "$window" "$1" "$2"
  program_activate
}

# No window manager: one click inside (on the description panel) makes the window active.
program_activate() {
  xdotool mousemove --window "$window" 150 20 click 1
  sleep 0.3
}

# Focus starts on Servidor; Tab to Usuario, Clave, Compañía, then Tab out of Compañía connects.
program_connect() {
  xdotool key Tab type --delay 20 "SYSDBA"
  xdotool key Tab type --delay 20 "${2:-demo}"
  xdotool key Tab type --delay 20 "$1"
  xdotool key Tab
}

# After connecting the focus is on Desde: Tab to Hasta and Prefijo, type the prefix.
program_type_prefix() {
  xdotool key Tab Tab type --delay 20 "$1"
}

# Waits until the embedded database engine is loaded into the program (a connect was tried).
wait_engine_loaded() {
  for _ in $(seq 100); do
    grep -q libEngine12 "/proc/$program_pid/maps" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "the database engine was never loaded"
}

# Waits for a box of the program captioned $1; sets $box.
wait_box() {
  box=$(timeout "${2:-10}" xdotool search --all --sync --onlyvisible --pid "$program_pid" --name "^$1\$" | head -1)
  [[ -n "$box" ]] || fail "no box \"$1\" appeared"
}

# Answers the box found by wait_box with Enter (its default button).
answer_box() {
  xdotool mousemove --window "$box" 5 5 click 1
  sleep 0.2
  xdotool key Return
}

# Waits up to $1 milliseconds for the program to end. Sets exit_status (empty while it still
# runs) and exit_ms, the time it took.
wait_exit() {
  local start=$(date +%s%3N) now
  exit_status=""
  while kill -0 "$program_pid" 2>/dev/null; do
    now=$(date +%s%3N)
    ((now - start > $1)) && { exit_ms=$((now - start)); return 0; }
    sleep 0.02
  done
  exit_ms=$(($(date +%s%3N) - start))
  exit_status=0
  wait "$program_pid" || exit_status=$?
  program_pid=""
}

# One value of a select on the demo database (embedded: the programs must be gone; or through
# $db_location when it is set).
sql_value() {
  local location=${db_location:-$work/datos/01/talvora.fdb}
  printf 'SET HEADING OFF;\n%s;\n' "$1" |
    isql-fb -q -user SYSDBA -password masterkey "$location" | tr -d ' \n'
}
