#!/bin/sh
# Runs a test program on a throw-away X server. Exit code 77 tells CTest the
# test was skipped because there is no xvfb-run to start one.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "skipped: xvfb-run is not installed, and this test needs a real X server"
    exit 77
fi
# libxkbcommon-x11 copies the keymap's names with strndup from buffers that
# hold exactly the name, without a terminating zero; strndup stops at the
# length, but AddressSanitizer's strict string checks read on to the zero and
# report it. That check stays on for our own code everywhere else.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
    export ASAN_OPTIONS
fi
QT_QPA_PLATFORM=xcb exec xvfb-run -a "$@"
