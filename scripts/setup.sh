#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages that are missing, and only those.
# Fails with the names of the packages it could not install, before anything is built.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' scripts/packages)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
((${#missing[@]})) || exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
    echo "Run this script as root, or install sudo, or install them yourself with apt-get." >&2
    exit 1
  fi
  sudo=(sudo)
fi

failed() {
  echo >&2
  echo "Could not install these Debian packages: ${missing[*]}" >&2
  echo "$1 Nothing has been built; run this again once it is fixed." >&2
  exit 1
}
# A source that cannot be fetched is only a warning to apt-get update; it matters only if the install
# then fails, and then it is the likely reason.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
"${sudo[@]}" apt-get update 2>&1 | tee "$update_log" || true
if ! DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  if grep -Eq '^(E|W): (Failed to fetch|Some index files failed)' "$update_log"; then
    failed "The package lists could not be fetched: is the Debian package registry reachable?"
  fi
  failed "apt-get could not install them (see its message above)."
fi
