#!/usr/bin/env bash
# The benchmarks in one command: builds them in Release into build-bench/,
# makes a logbook installation of 300,000 QSOs with the logbook double, runs
# each benchmark in a process of its own (so each has its own peak memory)
# and prints one table. Exits non-zero when a target is missed.
#   bash bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j "${BENCH_BUILD_JOBS:-2}" --target bench logbook_double

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/run" "$work/home"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
export QT_QPA_PLATFORM=offscreen TZ=UTC LANG=C.UTF-8

echo "== load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "== logbook installation of 300,000 QSOs"
"$root/build-bench/tools/logbook-double/Vodrix_Log3.exe" --create "$work/logbook" \
  --qsos 300000 --seed 1 >/dev/null

rows="$work/rows"
: >"$rows"
status=0
for name in ${BENCH_ONLY:-confirmations eqsl upload startup}; do
  echo "== $name"
  if ! "$root/build-bench/bench/bench" "$name" | tee "$work/out"; then status=1; fi
  grep '^ROW' "$work/out" >>"$rows" || status=1
done

echo
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -F'\t' '
  BEGIN {
    printf "| %-32s | %8s | %12s | %12s | %6s | %8s |\n", "run", "records", "records/s",
           "bare loop/s", "ratio", "peak MB"
    printf "|%s|%s|%s|%s|%s|%s|\n", "----------------------------------", "----------",
           "--------------", "--------------", "--------", "----------"
  }
  {
    if ($5 > 0) {
      printf "| %-32s | %8d | %12.0f | %12.0f | %6.2f | %8.1f |\n", $2, $3, $3 / $4, $3 / $5,
             $4 / $5, $6
    } else {
      printf "| %-32s | %8s | %10.3f s | %12s | %6s | %8.1f |\n", $2, "-", $4, "-", "-", $6
    }
  }' "$rows"
echo "targets: ratio within 2.00, start-up under 0.5 s, peak memory under 300 MB"
awk -F'\t' '($5 > 0 && $4 / $5 > 2) || ($5 == 0 && $4 >= 0.5) || $6 >= 300 { bad = 1 }
            END { exit bad }' "$rows" || status=1
exit $status
