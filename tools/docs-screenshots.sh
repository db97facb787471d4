#!/usr/bin/env bash
# Takes the screenshots of docs/teaching-cases.md and the README: the window on the program folder a
# build made, on a virtual 1280 x 1024 X display, with each airway region hovered, each teaching
# case open, a case's sheet and notice, an unknown patient answered, a START and its replay; then
# the program itself at 1920 x 1080.
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
ls -l "$root"/docs/case-sheet.png "$root"/docs/unknown-patient.png "$root"/docs/after-start.png \
  "$root"/docs/lung-replay.png

# The program itself, maximised by a window manager on a 1920 x 1080 display, on the data the
# build laid beside it.
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
  openbox >/dev/null 2>&1 &
  "$1" >/dev/null 2>&1 &
  program=$!
  sleep 10
  import -window root "$2"
  kill $program' shot "$build/bin/velta-morvane" "$root/docs/main-window-1920x1080.png"
ls -l "$root/docs/main-window-1920x1080.png"
