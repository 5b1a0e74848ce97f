#!/bin/sh
# Runs a test program on a throw-away X server. Exit code 77 tells CTest the
# test was skipped because there is no xvfb-run to start one.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "skipped: xvfb-run is not installed, and this test needs a real X server"
    exit 77
fi
QT_QPA_PLATFORM=xcb exec xvfb-run -a "$@"
