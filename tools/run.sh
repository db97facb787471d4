#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release \
  -DVM_BUILD_TESTS=OFF -DVM_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target velta-morvane
exec "$root/build/bin/velta-morvane"
