#!/usr/bin/env bash
# Draws the README's pictures again: every tab of the main window after its main action, and the
# bitmap viewer, into docs/snapshots/. Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
# At the form's own size in pixels, whatever scaling the desktop asks for.
env -u QT_SCREEN_SCALE_FACTORS -u QT_SCALE_FACTOR_ROUNDING_POLICY QT_SCALE_FACTOR=1 \
  build/release/src/snapshot/kestrova-snapshot docs/snapshots
