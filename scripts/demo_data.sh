#!/usr/bin/env bash
# Helpers of the demo that read the demo's log database with sqlite3: the
# confirmations the service double serves (derived from the QSOs, so that
# they match) and the figures printed before and after the tour.
# Sourced by scripts/demo.sh.

# The log tables of the database, one per line.
demo_log_tables() {
  sqlite3 "$1" "SELECT LogFileName FROM Aconfig ORDER BY rowid;"
}

# The log tables of one log set, one per line.
demo_set_tables() {
  sqlite3 "$1" "SELECT LogFileName FROM Aconfig WHERE LogSet = '$2' ORDER BY rowid;"
}

# ADIF band name of the logbook's DigiBand column (the values the logbook uses).
readonly demo_band_sql="CASE DigiBand WHEN 1.8 THEN '160M' WHEN 3.5 THEN '80M' WHEN 5 THEN '60M'
  WHEN 7 THEN '40M' WHEN 10 THEN '30M' WHEN 14 THEN '20M' WHEN 18 THEN '17M' WHEN 21 THEN '15M'
  WHEN 24 THEN '12M' WHEN 28 THEN '10M' WHEN 50 THEN '6M' WHEN 144 THEN '2M' END"

# One ADIF field "<NAME:len>value" from an SQL text expression.
demo_field_sql() {
  printf "'<%s:' || length(%s) || '>' || %s" "$1" "$2" "$2"
}

# Qorv confirmation records, one field per line, each ended by "<eor>", for the
# QSOs of table $2 that the selection $3 picks; QSLRDATE spread over June 2024.
demo_qorv_records() {
  local db=$1 table=$2 where=$3
  sqlite3 "$db" "SELECT
      $(demo_field_sql CALL CallSign) || char(10) ||
      $(demo_field_sql BAND band) || char(10) ||
      $(demo_field_sql MODE QSOMode) || char(10) ||
      $(demo_field_sql QSO_DATE qso_date) || char(10) ||
      $(demo_field_sql TIME_ON time_on) || char(10) ||
      $(demo_field_sql QSL_RCVD "'Y'") || char(10) ||
      $(demo_field_sql QSLRDATE qslrdate) || char(10) ||
      $(demo_field_sql STATION_CALLSIGN "'N0CALL'") || char(10) || '<eor>'
    FROM (SELECT *, $demo_band_sql AS band, replace(QSODate, '-', '') AS qso_date,
                 replace(substr(QSOTime, 1, 5), ':', '') || '00' AS time_on,
                 strftime('%Y%m%d', '2024-06-02', '+' || (ID % 25) || ' days') AS qslrdate
          FROM \"$table\")
    WHERE band IS NOT NULL AND SAT_NAME = '' AND QSOMode IN ('FT8', 'CW', 'SSB')
      AND QorvRec = 0 AND $where
    ORDER BY QSODate, QSOTime;"
}

# eQSL inbox records, one record per line ended by "<EOR>", for the QSOs of
# table $2 that the selection $3 picks.
demo_eqsl_records() {
  local db=$1 table=$2 where=$3
  sqlite3 "$db" "SELECT
      $(demo_field_sql CALL CallSign) || ' ' || $(demo_field_sql QSO_DATE qso_date) || ' ' ||
      $(demo_field_sql TIME_ON time_on) || ' ' || $(demo_field_sql BAND band) || ' ' ||
      $(demo_field_sql MODE QSOMode) || ' ' || $(demo_field_sql RST_RCVD "'599'") || ' ' ||
      $(demo_field_sql QSL_SENT "'Y'") || ' ' || $(demo_field_sql QSLRDATE qslrdate) || ' <EOR>'
    FROM (SELECT *, $demo_band_sql AS band, replace(QSODate, '-', '') AS qso_date,
                 replace(substr(QSOTime, 1, 5), ':', '') AS time_on,
                 strftime('%Y%m%d', '2024-06-03', '+' || (ID % 20) || ' days') AS qslrdate
          FROM \"$table\")
    WHERE band IS NOT NULL AND SAT_NAME = '' AND QSOMode IN ('FT8', 'CW', 'SSB')
      AND QSLReceQSLcc = 0 AND $where
    ORDER BY QSODate, QSOTime;"
}

# Per log: QSOs, confirmed by Qorv, confirmed by eQSL, sent to Qorv. One line
# per log: "name<TAB>qsos<TAB>qorv<TAB>eqsl<TAB>sent".
demo_log_figures() {
  local db=$1 name table
  while IFS='|' read -r name table; do
    printf '%s\t%s\n' "$name" "$(sqlite3 -separator $'\t' "$db" \
      "SELECT count(*), total(QorvRec), total(QSLReceQSLcc), total(QorvSent) FROM \"$table\";" \
      | sed 's/\.0//g')"
  done < <(sqlite3 "$db" "SELECT LogName, LogFileName FROM Aconfig ORDER BY rowid;")
}

# Prints what changed between two outputs of demo_log_figures.
demo_print_changes() {
  local before=$1 after=$2
  printf '%-10s %7s %16s %16s %14s\n' "Log" "QSOs" "Qorv confirmed" "eQSL confirmed" "sent to Qorv"
  paste "$before" "$after" | while IFS=$'\t' read -r name qsos qorv0 eqsl0 sent0 _ _ qorv1 eqsl1 sent1; do
    printf '%-10s %7s %9s (+%-4s) %9s (+%-4s) %7s (+%-4s)\n' "$name" "$qsos" \
      "$qorv1" "$((qorv1 - qorv0))" "$eqsl1" "$((eqsl1 - eqsl0))" "$sent1" "$((sent1 - sent0))"
  done
}
