#!/usr/bin/env bash
# Starts the real program on a virtual X display and looks for its main window by its caption.
# Usage: main_window_smoke_test.sh path/to/velta-morvane
set -euo pipefail
exe=$1
# A private runtime folder keeps this copy's single-instance marker apart from any running copy.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" &
  pid=$!
  for _ in $(seq 1 120); do
    if xwininfo -root -tree | grep -q "\"Velta Morvane [0-9]"; then
      kill "$pid"
      wait "$pid" 2>/dev/null || true
      echo "main window found"
      exit 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the program ended before its main window appeared"
      exit 1
    fi
    sleep 0.5
  done
  echo "no main window after 60 s"
  xwininfo -root -tree | head -40
  kill "$pid"
  exit 1' smoke "$exe"
