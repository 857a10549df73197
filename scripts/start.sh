#!/usr/bin/env bash
# Builds Orvasel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVASEL_TESTS=OFF -DORVASEL_BENCH=OFF >/dev/null
cmake --build build --target orvasel

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Pas d'affichage graphique (DISPLAY) : Orvasel est construit dans build/orvasel."
  echo "No display: Orvasel is built in build/orvasel. Run it under a virtual display with:"
  echo "    xvfb-run -a build/orvasel"
  exit 1
fi
exec build/orvasel
