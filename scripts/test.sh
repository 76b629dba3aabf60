#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh            the release build with all tests, the layout and static-analysis
#                              checks, each fuzz target for a short while, then the sanitizer build
#                              with all tests
#   scripts/test.sh PRESET     one build only (release, debug or asan), with all its tests
# After configuring, scripts/check-setup.sh proves that scripts/packages names everything the build
# found, so that a fresh machine gets it too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

run_preset() {
  local preset=$1
  echo "== $preset build"
  scripts/build.sh "$preset"
  scripts/check-setup.sh "build/$preset"
  ctest --preset "$preset" -j "$(nproc)"
}

if (($#)); then
  run_preset "$1"
  exit 0
fi
run_preset release
scripts/format.sh --check
scripts/analyse.sh build/release
scripts/fuzz.sh "${KESTROVA_FUZZ_SECONDS:-30}"
run_preset asan
