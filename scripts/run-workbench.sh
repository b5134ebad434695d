#!/usr/bin/env bash
# Starts the workbench from the build folder with a sample algorithm. Without a display it
# says so; until the workbench is built it runs the sample through velmora-cli instead.
set -euo pipefail
build=${1:-build}
sample=examples/soucet.vlm
if [ -x "$build/velmora" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "make run: no display; start it under X (for example: xvfb-run -a make run)" >&2
    exit 1
  fi
  exec "$build/velmora" "$sample"
fi
exec "$build/velmora-cli" run "$sample"
