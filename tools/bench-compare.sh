#!/usr/bin/env bash
# One whole standard run of the model at an older commit against this tree, side by side:
# builds model_bench for both (Release, each in its own build folder; the older commit in a
# detached worktree beside this one), then runs the two in turn, old new old new ..., and prints
# every round's CPU time of one run, the medians and their ratio. Taking turns keeps a drift in
# the machine's speed from favouring either side.
# Usage: tools/bench-compare.sh [OLD_COMMIT [ROUNDS]]
set -euo pipefail

old_commit=${1:-674a54d}
rounds=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
old_tree=${BENCH_OLD_TREE:-$root/../bench-old-$old_commit}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

build() { # source folder
  cmake -S "$1" -B "$1/build-bench" -DCMAKE_BUILD_TYPE=Release -DVM_BUILD_GUI=OFF \
    -DVM_BUILD_BENCHMARKS=ON "${launcher[@]}" >/dev/null
  cmake --build "$1/build-bench" -j2 --target model_bench >/dev/null
}

if [ ! -d "$old_tree" ]; then
  git -C "$root" worktree add --detach "$old_tree" "$old_commit" >/dev/null
fi
build "$old_tree"
build "$root"

cpu_ms() { # bench binary: the CPU time of one whole run, in ms
  "$1" --benchmark_filter=BM_WholeRunAtStandardSettings --benchmark_format=csv 2>/dev/null |
    awk -F, '/^"BM_WholeRunAtStandardSettings"/ { print $4 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

old_times=()
new_times=()
echo "round  old ms  new ms"
for ((i = 1; i <= rounds; ++i)); do
  o=$(cpu_ms "$old_tree/build-bench/bin/model_bench")
  n=$(cpu_ms "$root/build-bench/bin/model_bench")
  old_times+=("$o")
  new_times+=("$n")
  printf '%5d %7.1f %7.1f\n' "$i" "$o" "$n"
done
old_median=$(printf '%s\n' "${old_times[@]}" | median)
new_median=$(printf '%s\n' "${new_times[@]}" | median)
printf 'median %7.1f %7.1f   old/new %.2f\n' "$old_median" "$new_median" \
  "$(awk -v o="$old_median" -v n="$new_median" 'BEGIN { print o / n }')"
