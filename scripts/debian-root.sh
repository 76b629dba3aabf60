# shellcheck shell=bash
# Shared by the scripts that work in a Debian 12 root made with debootstrap (scripts/clean-room.sh,
# scripts/cross-arm64.sh); sourced, never run:
#
#   source scripts/debian-root.sh
#   debian_root_init NAME CACHE LOGS   checks for root and debootstrap, finds this machine's Debian
#                                      mirror, makes a temporary folder $work (removed at exit) and
#                                      sets the clean-up trap
#   timed STEP COMMAND...              runs it, logs to LOGS/STEP.log, notes its time in $times
#   ensure_base                        sets $base to the cached minimal base tar (made once, with
#                                      debootstrap, timed as the step "debootstrap")
#   new_root DIR                       unpacks the base into DIR and prepares it (prepare_root)
#   prepare_root DIR                   this machine's Debian sources and name servers in DIR, and the
#                                      kernel's file systems mounted there (unmounted at exit)
#   in_root DIR COMMAND                a login-less shell in DIR, no display, no proxy
#   has_mounts DIR                     true while anything is mounted under DIR
#
# The caller must have `set -euo pipefail`. Nothing here changes the machine outside CACHE, LOGS and
# $work, except the mounts, which the exit trap removes however the script ends.

suite=bookworm

debian_root_init() {
  local name=$1
  cache=$2
  logs=$3
  if [ "$(id -u)" -ne 0 ]; then
    echo "$name needs root (debootstrap, chroot and mounts): run it with sudo." >&2
    exit 1
  fi
  if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
  fi
  mkdir -p "$cache" "$logs"
  work=$(mktemp -d "${TMPDIR:-/var/tmp}/kestrova-$name.XXXXXX")
  mounted=()
  times=()
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
  return 0
}

stamp() { date +%s; }
timed() { # timed NAME COMMAND...: runs it, logs to $logs/NAME.log, notes its time
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
make_base() {
  local root=$work/base
  debootstrap --variant=minbase "$suite" "$root" "$mirror"
  tar -C "$root" -cf "$1.part" . && mv "$1.part" "$1"
  rm -rf "$root"
}
ensure_base() {
  base=$cache/$suite-minbase.tar
  if [ ! -s "$base" ]; then
    timed debootstrap make_base "$base"
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
