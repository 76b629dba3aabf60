# shellcheck shell=bash
# Shared by the scripts that work in a Debian 12 root made with debootstrap (scripts/clean-room.sh,
# scripts/cross-arm64.sh); sourced, never run:
#
#   source scripts/debian-root.sh
#   debian_root_init NAME CACHE LOGS   checks for root and debootstrap, finds this machine's Debian
#                                      mirror, makes a temporary folder $work (removed at exit) and
#                                      sets the clean-up trap
#   ensure_base                        sets $base to the cached minimal base tar (made once, with
#                                      debootstrap, timed as the step "debootstrap")
#   new_root DIR                       unpacks the base into DIR and prepares it (prepare_root)
#   prepare_root DIR                   this machine's Debian sources and name servers in DIR, and the
#                                      kernel's file systems mounted there (unmounted at exit)
#   in_root DIR COMMAND                a login-less shell in DIR, no display, no proxy
#   has_mounts DIR                     true while anything is mounted under DIR
#
# Steps, their times and this machine's Debian sources come from scripts/lib.sh, sourced here.
# The caller must have `set -euo pipefail`. Nothing here changes the machine outside CACHE, LOGS and
# $work, except the mounts, which the exit trap removes however the script ends.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

debian_root_init() {
  local name=$1
  cache=$2
  if [ "$(id -u)" -ne 0 ]; then
    echo "$name needs root (debootstrap, chroot and mounts): run it with sudo." >&2
    exit 1
  fi
  install_missing debootstrap
  lib_init "$name" "$3"
  mkdir -p "$cache"
  work=$(mktemp -d "${TMPDIR:-/var/tmp}/kestrova-$name.XXXXXX")
  mounted=()
  trap debian_root_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  mapfile -t sources < <(debian_sources)
  mirror=$(printf '%s\n' "${sources[@]}" | awk -v s="$suite" '$3 == s { print $2; exit }')
  if [ -z "$mirror" ]; then
    echo "$name: this machine's apt sources name no mirror for Debian $suite" >&2
    exit 1
  fi
}

has_mounts() {
  findmnt -rn -o TARGET | grep -q "^$1\(/\|$\)"
}

# ---- Clean-up, whatever happens ----
debian_root_cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R -l "${mounted[i]}" 2>/dev/null || true
  done
  # Never delete through a mount that is still there: /dev of the host would go with it.
  if has_mounts "$work"; then
    echo "mounts remain under $work; not deleting it" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}

# ---- The base, made once ----
make_base() {
  local root=$work/base
  debootstrap --variant=minbase "$suite" "$root" "$mirror"
  tar -C "$root" -cf "$1.part" . && mv "$1.part" "$1"
  rm -rf "$root"
}
ensure_base() {
  base=$cache/$suite-minbase.tar
  if [ ! -s "$base" ]; then
    step debootstrap make_base "$base"
  fi
}

# Not called in a subshell, so that the mounts are remembered for clean-up.
new_root() {
  local root=$1
  ensure_base
  mkdir -p "$root"
  tar -C "$root" -xf "$base"
  prepare_root "$root"
}
prepare_root() {
  local root=$1
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
