#!/usr/bin/env bash
# Runs the real-screen test of the window on a virtual X display of the given size with a window
# manager, which maximises the window as a desktop would.
# Usage: main_window_fit_test.sh path/to/ui_tests WIDTHxHEIGHT DISPLAY [screenshot folder]
# Each size asks for its own display number first, so one test's display is never the number
# the last one's server is still giving up.
set -euo pipefail
tests=$1
size=$2
display=$3
export VM_SCREENSHOT_DIR=${4:-}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=xcb

# The window manager is started again should it find the new display not yet open.
xvfb-run -a -n "$display" -s "-screen 0 ${size}x24" bash -c '
  wm=
  for _ in $(seq 1 100); do
    if [ -z "$wm" ] || ! kill -0 "$wm" 2>/dev/null; then
      openbox >/dev/null 2>&1 &
      wm=$!
    fi
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  "$1" --gtest_filter=RealScreen.*' fit "$tests"
