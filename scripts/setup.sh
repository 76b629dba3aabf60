#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages that are missing, and only those.
# Fails with the names of the packages it could not install, before anything is built.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

mapfile -t packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' scripts/packages)
install_missing "${packages[@]}"
