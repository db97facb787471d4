#!/usr/bin/env bash
# Fuzzes one loader for a while: builds the clang fuzz build (build-fuzz) and runs TARGET's fuzzer
# on one core, starting from its committed corpus. New interesting inputs go to a scratch corpus
# under build-fuzz, not into git; crashes and slow or oversized inputs land in
# build-fuzz/findings/TARGET/. Extra arguments go to libFuzzer as they are.
#
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   TARGET: record, parameter_table, setting_notes, rtf_document, picture or case_library
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seeds="$root/tests/fuzz/corpus/$target"
if [ ! -d "$seeds" ]; then
  echo "no fuzz target $target (no $seeds)" >&2
  exit 2
fi
"$root/tools/install-deps.sh" --fuzz
build="$root/build-fuzz"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DVM_FUZZ=ON -DVM_BUILD_BENCHMARKS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-1}" --target "${target}_fuzzer"

corpus="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$corpus" "$findings"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The record fuzzer's inputs are patches, not whole records; the others read files of a few
# kilobytes, which the default length limit keeps them to unless told otherwise.
exec "$build/bin/${target}_fuzzer" "$corpus" "$seeds" \
  -max_total_time="$seconds" -rss_limit_mb=500 -timeout=10 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
