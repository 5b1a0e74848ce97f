#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
if [ -x build/src/app/quarvine ]; then
  # Without a display (a server, a container) the program runs under Xvfb.
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a build/src/app/quarvine "$@"
  fi
  exec build/src/app/quarvine "$@"
fi
exec build/src/cli/quarvine-cli --help
