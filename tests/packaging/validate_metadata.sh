#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metadata with the freedesktop.org tools:
#   validate_metadata.sh DESKTOP_FILE METAINFO_FILE
# Exits 77 (skipped) when a tool is not installed; scripts/setup.sh installs both.
set -euo pipefail
desktop=$1
metainfo=$2

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (Debian packages desktop-file-utils and appstream; scripts/setup.sh installs them)"
    exit 77
  fi
done

# desktop-file-validate exits 0 on hints and reports errors through its exit status; print what it says anyway.
desktop-file-validate "$desktop"
echo "desktop entry valid: $desktop"

# --no-net: the check must not depend on reaching the network (and must not fail for the lack of it).
appstreamcli validate --no-net "$metainfo"
echo "AppStream metadata valid: $metainfo"

# The two files must name each other: the metadata's launchable is the desktop entry's file name.
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
if [ "$launchable" != "$(basename "$desktop")" ]; then
  echo "FAILED: the metadata launches '$launchable', the desktop entry is '$(basename "$desktop")'"
  exit 1
fi
