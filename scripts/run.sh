#!/usr/bin/env bash
# Installs what is missing, builds and starts Kestrova. Without a display the program says so itself
# and exits with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/release/src/app/kestrova
