#!/usr/bin/env bash
# Installs what is missing, builds and starts Kestrova.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exe=build/release/src/app/kestrova
if [ ! -x "$exe" ]; then
  echo "The program is not built yet: only the libraries and tests exist so far." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set): Kestrova needs a desktop session." >&2
  echo "Try it under a virtual display: xvfb-run -a $exe" >&2
  exit 2
fi
exec "$exe"
