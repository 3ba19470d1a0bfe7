#!/usr/bin/env bash
# Sets up, builds and starts Tarvex on a demo site: a workspace of six employees and two
# simulated controllers (COM1 on a pseudo-terminal, COM2 over a TCP link) that report a
# registration every few seconds, and a photo window showing the registering employee's drawn
# portrait. Everything lives in out/demo; the user's own settings and ports are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
bin=$PWD/build/bin
demo=$PWD/out/demo
mkdir -p "$demo/devices" "$demo/config" "$demo/data" "$demo/odbc"

# The demo's own world: settings, data folder, serial device links and ODBC drivers.
export XDG_CONFIG_HOME=$demo/config XDG_DATA_HOME=$demo/data VR12COMM_DEVICES=$demo/devices
export ODBCSYSINI=$demo/odbc ODBCINI=$demo/odbc/odbc.ini
driver=$(grep -m1 '^TARVEX_SQLITE_ODBC_DRIVER:' build/CMakeCache.txt | cut -d= -f2)
printf '[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%s\n' "$driver" >"$ODBCSYSINI/odbcinst.ini"
: >"$ODBCINI"

# The photo database: drawn portraits of the demo employees, with photos switched on in the
# demo's settings, so that a registration shows a face.
if [ ! -f "$demo/photos.db" ]; then
    "$bin/tarvex-demophotos" "$demo/photos.db" demo/employees.csv --settings
fi

workspace=$demo/Demo.VR-12
if [ ! -f "$workspace" ]; then
    "$bin/tarvexctl" import-csv "$workspace" demo/employees.csv --mediaid 2 --lastname 0 --firstname 1
    "$bin/tarvexctl" add-controller "$workspace" --port 1 --name "Main entrance" --id 1 --code 101
    "$bin/tarvexctl" add-controller "$workspace" --port 2 --name "Warehouse" --id 2 --code 102 --relay1 2
fi

# The simulated controllers present the demo employees' keys, plus one unknown key.
ids=$(tail -n +2 demo/employees.csv | cut -d, -f3 | xargs "$bin/tarvexctl" normalize | paste -sd, -)
unknown=$("$bin/tarvexctl" normalize 0BADC0DE)
ids="$ids,$unknown"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT INT TERM
"$bin/vr12sim" COM1 --register-every 4 --ids "$ids" --table 3 --burst "$unknown" & pids+=($!)
# The warehouse is reached over the network, as through a serial device server.
"$bin/vr12sim" COM2 --register-every 7 --ids "$ids" --tcp 40102 & pids+=($!)
for port in COM1 COM2; do
    for _ in $(seq 50); do [ -e "$VR12COMM_DEVICES/$port" ] && break; sleep 0.1; done
done
# Someone trying keys at the main entrance: five unknown keys in a row raise an alert.
echo "Try five unknown keys at the main entrance (an alert): kill -USR1 ${pids[0]}"
# A controller's link pulled for 5 s and put back: its Status, and the alerts, follow.
echo "Pull the main entrance's link for 5 s: kill -USR2 ${pids[0]} (the warehouse's: ${pids[1]})"

# Holding a new key to a demo reader, from another terminal: out/demo/present COM1 ID[,ID...]
printf '#!/bin/sh\nexec "%s/vr12sim" --devices "%s" "$1" --present "$2"\n' "$bin" \
    "$VR12COMM_DEVICES" >"$demo/present"
chmod +x "$demo/present"
echo "To hold a new key to the main entrance's reader: $demo/present COM1 0100000000E00100"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    # The program owns both ports: its registrations list and monthly file show them.
    "$bin/tarvex" "$workspace"
else
    echo "No display: collecting the registrations of both controllers here (Ctrl+C ends the demo)."
    "$bin/tarvexctl" collect "$workspace"
fi
