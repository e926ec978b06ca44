#!/usr/bin/env bash
# The long kill sweep: every command-line operation killed at POINTS moments
# (default 300) instead of the test command's 25, with a seed of its own
# (SEED, else a random one, printed), on LANES lanes side by side (default
# 6). Needs a build in build/.
#   bash scripts/kill-sweep.sh [POINTS] [gtest filter]
set -euo pipefail
cd "$(dirname "$0")/.."
points=${1:-300}
filter=${2:-EveryOperation/*}
seed=${SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
echo "kill sweep: $points points per operation, seed $seed"
log=$(mktemp)
start=$(date +%s)
status=0
QORVSYNC_KILL_POINTS=$points QORVSYNC_KILL_SEED=$seed QORVSYNC_KILL_LANES=${LANES:-6} \
  QT_QPA_PLATFORM=offscreen \
  tests/private_pids.sh build/tests/test_kill --gtest_filter="$filter" > "$log" 2>&1 || status=$?
grep -E 'kills|one run|Failure|^\[ *(OK|FAILED|PASSED) *\]' "$log" || true
echo "kill sweep took $(($(date +%s) - start)) s, exit status $status (full output: $log)"
exit "$status"
