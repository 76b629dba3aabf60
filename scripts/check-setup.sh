#!/usr/bin/env bash
# Proves that scripts/packages is complete without trusting this machine: every CMake package
# configuration that the build found in the system must belong to a Debian package that
# scripts/packages names, or that one of those depends on (Depends or Pre-Depends, recursively; a
# recommended package does not count, since scripts/setup.sh installs without recommendations).
#   scripts/check-setup.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/check-setup.sh BUILD_DIR}
cache=$build/CMakeCache.txt
[ -f "$cache" ] || { echo "check-setup: no $cache; configure the build first" >&2; exit 2; }

mapfile -t named < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' scripts/packages)

# Every package reached from the named ones through Depends and Pre-Depends.
declare -A allowed=()
while read -r line; do
  allowed[$line]=1
done < <(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances "${named[@]}" | grep -v '^ ' | sed 's/:.*//')

# The configuration files of the packages CMake found: its *_DIR entries that point into the system.
mapfile -t dirs < <(sed -n 's/^[A-Za-z0-9_]*_DIR:PATH=\(\/usr\/.*\)$/\1/p' "$cache" | sort -u)
status=0
checked=0
for dir in "${dirs[@]}"; do
  [ -d "$dir" ] || continue
  for file in "$dir"/*Config.cmake "$dir"/*-config.cmake; do
    [ -e "$file" ] || continue
    checked=$((checked + 1))
    if ! owners=$(dpkg -S "$file" 2>/dev/null | sed 's/: .*//'); then
      echo "NOT FROM A PACKAGE  $file: installed by hand, so a fresh machine will not have it"
      status=1
      continue
    fi
    ok=0
    for owner in ${owners//,/ }; do
      [ -n "${allowed[${owner%%:*}]:-}" ] && ok=1
    done
    if [ "$ok" = 0 ]; then
      echo "MISSING PACKAGE  ${owners//:amd64/} (for $file): add it to scripts/packages"
      status=1
    fi
  done
done
if [ "$status" = 0 ]; then
  echo "check-setup: the $checked package configurations the build uses all come from scripts/packages"
fi
exit "$status"
