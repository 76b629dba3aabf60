#!/usr/bin/env bash
# Proves that scripts/packages is complete without trusting this machine: every CMake package
# configuration that the build found in the system, and every library and header that the project's
# own find_library and find_path calls found there, must belong to a Debian package that
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

status=0
checked=0
# Fails the check unless FILE comes from an allowed package.
check_owner() {
  local file=$1 owners owner ok=0
  checked=$((checked + 1))
  if ! owners=$(dpkg -S "$file" 2>/dev/null | sed 's/: .*//'); then
    echo "NOT FROM A PACKAGE  $file: installed by hand, so a fresh machine will not have it"
    status=1
    return
  fi
  for owner in ${owners//,/ }; do
    [ -n "${allowed[${owner%%:*}]:-}" ] && ok=1
  done
  if [ "$ok" = 0 ]; then
    echo "MISSING PACKAGE  ${owners//:amd64/} (for $file): add it to scripts/packages"
    status=1
  fi
}

# The configuration files of the packages CMake found: its *_DIR entries that point into the system,
# each holding NAMEConfig.cmake or NAME-config.cmake (files beside it, such as the plugin
# configurations another package may add to Qt's folders, are read only when present).
mapfile -t dirs < <(sed -n 's/^[A-Za-z0-9_]*_DIR:PATH=\(\/usr\/.*\)$/\1/p' "$cache" | sort -u)
for dir in "${dirs[@]}"; do
  name=${dir##*/}
  for file in "$dir/${name}Config.cmake" "$dir/${name,,}-config.cmake"; do
    if [ -e "$file" ]; then check_owner "$file"; fi
  done
done

# What find_library (a library file) and find_path (a folder, so the header it looked for in it)
# stored in the cache, for each such call in the project's CMake files.
while read -r kind var name; do
  value=$(sed -n "s/^$var:[A-Z]*=\(\/usr\/.*\)$/\1/p" "$cache")
  [ -n "$value" ] || continue
  if [ "$kind" = path ]; then value=$value/$name; fi
  check_owner "$value"
done < <(find . -path ./build -prune -o \( -name CMakeLists.txt -o -name '*.cmake' \) -print0 |
           xargs -0 sed -nE 's/.*find_(library|path)\(([A-Za-z0-9_]+) +(NAMES +)?([^ )]+).*/\1 \2 \4/p' |
           sort -u)

if [ "$status" = 0 ]; then
  echo "check-setup: the $checked package configurations, libraries and headers the build uses all" \
       "come from scripts/packages"
fi
exit "$status"
