#!/usr/bin/env bash
# Installs the build into a temporary root with DESTDIR and checks that every file is where a desktop looks:
#   install_test.sh CMAKE BUILD_DIR INSTALL_PREFIX APP_ID WITH_PROGRAM(0|1)
set -euo pipefail
cmake=$1
build=$2
prefix=$3
app_id=$4
with_program=$5

root=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-install.XXXXXX")
trap 'rm -rf "$root"' EXIT

DESTDIR=$root "$cmake" --install "$build" >"$root.log" 2>&1 || { cat "$root.log"; rm -f "$root.log"; exit 1; }
rm -f "$root.log"

status=0
expect() { # expect TEST PATH: one file of the installed tree, checked with test(1)'s TEST
  if [ "$1" "$root$prefix/$2" ]; then
    echo "ok       $prefix/$2"
  else
    echo "MISSING  $prefix/$2 (test $1)"
    status=1
  fi
}

if [ "$with_program" = 1 ]; then
  expect -x bin/kestrova
fi
expect -s "share/applications/$app_id.desktop"
expect -s share/icons/hicolor/scalable/apps/kestrova.svg
expect -s "share/metainfo/$app_id.metainfo.xml"

if [ "$status" != 0 ]; then
  echo "installed tree:"
  (cd "$root" && find . -print | sort)
fi
exit "$status"
