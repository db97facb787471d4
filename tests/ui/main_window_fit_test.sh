#!/usr/bin/env bash
# Runs the real-screen test of the window on a virtual X display of the given size with a window
# manager, which maximises the window as a desktop would.
# Usage: main_window_fit_test.sh path/to/ui_tests WIDTHxHEIGHT [screenshot folder]
set -euo pipefail
tests=$1
size=$2
export VM_SCREENSHOT_DIR=${3:-}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=xcb

xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
  openbox >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  "$1" --gtest_filter=RealScreen.*' fit "$tests"
