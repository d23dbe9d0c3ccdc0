#!/usr/bin/env bash
# Sets everything up and starts the program on the embedded demo company database.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/deps.sh
scripts/build.sh contabiliza-contado db_firebird

demo="$root/build/demo"
mkdir -p "$demo/xdg/KVN"
# The installation directory setting, where the program looks for it (XDG_CONFIG_DIRS moves it).
printf '[General]\nDirectorio=%s\n' "$demo" > "$demo/xdg/KVN/TalvoraSuite.conf"
# The first server entry reaches the demo database without a server: a plain local folder.
printf '%s\r\n' "$demo" > "$demo/SERVIDORES.cfg"
if [[ -x scripts/make-demo-db.sh ]]; then
  scripts/make-demo-db.sh "$demo/datos/01/talvora.fdb"
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No hay pantalla disponible (DISPLAY no está definido): no se puede mostrar la ventana." >&2
  echo "Instalación de demostración preparada en $demo" >&2
  exit 1
fi
export XDG_CONFIG_DIRS="$demo/xdg"
# Dates go to the posting procedure as the regional settings write them, and the demo procedure
# reads day/month/year: run under Colombian Spanish (d/MM/yy, comma decimals) unless told otherwise.
export LC_ALL="${DEMO_LOCALE:-es_CO.UTF-8}"
exec "$root/build/bin/contabiliza-contado"
