# shellcheck shell=bash
# What every script of ours shares: steps with their times and logs, installing missing Debian
# packages, this machine's Debian sources, Debian source packages through a private list, and the
# time a CI run has left. Sourced, never run; the caller has `set -euo pipefail`.
#
#   source scripts/lib.sh
#   lib_init NAME LOGS            the logs folder (emptied) and the list of step times
#   step NAME COMMAND...          runs it with its output in LOGS/NAME.log, notes its time and status
#                                 in $times and LOGS/times.txt; on failure shows the log's end
#   print_times TITLE             the steps' times, on the console and in LOGS/times.txt
#   install_missing PACKAGE...    installs with apt-get those not installed (sudo when not root)
#   debian_sources                one-line "deb URI SUITE COMPONENTS" entries of this machine's
#                                 Debian 12 sources, both apt formats
#   source_packages_init DIR      a private deb-src list in DIR made from debian_sources, and
#                                 $apt_options that point apt at it (the machine's apt set-up is
#                                 not touched); lists read again once a day
#   source_version NAME           the newest version of a source package in that list
#   unpack_source NAME VERSION DIR   the source package, Debian's patches applied, unpacked in DIR;
#                                 prints the folder of its sources
#   seconds_left                  what is left of KESTROVA_DEADLINE (seconds since the epoch, set by
#                                 .ci/run); a large number when no deadline is set
#   too_long NAME MINUTES         true, after saying so on its own line, when a stage that needs
#                                 about MINUTES cannot finish before the deadline
#   until_deadline NAME COMMAND...   runs it, stopped when the deadline comes; a stop is said on its
#                                 own line and sets deadline_hit=1, the status then being 0, so that
#                                 the caller ends early and a later run resumes the work kept

suite=bookworm

lib_init() {
  lib_name=$1
  logs=$2
  mkdir -p "$logs"
  rm -f "$logs"/*.log "$logs/times.txt"
  times=()
  deadline_hit=0
  # The console, for what must be seen even from inside a step whose output goes to its log.
  exec 3>&1
}

step() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== $lib_name: $name"
  "$@" >"$logs/$name.log" 2>&1 || status=$?
  times+=("$(printf '%-28s %6d s  status %d' "$name" $((SECONDS - start)) "$status")")
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$logs/$name.log" >&2
    echo "$lib_name: $name failed with status $status (the whole output is in $logs/$name.log)" >&2
  else
    echo "   $(tail -n 1 "$logs/$name.log")"
  fi
  return "$status"
}

print_times() {
  echo
  echo "$1"
  printf '  %s\n' "${times[@]}" | tee "$logs/times.txt"
}

install_missing() {
  local p missing=() sudo=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "These Debian packages are missing and installing them needs root: ${missing[*]}" >&2
      echo "Run this as root, or install sudo, or install them yourself with apt-get." >&2
      return 1
    fi
    sudo=(sudo)
  fi
  # A source that cannot be fetched is only a warning to apt-get update; it matters only if the
  # install then fails, and then it is the likely reason.
  local update_log status=0
  update_log=$(mktemp)
  "${sudo[@]}" apt-get update 2>&1 | tee "$update_log" || true
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
    status=$?
  if [ "$status" -ne 0 ]; then
    echo >&2
    echo "Could not install these Debian packages: ${missing[*]}" >&2
    if grep -Eq '^(E|W): (Failed to fetch|Some index files failed)' "$update_log"; then
      echo "The package lists could not be fetched: is the Debian package registry reachable?" >&2
    else
      echo "apt-get could not install them (see its message above)." >&2
    fi
    echo "Nothing has been built; run this again once it is fixed." >&2
  fi
  rm -f "$update_log"
  return "$status"
}

# One-line entries of every Debian 12 suite this machine's apt sources name (both formats), so that
# roots and source lists use the machine's own mirror.
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

source_packages_init() {
  local dir=$1 entries
  mkdir -p "$dir/lists/partial" "$dir/archives/partial"
  # The same registry and suites as the machine's binary packages; a signed-by option of the
  # machine's own entry is kept as it is.
  entries=$(debian_sources | sed 's/^deb /deb-src /')
  if [ -z "$entries" ]; then
    echo "$lib_name: this machine's apt sources name no Debian $suite suite" >&2
    return 1
  fi
  printf '%s\n' "$entries" >"$dir/sources.list.new"
  if ! cmp -s "$dir/sources.list.new" "$dir/sources.list"; then
    rm -f "$dir/lists/"*Sources*
  fi
  mv "$dir/sources.list.new" "$dir/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir" -o "Dir::Cache::archives=$dir/archives")
  # A run without network still finds its cached builds with the lists of an earlier run.
  if [ -z "$(find "$dir/lists" -maxdepth 1 -name '*Sources*' -mtime -1 -print -quit)" ]; then
    if ! apt-get "${apt_options[@]}" update >"$logs/apt-sources-update.log" 2>&1; then
      [ -n "$(find "$dir/lists" -maxdepth 1 -name '*Sources*' -print -quit)" ] || {
        tail -n 20 "$logs/apt-sources-update.log" >&2
        return 1
      }
      echo "The source package lists could not be read again; using the ones from an earlier run."
    fi
  fi
}

source_version() {
  apt-cache "${apt_options[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1
}

unpack_source() {
  local name=$1 version=$2 dir=$3
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && apt-get "${apt_options[@]}" source "$name=$version" >"$logs/$name-source.log" 2>&1) || {
    tail -n 20 "$logs/$name-source.log" >&2
    return 1
  }
  find "$dir" -mindepth 1 -maxdepth 1 -type d
}

seconds_left() {
  if [ -n "${KESTROVA_DEADLINE:-}" ]; then
    echo $((KESTROVA_DEADLINE - $(date +%s)))
  else
    echo 999999
  fi
}

too_long() {
  local name=$1 minutes=$2 left
  left=$(seconds_left)
  if ((left < minutes * 60)); then
    echo "NOT RUN NOW: $name needs about $minutes min and $((left / 60)) min are left of this CI run;" \
      "the next run starts it, keeping what earlier runs cached." >&3
    deadline_hit=1
    return 0
  fi
  return 1
}

until_deadline() {
  local name=$1 left status=0 pid watcher flag
  shift
  if [ -z "${KESTROVA_DEADLINE:-}" ]; then
    "$@"
    return
  fi
  left=$(seconds_left)
  # A minute is kept for what follows a stop: the times, the logs, the clean-up. The command runs as
  # a job of its own process group (it may be a function), so that the stop reaches all it started.
  flag=$(mktemp)
  set -m
  ("$@") &
  pid=$!
  (sleep $((left > 120 ? left - 60 : 60)) && echo stopped >"$flag" && kill -TERM -- -"$pid" 2>/dev/null &&
    sleep 30 && kill -KILL -- -"$pid" 2>/dev/null) >/dev/null 2>&1 &
  watcher=$!
  set +m
  wait "$pid" || status=$?
  kill -- -"$watcher" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true
  if [ -s "$flag" ]; then
    rm -f "$flag"
    echo "STOPPED AT THE DEADLINE: $name did not finish in this CI run; the next run resumes it" \
      "from the work kept." >&3
    deadline_hit=1
    return 0
  fi
  rm -f "$flag"
  return "$status"
}
