#!/usr/bin/env bash
# The ARM64 check: builds the whole program (release, warnings as errors) for ARM64 Linux with
# Debian's cross compiler and multiarch Qt, and runs every test under qemu-aarch64. Run as root:
#
#   scripts/cross-arm64.sh
#
# It works in a Debian 12 amd64 root made with debootstrap from the mirror this machine's apt sources
# name (as scripts/clean-room.sh does); the arm64 architecture is added inside that root only, and
# the packages of scripts/packages-arm64 are installed there. The root is kept in the cache, and what
# that list adds is installed into it; the repository's committed state (HEAD) is brought into
# it with git, and the build stays there too, so that a second run builds only what changed. The
# machine's own apt set-up and package architectures are left alone: nothing is written outside the
# cache, TMPDIR and build/cross-arm64/, and the mounts of /proc, /sys and /dev into the root are
# removed however the script ends.
#
#   KESTROVA_ARM64_CACHE      where the root is kept (~/.cache/kestrova-arm64); about 1.8 GB
#   KESTROVA_ARM64_CLEAN=1    build from nothing rather than on the previous run's build
#   KESTROVA_ARM64_TESTS      a ctest -R expression to run only some tests (all by default)
#   KESTROVA_ARM64_PAUSE_MS   the stress run's pause budget under emulation (2000 ms)
#   KESTROVA_ARM64_STRESS_EVENTS  the stress run's length (10000 events, the least for which it
#                             checks that every control was reached; 20000 take ~10 min emulated)
#   KESTROVA_ARM64_PATCH      a patch file applied to the committed state in the root, to try a
#                             change on ARM64 before committing it
#
# Not run: the packaging tests (label packaging): they build and check a Debian package of the
# machine's own architecture with dpkg-shlibdeps and lintian, which say nothing about ARM64.
# Logs, the test log and the time of each stage go to build/cross-arm64/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

source scripts/debian-root.sh
debian_root_init cross-arm64 "${KESTROVA_ARM64_CACHE:-$HOME/.cache/kestrova-arm64}" "$repo/build/cross-arm64"

# One run at a time uses the cached root.
exec 9>"$cache/lock"
flock 9

mapfile -t packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' scripts/packages-arm64)
# The root takes this machine's apt sources each time it is used, so one root serves any mirror.
root=$cache/root-$suite
ready=$root/.kestrova-ready
installed=$root/.kestrova-packages

remove_root() {
  if has_mounts "$1"; then
    echo "cross-arm64: mounts remain under $1; not deleting it" >&2
    exit 1
  fi
  rm -rf "$1"
}
# The time of each stage and the disk taken, however the check ends.
finish() {
  print_times "ARM64 check: $(du -shx "$root" 2>/dev/null | cut -f1) of root and build in $root"
  exit "$1"
}

# ---- The root: made once per mirror, its packages brought up to the list ----
# A changed list installs what it adds into the same root, so that the build there goes on from where
# it was; a package the list no longer names stays installed, unused.
install_packages() {
  in_root "$root" "dpkg --add-architecture arm64 && apt-get update &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${packages[*]} &&
    apt-get clean"
}
if [ -e "$ready" ]; then
  echo "== root: reusing $root"
  prepare_root "$root"
else
  # A root an earlier version of this script kept under another name is taken over, build and all.
  for old in "$cache"/root-*; do
    if [ -e "$old/.kestrova-ready" ] && [ ! -e "$ready" ] && ! has_mounts "$old"; then
      echo "== root: taking over $old"
      mv "$old" "$root"
    elif [ -d "$old" ] && [ "$old" != "$root" ]; then
      remove_root "$old"
    fi
  done
  if [ -e "$ready" ]; then
    prepare_root "$root"
  else
    too_long "the ARM64 root" 12 && finish 0
    rm -rf "$root"
    step make-root new_root "$root"
    touch "$ready"
  fi
fi
if ! printf '%s\n' "${packages[@]}" | cmp -s - "$installed"; then
  step install-packages install_packages
  printf '%s\n' "${packages[@]}" >"$installed"
fi

# ---- The committed state, and the build on top of the previous one ----
src=$root/root/kestrova
build=$root/root/build
sync_sources() {
  [ -d "$src/.git" ] || git init -q "$src"
  git -C "$src" fetch -q --no-tags "$repo" HEAD
  local tree=FETCH_HEAD
  if [ -n "${KESTROVA_ARM64_PATCH:-}" ]; then
    # The patched tree, made in a scratch index, so that below only files that differ are written.
    local patch index=$work/patch-index
    patch=$(realpath "$KESTROVA_ARM64_PATCH")
    GIT_INDEX_FILE=$index git -C "$src" read-tree FETCH_HEAD
    GIT_INDEX_FILE=$index git -C "$src" apply --cached --stat --apply "$patch"
    tree=$(GIT_INDEX_FILE=$index git -C "$src" write-tree)
  fi
  # Only files that differ are written, so that the build redoes only what they change; anything
  # edited or left in the root's copy goes.
  git -C "$src" update-ref --no-deref HEAD FETCH_HEAD
  git -C "$src" read-tree --reset -u "$tree"
  git -C "$src" checkout -q -- .
  git -C "$src" clean -q -fdx
  git -C "$src" log -1 --format='sources at %h %s'
}
step sources sync_sources || finish 1
if [ "${KESTROVA_ARM64_CLEAN:-0}" = 1 ]; then
  rm -rf "$build"
fi

step configure in_root "$root" "cmake -S /root/kestrova -B /root/build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=/root/kestrova/cmake/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE=Release -DKESTROVA_WERROR=ON -DKESTROVA_BENCH=OFF" || finish 1
# A build stopped by the CI deadline stays in the root, and the next run goes on with it.
step build until_deadline "the ARM64 build" in_root "$root" "nice -n 10 cmake --build /root/build -j $(nproc)" ||
  finish 1
((deadline_hit)) && finish 0
too_long "the ARM64 tests under qemu" 12 && finish 0

# The stress run's pause budget is for a user's machine; under emulation every event is several
# times slower, so it gets its own, and a shorter run that keeps within its time-out.
status=0
step tests in_root "$root" "cd /root/build && KESTROVA_STRESS_PAUSE_MS=${KESTROVA_ARM64_PAUSE_MS:-2000} \
  KESTROVA_STRESS_EVENTS=${KESTROVA_ARM64_STRESS_EVENTS:-10000} \
  nice -n 10 ctest -j $(nproc) --timeout 900 --output-on-failure -LE packaging \
  ${KESTROVA_ARM64_TESTS:+-R '$KESTROVA_ARM64_TESTS'}" || status=$?
cp "$build/Testing/Temporary/LastTest.log" "$logs/LastTest.log" 2>/dev/null || true
grep -E '^[0-9]+% tests passed|\(Failed\)|\(Timeout\)|\(SEGFAULT\)|Not Run' "$logs/tests.log" \
  >"$logs/summary.txt" || true
head -n 1 "$logs/summary.txt"
finish "$status"
