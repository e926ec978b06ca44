#!/bin/sh
# Builds and runs the benchmarks: run.sh [build folder] [-- benchmark arguments]
set -e
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-bench"}
[ $# -gt 0 ] && shift
[ "$1" = "--" ] && shift
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j2 --target bench_confirmations
"$build_dir/bench/bench_confirmations" "$@"
