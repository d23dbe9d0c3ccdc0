#!/usr/bin/env bash
# A Firebird server private to a test run: its own root folder, configuration, security database
# (SYSDBA / masterkey) and lock folder, listening on 127.0.0.1 only. A system server, if any,
# is left alone.
#   scripts/fbserver.sh start [port]    (default port 3051)
#   scripts/fbserver.sh stop
set -euo pipefail

port=${2:-3051}
root=${TALVORA_FBSERVER_ROOT:-/tmp/talvora-fbserver}
lib=/usr/lib/x86_64-linux-gnu/firebird/3.0
password=masterkey

answers() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

stop() {
  if [[ -f "$root/pid" ]]; then
    pid=$(cat "$root/pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -rf "$root"
}

start() {
  stop
  mkdir -p "$root/lock"
  for item in plugins lib UDF firebird.msg; do ln -s "$lib/$item" "$root/$item"; done
  # A linked intl folder leaves the server without its character sets (ISO8859_1 "not defined").
  cp -rL "$lib/intl" "$root/intl"
  cp /etc/firebird/3.0/plugins.conf "$root/plugins.conf"
  # The security database is the server's own copy too: one shared with another engine instance
  # (another private server, an embedded program) that keeps its locks elsewhere cannot be opened.
  cat > "$root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
ServerMode = Super
UdfAccess = None
SecurityDatabase = $root/security3.fdb
CONF
  printf 'security.db = %s/security3.fdb\n' "$root" > "$root/databases.conf"
  cp /var/lib/firebird/3.0/system/security3.fdb "$root/security3.fdb"
  export FIREBIRD="$root" FIREBIRD_LOCK="$root/lock"
  printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
    isql-fb -q -b -user SYSDBA "$root/security3.fdb" >/dev/null
  setsid /usr/sbin/firebird >"$root/server.log" 2>&1 < /dev/null &
  echo $! > "$root/pid"
  for _ in $(seq 100); do
    if answers; then echo "fbserver: listening on 127.0.0.1:$port"; return 0; fi
    sleep 0.1
  done
  echo "fbserver: the server did not start" >&2
  cat "$root/server.log" >&2 || true
  return 1
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start [port] | stop" >&2; exit 2 ;;
esac
