#!/usr/bin/env bash
# The benchmarks in one command: builds them in Release into build-bench/,
# makes a logbook installation of 300,000 QSOs with the logbook double, runs
# each benchmark in a process of its own (so each has its own peak memory)
# and prints one table, ready to paste, with the machine's load beside it.
# Exits non-zero when a target is missed or a program run and its bare loop
# changed different rows.
#   bash bench/run.sh                 # all of them
#   BENCH_ONLY="eqsl upload" bash bench/run.sh
#   BENCH_ROUNDS=9 bash bench/run.sh  # more interleaved rounds (default 5)
#   bash bench/run.sh --sizes 10000,100000   # the scale series instead
#   bash bench/run.sh --scale         # the scale series at 10,000, 100,000, 1,000,000
set -euo pipefail
sizes=""
case "${1:-}" in
  --sizes) sizes=${2:?--sizes needs a list such as 10000,100000} ;;
  --scale) sizes=10000,100000,1000000 ;;
  "") ;;
  *) echo "usage: bench/run.sh [--sizes N,N,... | --scale]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
root="$PWD"
started=$SECONDS
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j "${BENCH_BUILD_JOBS:-2}" --target bench logbook_double qorvsync \
  service-double

# The targets.
max_ratio=1.3
# "unmatched" is held to the import of the same report instead of a bare loop.
max_unmatched_ratio=3
max_startup_s=0.3
max_peak_mb=200

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run" "$work/home"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
export QT_QPA_PLATFORM=offscreen TZ=UTC LANG=C.UTF-8

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
measured=$SECONDS
if [ -n "$sizes" ]; then
  echo "== load average before the runs: $load_before on $(nproc) cores"
  status=0
  bash "$root/bench/scale_series.sh" "$work" "$sizes" || status=1
  echo
  echo "Load average (1, 5, 15 min) on $(nproc) cores: $load_before before," \
    "$(cut -d' ' -f1-3 /proc/loadavg) after; $(date -u '+%Y-%m-%d %H:%M UTC')," \
    "runs took $((SECONDS - measured)) s."
  exit $status
fi
echo "== load average before the runs: $load_before on $(nproc) cores"
echo "== logbook installation of 300,000 QSOs"
"$root/build-bench/tools/logbook-double/Vodrix_Log3.exe" --create "$work/logbook" \
  --qsos 300000 --seed 1 >/dev/null

rows="$work/rows"
: >"$rows"
status=0
for name in ${BENCH_ONLY:-confirmations eqsl upload startup unmatched}; do
  echo "== $name"
  if ! "$root/build-bench/bench/bench" "$name" | tee "$work/out"; then
    echo "FAILED: bench $name" >&2
    status=1
  fi
  grep '^ROW' "$work/out" >>"$rows" || status=1
done
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "Load average (1, 5, 15 min) on $(nproc) cores: $load_before before, $load_after after;" \
  "$(date -u '+%Y-%m-%d %H:%M UTC'), runs took $((SECONDS - measured)) s."
echo
awk -F'\t' '
  BEGIN {
    print "| run | records | records/s | floor records/s | ratio | processor time ratio | peak MB |"
    print "|---|---|---|---|---|---|---|"
  }
  {
    if ($5 > 0) {
      printf "| %s | %d | %.0f | %.0f | %.2f | %.2f | %.1f |\n", $2, $3, $3 / $4, $3 / $5, $4 / $5,
             $7 / $8, $6
    } else {
      printf "| %s | - | %.3f s | - | - | - | %.1f |\n", $2, $4, $6
    }
  }' "$rows"
echo
echo "Targets: ratio <= $max_ratio (unmatched against import <= $max_unmatched_ratio)," \
  "start-up < $max_startup_s s, peak memory < $max_peak_mb MB."
if ! awk -F'\t' -v ratio="$max_ratio" -v unmatched="$max_unmatched_ratio" \
  -v startup="$max_startup_s" -v peak="$max_peak_mb" '
  $5 > 0 { limit = $2 ~ /^unmatched/ ? unmatched : ratio }
  $5 > 0 && $4 / $5 > limit { printf "MISSED: %s ratio %.2f > %s\n", $2, $4 / $5, limit; bad = 1 }
  $5 == 0 && $4 >= startup { printf "MISSED: %s %.3f s >= %s s\n", $2, $4, startup; bad = 1 }
  $6 >= peak { printf "MISSED: %s peak %.1f MB >= %s MB\n", $2, $6, peak; bad = 1 }
  END { exit bad }' "$rows" >&2; then
  status=1
fi
echo "bench/run.sh took $((SECONDS - started)) s in all (build included)."
exit $status
