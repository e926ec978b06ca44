#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for a bounded
# time on its corpus in tests/fuzz/corpus/<target>/. Not part of the tests.
#   bash tests/fuzz/run.sh [seconds per target, default 60] [target ...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(adif_reader inbox_lines report_lines)
fi
if ! command -v clang++ >/dev/null; then
  apt-get install -y clang libclang-rt-dev
fi
cmake -S . -B build-fuzz -G Ninja -DQORV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
jobs="${FUZZ_BUILD_JOBS:-2}"
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"
# The caller's time zone and locale stay: a finding may depend on them.
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  work="build-fuzz/work/$target"
  rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
  cp tests/fuzz/corpus/"$target"/* "$work/corpus/"
  echo "== $target: $seconds s"
  (cd "$work" && "../../tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 \
    -timeout=20 -rss_limit_mb=2048 -artifact_prefix=artifacts/ corpus)
done
echo "fuzzing ended without a finding"
