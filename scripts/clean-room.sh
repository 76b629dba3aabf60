#!/usr/bin/env bash
# Proves that the README's two commands work on a machine that has nothing, and that the package
# installs and starts on one that has nothing but Debian: run as root, it
#  1. makes a minimal Debian 12 root with debootstrap, from the mirror this machine's own apt
#     sources name (the base is cached between runs);
#  2. clones this repository's committed state into a copy of it and runs there, through chroot and
#     without a display, scripts/run.sh (which must say that there is no display, exit with status 2
#     and draw the nine pictures) and then scripts/test.sh release;
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

if [ "$(id -u)" -ne 0 ]; then
  echo "clean-room.sh needs root (debootstrap, chroot and mounts): run it with sudo." >&2
  exit 1
fi
if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

suite=bookworm
cache=${KESTROVA_CLEAN_ROOM_CACHE:-$HOME/.cache/kestrova-clean-room}
logs=$repo/build/clean-room
mkdir -p "$cache" "$logs"
work=$(mktemp -d "${TMPDIR:-/var/tmp}/kestrova-clean-room.XXXXXX")

# ---- Clean-up, whatever happens ----
mounted=()
cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R -l "${mounted[i]}" 2>/dev/null || true
  done
  # Never delete through a mount that is still there: /dev of the host would go with it.
  if findmnt -rn -o TARGET | grep -q "^$work"; then
    echo "clean-room: mounts remain under $work; not deleting it" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---- The Debian sources of this machine ----
# One-line entries of every Debian 12 suite this machine's apt sources name (both formats), so that
# the roots use the same mirror; the first one that serves the suite itself seeds debootstrap.
debian_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && awk -v s="$suite" '$1 == "deb" && $0 ~ (" " s "([- ]|$)") { $1 = ""; print "deb" $0 }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && awk -v s="$suite" '
      function flush(   i, n, list) {
        if (uris != "" && types ~ /(^| )deb( |$)/) {
          n = split(suites, list, " ")
          for (i = 1; i <= n; i++)
            if (list[i] ~ ("^" s "(-|$)")) print "deb " uris " " list[i] " " comps
        }
        uris = suites = comps = types = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      tolower($1) == "types:" { $1 = ""; types = substr($0, 2) }
      tolower($1) == "uris:" { $1 = ""; uris = substr($0, 2) }
      tolower($1) == "suites:" { $1 = ""; suites = substr($0, 2) }
      tolower($1) == "components:" { $1 = ""; comps = substr($0, 2) }
      END { flush() }' "$f"
  done
}
mapfile -t sources < <(debian_sources)
mirror=$(printf '%s\n' "${sources[@]}" | awk -v s="$suite" '$3 == s { print $2; exit }')
if [ -z "$mirror" ]; then
  echo "clean-room: this machine's apt sources name no mirror for Debian $suite" >&2
  exit 1
fi

stamp() { date +%s; }
times=()
timed() { # timed NAME COMMAND...: runs it, logs to build/clean-room/NAME.log, notes its time
  local name=$1 start status=0
  shift
  start=$(stamp)
  echo "== $name"
  "$@" >"$logs/$name.log" 2>&1 || status=$?
  times+=("$(printf '%-24s %5ds  status %d' "$name" $(($(stamp) - start)) "$status")")
  echo "   $(tail -n 1 "$logs/$name.log")"
  return "$status"
}

# ---- The base, made once ----
base=$cache/$suite-minbase.tar
if [ ! -s "$base" ]; then
  make_base() {
    local root=$work/base
    debootstrap --variant=minbase "$suite" "$root" "$mirror"
    tar -C "$root" -cf "$base.part" . && mv "$base.part" "$base"
    rm -rf "$root"
  }
  timed debootstrap make_base
fi

# A fresh root from the base at $work/NAME, with this machine's Debian sources, name servers and the
# kernel's file systems. (Not called in a subshell, so that its mounts are remembered for clean-up.)
new_root() {
  local root=$work/$1
  mkdir -p "$root"
  tar -C "$root" -xf "$base"
  printf '%s\n' "${sources[@]}" >"$root/etc/apt/sources.list"
  rm -f "$root"/etc/apt/sources.list.d/*
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  local fs
  for fs in proc sys dev; do
    mkdir -p "$root/$fs"
    mounted+=("$root/$fs")
  done
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys"
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
}
in_root() { # in_root ROOT COMMAND: a login-less shell in the root, with no display and no proxy
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb /bin/bash -c "$*"
}

# ---- The README's two commands in a clean clone ----
new_root builder
builder=$work/builder
git clone -q "$repo" "$builder/root/kestrova"
run_command() {
  local status=0
  in_root "$builder" 'cd /root/kestrova && scripts/run.sh' || status=$?
  if [ "$status" -ne 2 ]; then
    echo "FAILED: scripts/run.sh exited with status $status, not 2 (no display)"
    return 1
  fi
  local pictures
  pictures=$(find "$builder/root/kestrova/build/release/snapshots" -name '*.png' | wc -l)
  echo "scripts/run.sh: no display, status 2, $pictures pictures drawn"
  [ "$pictures" -eq 9 ]
}
timed run-command run_command
grep -q "Brak ekranu" "$logs/run-command.log" || {
  echo "FAILED: scripts/run.sh did not say that there is no display"
  exit 1
}
timed test-command in_root "$builder" 'cd /root/kestrova && scripts/test.sh release'

# ---- The package in a second fresh root ----
timed package in_root "$builder" 'cd /root/kestrova/build/release && cpack -G DEB -B /root/deb'
deb=$(cd "$builder/root/deb" && ls kestrova_*.deb)
new_root user
user=$work/user
cp "$builder/root/deb/$deb" "$user/root/"
timed install-package in_root "$user" "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ./root/$deb"
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
timed installed-program check_installed

echo
echo "Clean-room run passed on Debian $suite from $mirror:"
printf '  %s\n' "${times[@]}" | tee "$logs/times.txt"
