#!/usr/bin/env bash
# Runs `qorvsync watch` for a few minutes against the logbook and service
# doubles while QSOs are logged, Club Log's real-time interface answers with
# each status in turn (200, duplicate, 400, 500 then 200, 403 until the
# settings change) and the watch is killed (SIGKILL) and started again in
# between. At the end what Club Log and Qorv received is compared QSO by QSO
# with what was logged. Needs a build (scripts/build.sh). Exit status 0 when
# every check holds.
#
#   bash scripts/watch-soak.sh [WORK_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
work=${1:-$(mktemp -d /tmp/watch-soak.XXXXXX)}
rm -rf "$work"
mkdir -p "$work"/{config,run,home/.tqsl,services/clublog,program}
chmod 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run HOME=$work/home
unset TQSLDIR
# TQSL (here its double) signs without a person; the watch only checks that a
# display is named.
export DISPLAY=${DISPLAY:-:0}

pids=()
watch_pid=
stop_all() {
  [ -n "$watch_pid" ] && kill "$watch_pid" 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop_all EXIT

install=$work/Vodrix_Log3
"$build/tools/logbook-double/Vodrix_Log3.exe" --create "$install" --qsos 300 --seed 3 > /dev/null
db=$install/db/logs.mdb
registry=$XDG_CONFIG_HOME/registry/HKEY_CURRENT_USER.reg
cp "$build/tools/tqsl-double/tqsl" "$work/tqsl"
sed -i "s|^\"TrustedQSLPatch\"=.*|\"TrustedQSLPatch\"=\"$work/tqsl\"|" "$registry"
cat > "$HOME/.tqsl/station_data" <<DATA
<StationDataFile>
<StationData name="Home"><CALL>N0CALL</CALL><GRIDSQUARE>FN42</GRIDSQUARE><DXCC>291</DXCC></StationData>
</StationDataFile>
DATA

services=$work/services
printf 'qorv\tN0CALL\tqorv-secret\neqsl\tN0CALL\teqsl-secret\nclublog\top@example.org\tclublog-secret\tN0CALL\n' \
  > "$services/accounts.txt"
answer=$services/clublog/realtime-answer
received=$services/clublog/realtime-received.txt
echo 200 > "$answer"
"$build/tools/service-double/service-double" --state "$services" --ca-out "$services/ca.pem" \
  --ports-out "$services/ports" > "$services/service-double.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$services/ports" ] && break; sleep 0.1; done
base=https://localhost:$(sed -n 's/^https=//p' "$services/ports")
eqsl_base=http://127.0.0.1:$(sed -n 's/^http=//p' "$services/ports")

program=$work/program
cp "$build/src/qorvsync" "$build/src/Submode.txt" "$program/"
settings=$program/qorv.ini
{
  printf '[Services]\r\nQorv=%s\r\nQorvWeb=%s\r\neQSL=%s\r\nClubLog=%s\r\nCAFile=%s\r\n\r\n' \
    "$base" "$base" "$eqsl_base" "$base" "$services/ca.pem"
  printf '[TfrmMain]\r\nclublogemail_Text=op@example.org\r\ncallsign_Text=N0CALL\r\n'
  printf 'password_Text=clublog-secret\r\ncbClublog_Checked=False\r\nedLocation_Text=Home\r\n\r\n'
  printf '[Watch]\r\nLogs=Home\r\nClublogRealtime=1\r\nQorvQuietMinutes=0.2\r\nDownloadHours=6\r\n'
} > "$settings"

start_watch() {
  "$program/qorvsync" watch --json >> "$work/watch.jsonl" 2>&1 &
  watch_pid=$!
  for _ in $(seq 100); do [ -s "$program/watch-status.json" ] && return 0; sleep 0.1; done
  echo "watch did not start" >&2
  exit 1
}
kill_watch() {
  kill -KILL "$watch_pid"
  wait "$watch_pid" 2>/dev/null || true
  watch_pid=
}

logged=()
log_qso() {
  local call=$1
  sqlite3 "$db" "PRAGMA busy_timeout=5000; INSERT INTO Log_Home (QSODate, QSOTime, CallSign, DigiBand,
    QSOBand, QSOMode, RST_Sent, RST_Rcvd) VALUES (date('now'), strftime('%H:%M', 'now'), '$call',
    14.0, '14.07400', 'FT8', '-10', '-12');" > /dev/null
  logged+=("$call")
}
lines_of() {  # the requests that carried this call
  local n
  n=$(grep -c -P "\t<CALL:${#1}>$1" "$received" 2> /dev/null || true)
  echo "${n:-0}"
}
wait_for() {  # CONDITION SECONDS; a timeout is only said: the checks judge
  local until=$((SECONDS + $2))
  while [ $SECONDS -lt $until ]; do eval "$1" && return 0; sleep 0.5; done
  echo "  (waited $2 s in vain for: $1)"
}

start_watch
sleep 2
echo "round 1: 200"
log_qso SK1A; log_qso SK1B
wait_for '[ "$(lines_of SK1B)" -ge 1 ]' 10

echo "round 2: duplicate, then a kill and a QSO logged while the watch is down"
echo duplicate > "$answer"
log_qso SK2A
wait_for '[ "$(lines_of SK2A)" -ge 1 ]' 10
kill_watch
echo 200 > "$answer"
log_qso SK2B
start_watch
wait_for '[ "$(lines_of SK2B)" -ge 1 ]' 10

echo "round 3: 400 (rejected, not tried again)"
echo "400 Invalid callsign" > "$answer"
log_qso SK3A
wait_for '[ "$(lines_of SK3A)" -ge 1 ]' 10
echo 200 > "$answer"

echo "round 4: 500 once, then 200 after the first retry delay (30 s); killed once while parked"
echo "500 1" > "$answer"
log_qso SK4A
wait_for '[ "$(lines_of SK4A)" -ge 1 ]' 10
kill_watch
start_watch
wait_for '[ "$(grep -P "\t200\t" "$received" | grep -c "<CALL:4>SK4A" || true)" -ge 1 ]' 45

echo "round 5: 403 stops all sending until the settings change"
echo 403 > "$answer"
log_qso SK5A
wait_for '[ "$(lines_of SK5A)" -ge 1 ]' 10
log_qso SK5B
sleep 4
blocked_b=$(lines_of SK5B)
echo 200 > "$answer"
printf '; settings changed\r\n' >> "$settings"
wait_for '[ "$(lines_of SK5B)" -ge 1 ]' 15

echo "waiting for the quiet-time Qorv upload"
wait_for '[ "$(sqlite3 "$db" "SELECT count(*) FROM Log_Home WHERE CallSign LIKE '"'"'SK%'"'"' AND QorvSent = 0")" = 0 ]' 60
kill -TERM "$watch_pid"
wait "$watch_pid" && term_status=0 || term_status=$?
watch_pid=

failures=0
check() {  # DESCRIPTION CONDITION
  if eval "$2"; then echo "  ok    $1"; else echo "  FAIL  $1"; failures=$((failures + 1)); fi
}
echo
echo "Checks ($work):"
for call in "${logged[@]}"; do
  ok=$(grep -P "\t200\tOK\t" "$received" | grep -c "<CALL:${#call}>$call" || true)
  rejected=$(grep -P "\t400\t" "$received" | grep -c "<CALL:${#call}>$call" || true)
  if [ "$call" = SK3A ]; then
    check "$call rejected once, never logged" '[ "$rejected" = 1 ] && [ "$ok" = 0 ]'
  else
    check "$call logged by Club Log exactly once" '[ "$ok" = 1 ]'
  fi
done
check "SK5B was not sent while blocked" '[ "$blocked_b" = 0 ]'
old=$(grep -v -c "<CALL:[0-9]*>SK" "$received" || true)
check "no QSO logged before real-time sending was turned on went one by one" '[ "$old" = 0 ]'
unsent=$(sqlite3 "$db" "SELECT count(*) FROM Log_Home WHERE CallSign LIKE 'SK%' AND QorvSent = 0")
check "every new QSO uploaded to Qorv and marked sent" '[ "$unsent" = 0 ]'
uploaded=$(cat "$services"/uploads/*.contacts 2> /dev/null | grep -o -w "SK[0-9][A-Z]" | sort -u | wc -l)
check "Qorv received every new QSO ($uploaded of ${#logged[@]})" '[ "$uploaded" = "${#logged[@]}" ]'
check "SIGTERM ended the watch with status 0" '[ "$term_status" = 0 ]'
echo
"$program/qorvsync" status || true
exit $((failures > 0))
