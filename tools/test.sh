#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test. Any sanitizer report fails its test and so the run. The benchmarks are
# built too (and only listed, not run), so that a build with the default options cannot break
# unnoticed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/install-deps.sh" --tests
build="$root/build-asan"
cmake -S "$root" -B "$build" -DVM_SANITIZE=ON -DVM_BUILD_BENCHMARKS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
