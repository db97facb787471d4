#!/usr/bin/env bash
# Takes the screenshots of docs/teaching-cases.md: the window on the program folder a build made,
# on a virtual 1280 x 1024 X display, with each airway region hovered and each teaching case open.
# Usage: tools/docs-screenshots.sh [build folder, default build-asan]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-asan}
cmake --build "$build" --target ui_tests
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb VM_SCREENSHOT_DIR=$root/docs
export ASAN_OPTIONS=detect_leaks=0
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/ui_tests" --gtest_filter='BuildsProgramFolder.*'
ls -l "$root"/docs/airway-region-*.png "$root"/docs/case-*.png
