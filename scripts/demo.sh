#!/usr/bin/env bash
# The demo: a logbook installation with a few thousand QSOs, the services and
# TQSL as doubles, and the program in a folder of its own, all under demo/ of
# the checkout with private XDG folders and HOME (the user's registry file and
# folders are never touched). With a display the user works in the logbook's
# and the program's windows; without one a guided tour runs under xvfb-run and
# prints what changed in the log. Expects a build in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
demo=$root/demo
# shellcheck source=scripts/demo_data.sh
source "$root/scripts/demo_data.sh"
# shellcheck source=scripts/demo_processes.sh
source "$root/scripts/demo_processes.sh"

rm -rf "$demo"
mkdir -p "$demo"/{env/config,env/run,env/home,shots,tqsl,services/qorv,services/eqsl,saved}
chmod 700 "$demo/env/run"
export XDG_CONFIG_HOME=$demo/env/config XDG_RUNTIME_DIR=$demo/env/run HOME=$demo/env/home
unset TQSLDIR
registry=$XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER.reg

pids=()
trap demo_stop_started EXIT

# The logbook: installation, registry values, and the double as its executable.
install=$demo/Vodrix_Log3
"$build/tools/logbook-double/Vodrix_Log3.exe" --create "$install" --qsos 4000 --seed 7 > /dev/null
cp "$build/tools/logbook-double/Vodrix_Log3.exe" "$install/"
db=$install/db/logs.mdb

# TQSL: the double, with the station location "Home" in its station data.
cp "$build/tools/tqsl-double/tqsl" "$demo/tqsl/tqsl"
sed -i "s|^\"TrustedQSLPatch\"=.*|\"TrustedQSLPatch\"=\"$demo/tqsl/tqsl\"|" "$registry"
mkdir -p "$HOME/.tqsl"
cat > "$HOME/.tqsl/station_data" <<DATA
<StationDataFile>
<StationData name="Home"><CALL>N0CALL</CALL><GRIDSQUARE>FN42</GRIDSQUARE><DXCC>291</DXCC></StationData>
<StationData name="Portable"><CALL>N0CALL/P</CALL><GRIDSQUARE>FN31</GRIDSQUARE><DXCC>291</DXCC></StationData>
</StationDataFile>
DATA

# The services: accounts as in the logbook's Aconfig, confirmations derived
# from the log set "Main", a few that match nothing.
services=$demo/services
cat > "$services/accounts.txt" <<DATA
qorv	N0CALL	qorv-secret
eqsl	N0CALL	eqsl-secret
qorv	N0CLB	club-qorv
eqsl	N0CLB	club-eqsl
clublog	op@example.org	clublog-secret	N0CALL
DATA
{
  for table in $(demo_set_tables "$db" Main); do
    demo_qorv_records "$db" "$table" "ID % 3 = 0"
  done
  printf '<CALL:6>ZZ9ZZZ\n<BAND:3>20M\n<MODE:3>FT8\n<QSO_DATE:8>20240301\n<TIME_ON:6>101500\n'
  printf '<QSL_RCVD:1>Y\n<QSLRDATE:8>20240610\n<eor>\n'
} > "$services/qorv/N0CALL.adi"
{
  for table in $(demo_set_tables "$db" Main); do
    demo_eqsl_records "$db" "$table" "ID % 4 = 1"
  done
  echo "<CALL:6>ZZ8ZZZ <QSO_DATE:8>20240305 <TIME_ON:4>1200 <BAND:3>40M <MODE:2>CW <QSLRDATE:8>20240611 <EOR>"
  echo "<CALL:5>Q0IGN <QSO_DATE:8>20240306 <TIME_ON:4>1300 <BAND:3>20M <MODE:3>SSB <QSLRDATE:8>20240612 <EOR>"
} > "$services/eqsl/N0CALL.adi"
# A report the user saved earlier, for "Load adif file".
saved_report=$demo/saved/qorvreport-2023.adi
{
  printf 'ARRL Qorv Status Report\n<eoh>\n'
  demo_qorv_records "$db" Log_Home "ID % 3 = 1 AND QSODate < '2023-01-01'"
} > "$saved_report"

"$build/tools/service-double/service-double" --state "$services" --ca-out "$services/ca.pem" \
  --ports-out "$services/ports" > "$services/service-double.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$services/ports" ] && break; sleep 0.1; done
https_port=$(sed -n 's/^https=//p' "$services/ports")
http_port=$(sed -n 's/^http=//p' "$services/ports")
[ -n "$https_port" ] || { echo "The service double did not start:" >&2; cat "$services/service-double.out" >&2; exit 1; }
base=https://localhost:$https_port
# eQSL's inbox is fetched over plain HTTP.
eqsl_base=http://127.0.0.1:$http_port

# The program folder: the program, its submode table, its settings file with
# the services' addresses, the Club Log login and the TQSL station location.
program=$demo/qorvsync
mkdir -p "$program"
cp "$build/src/qorvsync" "$build/src/Submode.txt" "$program/"
printf 'Q0IGN\r\n' > "$program/ignore.txt"
{
  printf '[Services]\r\nQorv=%s\r\nQorvWeb=%s\r\neQSL=%s\r\nClubLog=%s\r\nCAFile=%s\r\n\r\n' \
    "$base" "$base" "$eqsl_base" "$base" "$services/ca.pem"
  printf '[TfrmMain]\r\nclublogemail_Text=op@example.org\r\ncallsign_Text=N0CALL\r\n'
  printf 'password_Text=clublog-secret\r\ncbClublog_Checked=True\r\ncbKeep_Checked=True\r\n'
  printf 'edLocation_Text=Home\r\nRzPageControl1_ActivePage=TabSheet1\r\n'
} > "$program/qorv.ini"
chmod 600 "$program/qorv.ini"

echo "Demo in $demo: $(demo_log_tables "$db" | wc -l) logs, $(wc -l < "$services/ports") service ports"
demo_log_figures "$db" > "$demo/figures-before.txt"

if [ -n "${DISPLAY:-}" ]; then
  demo_start_logbook "$install"
  "$program/qorvsync" || true
  # The program starts the logbook at closing when it was not running.
  for pid in $(pgrep -x Vodrix_Log3.exe || true); do
    [ "$(readlink "/proc/$pid/exe")" = "$install/Vodrix_Log3.exe" ] && pids+=("$pid")
  done
  exit 0
fi

cp "$build/tools/demo-tour/demo-tour" "$program/"
touch "$demo/tour-start"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash "$root/scripts/demo_tour.sh" "$demo" "$install" "$saved_report"
echo
echo "What changed in the log (from $db):"
demo_log_figures "$db" > "$demo/figures-after.txt"
demo_print_changes "$demo/figures-before.txt" "$demo/figures-after.txt"
echo
echo "Files the program wrote:"
find "$install/Download" "$install/Qorv Logs" "$program" -type f \
  \( -name '*.adi' -o -name '*.tq8' -o -name '*.txt' -o -name '*.ini' \) -newer "$demo/tour-start" \
  -printf '  %p (%s bytes)\n' | sort
echo
echo "What the services received:"
find "$services/uploads" "$services/clublog" -type f -printf '  %p (%s bytes)\n' 2>/dev/null | sort
echo "  $(grep -c '^#' "$services/requests.log" 2>/dev/null || echo 0) requests in $services/requests.log"
echo
echo "Pictures: $demo/shots/"
