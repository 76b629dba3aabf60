#!/usr/bin/env bash
# The Windows x86-64 check: cross-builds the Qt-free core (numtext, lib, experiments) and its tests
# with MinGW-w64 and runs the tests under Wine.
#   scripts/cross-windows.sh
# What it changes on the machine:
#  - installs the Debian packages it needs when missing (apt-get, as scripts/setup.sh does):
#    g++-mingw-w64-x86-64-posix, wine64, cmake, ninja-build, googletest, and what Debian's own
#    builds of GMP and MPFR use (dpkg-dev, xz-utils, m4, autoconf, automake, libtool);
#  - keeps in ${KESTROVA_MINGW_CACHE:-~/.cache/kestrova-mingw} a private apt source list and its
#    package lists (the machine's own apt configuration is not touched), the Debian source packages
#    of GMP and MPFR, the static libraries built from them and GoogleTest built for MinGW, each in a
#    folder named by its versions and the compiler's, so that a later run builds none of them again;
#  - builds in build/cross-windows, with a Wine prefix there, and writes its logs to
#    build/cross-windows/logs.
# No display is needed: the tests are console programs.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
root=$PWD

build=$root/build/cross-windows
logs=$build/logs
cache=${KESTROVA_MINGW_CACHE:-$HOME/.cache/kestrova-mingw}
host=x86_64-w64-mingw32
toolchain=$root/cmake/$host.cmake
rm -rf "$logs"
mkdir -p "$logs" "$cache"

# Each step's time goes to the console and to logs/times.txt, so CI can report cold and warm runs.
: >"$logs/times.txt"
step_start=0
step() {
  step_start=$SECONDS
  step_name=$1
  echo "== $step_name"
}
step_done() {
  printf '%-32s %5d s\n' "$step_name" $((SECONDS - step_start)) | tee -a "$logs/times.txt"
}
# Runs a command with its output in a log; on failure, shows the log's end.
logged() {
  local log=$logs/$1
  shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Failed: $* (the whole output is in $log)" >&2
    return 1
  fi
}

step "packages"
packages=(g++-mingw-w64-x86-64-posix wine64 cmake ninja-build googletest dpkg-dev xz-utils m4 autoconf
          automake libtool)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
step_done

# Debian's source packages through a source list of our own: the same registry and suites as the
# machine's binary packages, read with options that point apt at private files only.
step "source package lists"
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$apt_dir/sources.list.new" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
EOF
mv "$apt_dir/sources.list.new" "$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir"
             -o "Dir::Cache::archives=$apt_dir/archives")
# The lists are read again once a day; a run without network then still finds its cached builds.
if [ -z "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -mtime -1 -print -quit)" ]; then
  if ! logged apt-update.log apt-get "${apt_options[@]}" update; then
    [ -n "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -print -quit)" ] || exit 1
    echo "The source package lists could not be read again; using the ones from an earlier run."
  fi
fi
source_version() {
  apt-cache "${apt_options[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1
}
gmp_version=$(source_version gmp)
mpfr_version=$(source_version mpfr4)
compiler_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
echo "gmp $gmp_version, mpfr4 $mpfr_version, MinGW-w64 GCC $compiler_version"
step_done

# GMP and MPFR, static, from Debian's sources with Debian's patches applied. Each library is marked
# done on its own, so that a failed MPFR build does not build GMP again.
step "GMP and MPFR"
numeric=$cache/gmp-${gmp_version//:/_}-mpfr-${mpfr_version//:/_}-gcc-$compiler_version
sources=$cache/sources
jobs=$(nproc)
# Unpacks a source package into $sources/NAME and prints the folder of its sources.
unpack() {
  local name=$1 version=$2
  rm -rf "${sources:?}/$name"
  mkdir -p "$sources/$name"
  (cd "$sources/$name" && logged "$name-source.log" apt-get "${apt_options[@]}" source "$name=$version")
  find "$sources/$name" -mindepth 1 -maxdepth 1 -type d
}
if [ ! -e "$numeric/gmp.done" ]; then
  rm -rf "$numeric" "$build/deps/gmp"
  mkdir -p "$build/deps/gmp"
  gmp_src=$(unpack gmp "$gmp_version")
  # Debian's source leaves out the manual and patches the build files to match, so the configure
  # script is made again, as Debian's own build does.
  (cd "$gmp_src" && logged gmp-autoreconf.log autoreconf -fi)
  (cd "$build/deps/gmp" &&
    logged gmp-configure.log nice "$gmp_src/configure" --host=$host CC=$host-gcc-posix \
      --prefix="$numeric" --enable-static --disable-shared &&
    logged gmp-make.log nice make -j"$jobs" &&
    logged gmp-install.log make install)
  touch "$numeric/gmp.done"
  rm -rf "${sources:?}/gmp" "$build/deps/gmp"
fi
if [ ! -e "$numeric/mpfr.done" ]; then
  rm -rf "$build/deps/mpfr"
  mkdir -p "$build/deps/mpfr"
  mpfr_src=$(unpack mpfr4 "$mpfr_version")
  # The library and its header only: the manual would need makeinfo.
  (cd "$build/deps/mpfr" &&
    logged mpfr-configure.log nice "$mpfr_src/configure" --host=$host CC=$host-gcc-posix \
      --prefix="$numeric" --with-gmp="$numeric" --enable-static --disable-shared &&
    logged mpfr-make.log nice make -C src -j"$jobs" &&
    logged mpfr-install.log make -C src install)
  touch "$numeric/mpfr.done"
  rm -rf "${sources:?}/mpfr4" "$build/deps/mpfr"
fi
rm -rf "$sources" "$build/deps"
step_done

# GoogleTest from the sources Debian ships in the googletest package.
step "GoogleTest"
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
gtest=$cache/googletest-${gtest_version//:/_}-gcc-$compiler_version
if [ -e "$gtest/done" ]; then
  echo "cached in $gtest"
else
  rm -rf "$gtest" "$build/googletest"
  logged gtest-configure.log cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF
  logged gtest-build.log nice cmake --build "$build/googletest"
  logged gtest-install.log cmake --install "$build/googletest"
  touch "$gtest/done"
  rm -rf "$build/googletest"
fi
step_done

# Wine keeps its own Windows in a prefix of this build. The Mono and Gecko installers it would offer
# are not needed by console programs.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
step "Wine prefix"
# One Wine server for the whole run, stopped on the way out, and Wine's own services started by
# wineboot with the log as their output. Otherwise the first test program starts them, they keep its
# output pipe open, and GoogleTest's listing of the tests waits for them until it times out.
mkdir -p "$WINEPREFIX"
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
logged wineboot.log "$wine" wineboot
step_done

# GoogleTest's tests are listed when ctest starts (PRE_TEST) rather than after each link, so the build
# itself runs nothing under Wine.
step "configure and build the core"
logged core-configure.log cmake -S "$root" -B "$build/core" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKESTROVA_WINE="$wine" \
  "-DKESTROVA_MINGW_PREFIX=$numeric;$gtest" -DCMAKE_BUILD_TYPE=Release -DKESTROVA_WERROR=ON \
  -DKESTROVA_GUI=OFF -DKESTROVA_BENCH=OFF -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
logged core-build.log nice cmake --build "$build/core"
step_done

# The packaging tests check the Linux desktop files with Linux tools: the native build runs them.
step "tests under Wine"
status=0
(cd "$build/core" && ctest -j "$(nproc)" --output-on-failure --no-tests=error -LE packaging) \
  >"$logs/ctest.log" 2>&1 || status=$?
tail -n 30 "$logs/ctest.log"
step_done
exit "$status"
