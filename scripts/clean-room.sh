#!/usr/bin/env bash
# Proves that the README's two commands work on a machine that has nothing, and that the package
# installs and starts on one that has nothing but Debian: run as root, it
#  1. makes a minimal Debian 12 root with debootstrap, from the mirror this machine's own apt
#     sources name (the base is cached between runs);
#  2. clones this repository's committed state into a copy of it and runs there, through chroot and
#     without a display, scripts/run.sh (which must say that there is no display, exit with status 2
#     and draw the pictures the README shows) and then scripts/test.sh release;
#  3. builds the Debian package there, installs it with apt-get into a second fresh copy of the base,
#     and checks that `kestrova --version` answers and that the window reaches its first paint
#     offscreen.
# Mounts and temporary roots are removed however it ends, interrupted included.
#
#   scripts/clean-room.sh
#   KESTROVA_CLEAN_ROOM_CACHE  where the base is kept (~/.cache/kestrova-clean-room)
#   TMPDIR                     where the roots are made (/var/tmp); each needs a few GB
# Logs and the times of each step go to build/clean-room/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

source scripts/debian-root.sh
debian_root_init clean-room "${KESTROVA_CLEAN_ROOM_CACHE:-$HOME/.cache/kestrova-clean-room}" "$repo/build/clean-room"

# ---- The README's two commands in a clean clone ----
builder=$work/builder
new_root "$builder"
git clone -q "$repo" "$builder/root/kestrova"
run_command() {
  local status=0
  in_root "$builder" 'cd /root/kestrova && scripts/run.sh' || status=$?
  if [ "$status" -ne 2 ]; then
    echo "FAILED: scripts/run.sh exited with status $status, not 2 (no display)"
    return 1
  fi
  local drawn=$builder/root/kestrova/build/release/snapshots picture missing=0
  echo "scripts/run.sh: no display, status 2, $(find "$drawn" -name '*.png' | wc -l) pictures drawn"
  # Every picture the README shows is drawn again by the clean clone.
  for picture in docs/snapshots/*.png; do
    [ -s "$drawn/$(basename "$picture")" ] || { echo "FAILED: $(basename "$picture") not drawn"; missing=1; }
  done
  [ "$missing" -eq 0 ]
}
step run-command run_command
grep -q "Brak ekranu" "$logs/run-command.log" || {
  echo "FAILED: scripts/run.sh did not say that there is no display"
  exit 1
}
step test-command in_root "$builder" 'cd /root/kestrova && scripts/test.sh release'

# ---- The package in a second fresh root ----
step package in_root "$builder" 'cd /root/kestrova/build/release && cpack -G DEB -B /root/deb'
deb=$(cd "$builder/root/deb" && ls kestrova_*.deb)
user=$work/user
new_root "$user"
cp "$builder/root/deb/$deb" "$user/root/"
step install-package in_root "$user" "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ./root/$deb"
check_installed() {
  local version
  version=$(in_root "$user" 'kestrova --version')
  echo "kestrova --version: $version"
  [[ $version == "kestrova "* ]] || return 1
  # Qt's painting log says when the main window's first picture reaches the screen.
  in_root "$user" 'QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=qt.widgets.painting=true timeout 10 kestrova' \
    >"$logs/installed-run.log" 2>&1 || true
  if grep -q 'Flushing QRegion.*name="Form1"' "$logs/installed-run.log"; then
    echo "the installed kestrova painted its main window offscreen"
  else
    echo "FAILED: the installed kestrova did not paint its main window (see installed-run.log)"
    return 1
  fi
}
step installed-program check_installed

print_times "Clean-room run passed on Debian $suite from $mirror:"
