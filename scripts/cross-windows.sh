#!/usr/bin/env bash
# The Windows x86-64 check: cross-builds the whole program, its snapshot tool and every test with
# Debian's MinGW-w64 against Qt and QCustomPlot built from Debian's sources, runs the tests under
# Wine, makes the installer and the portable zip, and installs, runs and uninstalls it under Wine.
#   scripts/cross-windows.sh               every stage, in order
#   scripts/cross-windows.sh STAGE...      these stages only; each uses what the earlier ones left
#                                          in the cache and in build/cross-windows
# Stages: packages sources numeric googletest qt qcustomplot program tests package install.
# What it changes on the machine:
#  - installs the Debian packages it needs when missing (apt-get, as scripts/setup.sh does);
#  - keeps in ${KESTROVA_MINGW_CACHE:-~/.cache/kestrova-mingw} a private apt source list made from
#    the machine's own sources (its apt configuration is not touched), and what it builds from
#    Debian's source packages, each in a folder named by its versions and the compiler's: GMP and
#    MPFR (static), GoogleTest, Qt and QCustomPlot (DLLs); Qt and QCustomPlot also as one archive
#    each, which a later run unpacks when the folder is gone;
#  - builds in build/cross-windows, with a Wine prefix there, and writes its logs to
#    build/cross-windows/logs, with each step's time in logs/times.txt.
# No display is needed: the tests run on Qt's offscreen platform.
# With KESTROVA_DEADLINE set (seconds since the epoch), a stage that cannot finish in time is not
# started, and the script ends with status 0 after naming the stages it did not run; the Qt build,
# the longest, runs until the deadline and the next run continues it.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
root=$PWD
source scripts/lib.sh

build=$root/build/cross-windows
cache=${KESTROVA_MINGW_CACHE:-$HOME/.cache/kestrova-mingw}
host=x86_64-w64-mingw32
toolchain=$root/cmake/$host.cmake
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
all_stages=(packages sources numeric googletest qt qcustomplot program tests package install)

stages=("$@")
((${#stages[@]})) || stages=("${all_stages[@]}")
for s in "${stages[@]}"; do
  if [[ " ${all_stages[*]} " != *" $s "* ]]; then
    echo "cross-windows.sh: no stage '$s'; the stages are: ${all_stages[*]}" >&2
    exit 1
  fi
done

mkdir -p "$build" "$cache"
lib_init cross-windows "$build/logs"
stage_times=()

# The stages left when the deadline stops a run: named, never skipped in silence.
stop_before() {
  local s names=() found=0
  for s in "${stages[@]}"; do
    [ "$s" = "$1" ] && found=1
    ((found)) && names+=("$s")
  done
  echo "Stages not run in this run (the next run does them): ${names[*]}"
  stage_times+=("$(printf '%-28s %6d s  (stage, stopped)' "$1" $((SECONDS - start)))")
  finish
  exit 0
}

finish() {
  times+=("${stage_times[@]}")
  print_times "Times of the steps, then of the stages:"
}

# Versions of what is built, for the cache folders' names; read once, by the first stage that
# needs them.
versions() {
  [ -z "${compiler_version:-}" ] || return 0
  source_packages_init "$cache/apt"
  compiler_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
  gmp_version=$(source_version gmp)
  mpfr_version=$(source_version mpfr4)
  qt_version=$(source_version qt6-base)
  qcp_version=$(source_version qcustomplot)
  gtest_version=$(dpkg-query -W -f='${Version}' googletest)
  local gcc=gcc-$compiler_version
  numeric=$cache/gmp-${gmp_version//:/_}-mpfr-${mpfr_version//:/_}-$gcc
  gtest=$cache/googletest-${gtest_version//:/_}-$gcc
  qt=$cache/qt-${qt_version//:/_}-$gcc
  # QCustomPlot's folder names our CMake project too: a change to it builds QCustomPlot again.
  qcp=$cache/qcustomplot-${qcp_version//:/_}-$gcc-$(sha256sum "$root/cmake/qcustomplot/CMakeLists.txt" | cut -c1-8)
}

# A folder of the cache packed as one archive beside it, and unpacked from it.
# (Each is one && chain: step runs it where a failure would not stop a function.)
pack() {
  tar -C "$(dirname "$1")" -c -I 'zstd -T0 -10' -f "$1.tar.zst.part" "$(basename "$1")" &&
    mv "$1.tar.zst.part" "$1.tar.zst" &&
    echo "$(du -h "$1.tar.zst" | cut -f1) in $1.tar.zst"
}
unpack() {
  rm -rf "$1" &&
    tar -C "$(dirname "$1")" -x -I zstd -f "$1.tar.zst" &&
    echo "$(du -sh "$1" | cut -f1) in $1"
}

stage_packages() {
  # cmake, ninja and perl build Qt; Debian's own Qt tools (moc, rcc, uic) are its host tools; GMP and
  # MPFR are built as Debian builds them; the fonts and Qt's translations go into the deployed
  # folder; nsis and zip make the installer and the zip; imagemagick compares the pictures.
  install_missing g++-mingw-w64-x86-64-posix wine64 cmake ninja-build perl googletest dpkg-dev \
    xz-utils zstd m4 autoconf automake libtool qt6-base-dev qt6-base-dev-tools fonts-dejavu-core \
    qt6-translations-l10n nsis zip imagemagick
}

stage_sources() {
  versions
  echo "gmp $gmp_version, mpfr4 $mpfr_version, qt6-base $qt_version, qcustomplot $qcp_version," \
    "googletest $gtest_version, MinGW-w64 GCC $compiler_version"
}

# GMP and MPFR, static, from Debian's sources with Debian's patches applied. Each library is marked
# done on its own, so that a failed MPFR build does not build GMP again.
stage_numeric() {
  versions
  local work=$build/deps src
  if [ ! -e "$numeric/gmp.done" ]; then
    too_long "GMP" 10 && stop_before numeric
    rm -rf "$numeric" "$work"
    mkdir -p "$work/gmp"
    src=$(unpack_source gmp "$gmp_version" "$work/gmp-source")
    # Debian's source leaves out the manual and patches the build files to match, so the configure
    # script is made again, as Debian's own build does.
    step gmp-autoreconf env -C "$src" autoreconf -fi
    step gmp-configure env -C "$work/gmp" nice "$src/configure" --host=$host CC=$host-gcc-posix \
      --prefix="$numeric" --enable-static --disable-shared
    step gmp-make nice make -C "$work/gmp" -j"$(nproc)"
    step gmp-install make -C "$work/gmp" install
    touch "$numeric/gmp.done"
  fi
  if [ ! -e "$numeric/mpfr.done" ]; then
    too_long "MPFR" 8 && stop_before numeric
    rm -rf "$work"
    mkdir -p "$work/mpfr"
    src=$(unpack_source mpfr4 "$mpfr_version" "$work/mpfr-source")
    # The library and its header only: the manual would need makeinfo.
    step mpfr-configure env -C "$work/mpfr" nice "$src/configure" --host=$host CC=$host-gcc-posix \
      --prefix="$numeric" --with-gmp="$numeric" --enable-static --disable-shared
    step mpfr-make nice make -C "$work/mpfr/src" -j"$(nproc)"
    step mpfr-install make -C "$work/mpfr/src" install
    touch "$numeric/mpfr.done"
  fi
  rm -rf "$work"
  echo "GMP and MPFR in $numeric"
}

# GoogleTest from the sources Debian ships in the googletest package.
stage_googletest() {
  versions
  if [ -e "$gtest/done" ]; then
    echo "GoogleTest in $gtest"
    return
  fi
  rm -rf "$gtest" "$build/googletest"
  step gtest-configure cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest" \
    -DBUILD_GMOCK=OFF
  step gtest-build nice cmake --build "$build/googletest"
  step gtest-install cmake --install "$build/googletest"
  touch "$gtest/done"
  rm -rf "$build/googletest"
}

# True when the build NAME in DIR is there, or its packed archive could be unpacked there.
restored() {
  local name=$1 dir=$2
  if [ -e "$dir/done" ]; then
    echo "$name in $dir"
    return 0
  fi
  [ -e "$dir.tar.zst" ] && step "$name-unpack" unpack "$dir"
}

# Qt's DLLs: one set serves the program, the snapshot tool and every test program, each of which
# links in seconds. Only the modules the program, its tests and QCustomPlot use; Debian's own Qt tools
# of the same version (moc, rcc, uic) run on this machine. The build folder stays in the cache until
# the build is done, so that a run stopped by the deadline continues where it stopped.
stage_qt() {
  versions
  restored qt "$qt" && return
  # About 1,100 steps, 42 minutes of one processor's time: on two busy cores 30 to 45 minutes, and
  # a few more to install and pack. What is left of a stopped build takes its share of that.
  local work=$qt-build src need=50
  if [ -e "$work/build/build.ninja" ]; then
    need=$(($(ninja -C "$work/build" -n | grep -c '^\[' || true) * 45 / 1100 + 5))
    echo "Qt: continuing the build in $work/build, about $need minutes left"
  fi
  # A build that cannot finish in this run still starts, or goes on, when ten minutes are left: what
  # it finishes is kept. Less than that is not worth starting.
  if (($(seconds_left) < need * 60)); then
    too_long "the Qt build, even a part of it" 10 && stop_before qt
    echo "Qt: about $need minutes of work and less time than that in this run; it builds until the" \
      "deadline, and the next run continues"
  fi
  if [ ! -e "$work/build/build.ninja" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    src=$(unpack_source qt6-base "$qt_version" "$work/source")
    # Debian's +dfsg source has no Wacom tablet header (src/3rdparty/wintab), so no tablet events.
    # Without Direct2D the windows platform plugin does not link, so it stays. Qt names its own
    # toolchain files *qt.toolchain.cmake and refuses another so named; ours is not.
    step qt-configure nice cmake -S "$src" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKESTROVA_MINGW_STATIC_RUNTIME=OFF \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt" -DBUILD_SHARED_LIBS=ON \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
      -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF \
      -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_pkg_config=OFF \
      -DFEATURE_androiddeployqt=OFF -DFEATURE_jpeg=OFF \
      -DFEATURE_printsupport=ON -DFEATURE_testlib=ON -DFEATURE_widgets=ON
  fi
  # Stopped at the deadline, ninja keeps what it finished, and the next run continues from there.
  step qt-build until_deadline "the Qt build" nice cmake --build "$work/build"
  ((deadline_hit == 0)) || stop_before qt
  rm -rf "$qt"
  step qt-install cmake --install "$work/build" --strip
  touch "$qt/done"
  step qt-pack pack "$qt"
  rm -rf "$work"
}

# QCustomPlot as a DLL, from Debian's source package, with our small CMake project.
stage_qcustomplot() {
  versions
  restored qcustomplot "$qcp" && return
  [ -e "$qt/done" ] || { echo "QCustomPlot needs Qt: run the qt stage first" >&2; return 1; }
  too_long "QCustomPlot" 5 && stop_before qcustomplot
  local work=$build/qcustomplot src
  rm -rf "$qcp" "$work"
  src=$(unpack_source qcustomplot "$qcp_version" "$work/source")
  step qcustomplot-configure cmake -S "$root/cmake/qcustomplot" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKESTROVA_MINGW_STATIC_RUNTIME=OFF \
    "-DKESTROVA_MINGW_PREFIX=$qt" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qcp" -DQCUSTOMPLOT_SOURCE="$src"
  step qcustomplot-build nice cmake --build "$work/build"
  step qcustomplot-install cmake --install "$work/build" --strip
  touch "$qcp/done"
  step qcustomplot-pack pack "$qcp"
  rm -rf "$work"
}

# The DLLs a program of this build needs at run time: Qt's, QCustomPlot's and the MinGW run-time's.
runtime_dirs() {
  printf '%s\n' "$qt/bin" "$qcp/bin" "$(dirname "$($host-g++-posix -print-file-name=libstdc++-6.dll)")" \
    "/usr/$host/lib"
}

# Wine keeps its own Windows in a prefix of this build. The Mono and Gecko installers it would offer
# are not needed. One Wine server for the whole run, stopped on the way out, and Wine's own services
# started by wineboot with the log as their output: otherwise the first test program starts them,
# they keep its output pipe open, and GoogleTest's listing of the tests waits for them.
wine_up() {
  [ -z "${wine_running:-}" ] || return 0
  export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # A server still running in the prefix (a run stopped by hand, say) is used as it is.
  "$wineserver" -p 2>/dev/null || true
  trap '"$wineserver" -k 2>/dev/null || true' EXIT
  step wineboot "$wine" wineboot
  wine_running=1
}

stage_program() {
  versions
  [ -e "$qcp/done" ] || { echo "The program needs Qt and QCustomPlot: run their stages first" >&2; return 1; }
  # Cold, on two busy cores; a later run builds only what changed.
  too_long "the program and its tests" 30 && stop_before program
  # Qt's and QCustomPlot's packages are named, so that a new build of either in another folder of
  # the cache replaces the one an earlier configure found. GoogleTest's tests are listed when ctest
  # starts (PRE_TEST) rather than after each link, so the build itself runs nothing under Wine.
  # CTest starts the test programs through scripts/wine-run.sh, which passes on the Qt variables
  # that the tests set.
  step program-configure cmake -S "$root" -B "$build/program" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKESTROVA_MINGW_STATIC_RUNTIME=OFF \
    -DKESTROVA_WINE="$root/scripts/wine-run.sh" \
    -DQt6_DIR="$qt/lib/cmake/Qt6" -DQCustomPlotQt6_DIR="$qcp/lib/cmake/QCustomPlotQt6" \
    "-DKESTROVA_MINGW_PREFIX=$numeric;$gtest;$qt;$qcp" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_BUILD_TYPE=Release \
    -DKESTROVA_WERROR=ON -DKESTROVA_BENCH=OFF -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
  step program-build nice cmake --build "$build/program"
}

# Tests that this check does not run, each with its reason:
#  - label packaging: they check the Linux desktop files and the Debian package with Linux tools; the
#    native build runs them;
#  - app.X11.* and app.kestrova_starts_on_x11: they need an X display, a window manager or the
#    accessibility bus (xvfb-run, openbox, AT-SPI), which a Windows program does not use;
#  - app.kestrova_without_display_says_so: Windows always has a desktop, so the program never says
#    there is no display.
# Tests labelled wine-known fail only because of Wine (each says why where it is labelled); they
# run, and their results are shown, but do not fail the check.
excluded='^app\.(X11\..*|kestrova_starts_on_x11|kestrova_without_display_says_so)$'

stage_tests() {
  versions
  too_long "the tests under Wine" 25 && stop_before tests
  wine_up
  local status=0
  # Wine finds the DLLs through WINEPATH; offscreen, Qt draws text with its own FreeType and finds
  # the fonts in QT_QPA_FONTDIR.
  WINEPATH=$(runtime_dirs | sed 's|^|Z:|' | paste -sd';')
  # The test programs find Qt's Polish texts where Debian's qt6-translations-l10n keeps them, as the
  # Linux tests do, and the rest of Qt where it was built.
  find "$build/program" -name '*.exe' -printf '%h\n' | sort -u | while read -r dir; do
    printf '[Paths]\nPrefix = Z:%s\nTranslations = Z:/usr/share/qt6/translations\n' "$qt" >"$dir/qt.conf"
  done
  export WINEPATH QT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/dejavu
  # One test at a time: Wine keeps the user's locale in the prefix's registry, and a test program
  # started with another locale (the English-locale tests, or the ui tests with the machine's)
  # changes it under one that runs at the same time.
  step tests ctest --test-dir "$build/program" --output-on-failure --no-tests=error \
    -LE 'packaging|wine-known' -E "$excluded" || status=$?
  if ctest --test-dir "$build/program" -N -L wine-known | grep -q 'Total Tests: [1-9]'; then
    step tests-wine-known ctest --test-dir "$build/program" --output-on-failure -L wine-known \
      -LE packaging -E "$excluded" || true
  fi
  grep -h 'tests passed' "$logs"/tests*.log || true
  # The installer and its check do not depend on the tests: they still run, and the script's status
  # says that tests failed.
  tests_status=$status
}

# The folder that the installer installs and the zip holds: the program, the snapshot tool, the DLLs
# they load, Qt's plugins for the Windows desktop, for offscreen drawing and the Vista style, Qt's
# Polish texts, and DejaVu Sans, which Qt's offscreen platform needs (it has no access to Windows's
# fonts). qt.conf makes the folder Qt's prefix, so Qt finds the fonts in fonts/ and its texts in
# translations/ wherever the folder is.
deploy() {
  local dir=$1 dll
  rm -rf "$dir"
  mkdir -p "$dir/platforms" "$dir/styles" "$dir/translations" "$dir/fonts"
  cp "$build/program/src/app/kestrova.exe" "$build/program/src/snapshot/kestrova-snapshot.exe" "$dir/"
  for dll in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport; do
    cp "$qt/bin/$dll.dll" "$dir/"
  done
  cp "$qcp/bin/QCustomPlotQt6.dll" "$dir/"
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
    cp "$($host-g++-posix -print-file-name=$dll)" "$dir/"
  done
  cp "/usr/$host/lib/libwinpthread-1.dll" "$dir/"
  cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$dir/platforms/"
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dir/styles/"
  cp /usr/share/qt6/translations/qtbase_pl.qm "$dir/translations/"
  cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
    "$dir/fonts/"
  cp "$root/LICENSE" "$dir/LICENSE.txt"
  # Debian's MinGW run-time DLLs keep their debugging symbols (libstdc++ is 23 MB with them, 2 MB
  # without), and the programs are built without stripping.
  find "$dir" -maxdepth 1 \( -name '*.exe' -o -name 'lib*.dll' \) -exec $host-strip --strip-unneeded {} +
  printf '[Paths]\nPrefix = .\nLibraries = .\n' >"$dir/qt.conf"
  # No DLL that the programs load may be missing from the folder.
  local missing
  missing=$(deployed_imports "$dir" | while read -r dll; do
    [ -e "$dir/$dll" ] || echo "$dll"
  done)
  if [ -n "$missing" ]; then
    echo "DLLs the deployed programs need but the folder lacks: $missing" >&2
    return 1
  fi
  echo "$(du -sh "$dir" | cut -f1) in $dir"
}

# The DLLs that the folder's programs and DLLs import and Windows itself does not provide.
deployed_imports() {
  find "$1" -name '*.exe' -o -name '*.dll' | xargs $host-objdump -p | sed -n 's/^\tDLL Name: //p' |
    sort -u | grep -Eiv '^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|winmm|ws2_32|imm32|dwmapi|uxtheme|version|winspool\.drv|shlwapi|shcore|setupapi|netapi32|userenv|wtsapi32|d3d9|d3d11|d2d1|dwrite|dxgi|mpr|authz|msvcrt|api-ms-win-.*|comctl32)(\.dll)?$'
}

stage_package() {
  versions
  local version dist=$build/dist
  version=$(sed -n 's/^project(kestrova VERSION \([^ ]*\) .*/\1/p' "$root/CMakeLists.txt")
  rm -rf "$dist"
  mkdir -p "$dist"
  step deploy deploy "$dist/Kestrova"
  # The zip holds the folder itself, so that it unpacks into one folder.
  step zip sh -c "cd '$dist' && zip -qr9 'kestrova-$version-windows-x86_64.zip' Kestrova && du -h kestrova-*.zip"
  # The uninstaller removes exactly the files the installer put there, never a folder's other content.
  (cd "$dist/Kestrova" &&
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|' &&
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') \
    >"$dist/uninstall-files.nsh"
  step installer makensis -V2 -WX -DVERSION="$version" -DSOURCE="$dist/Kestrova" \
    -DFILES="$dist/uninstall-files.nsh" -DLICENSE="$root/LICENSE" \
    -DOUTFILE="$dist/kestrova-$version-setup.exe" "$root/packaging/windows/kestrova.nsi"
  du -h "$dist"/*.exe "$dist"/*.zip
}

# The installer under Wine, as a user would run it: a silent install, the installed program's
# version, the nine pictures drawn by the installed snapshot tool, a silent uninstall, and then no
# file, Start-menu entry or registry key of ours left. The installed programs run without this
# build's WINEPATH and font folder, so that they find only what the installer put there.
stage_install() {
  versions
  too_long "the install check" 5 && stop_before install
  wine_up
  local setup version left pictures before=$build/install-before.txt after=$build/install-after.txt
  local dir="$WINEPREFIX/drive_c/Program Files/Kestrova" shots=$build/install-pictures
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrova'
  local installed=(env -u WINEPATH -u QT_QPA_FONTDIR -u QT_QPA_PLATFORM "$wine")
  setup=$(find "$build/dist" -maxdepth 1 -name 'kestrova-*-setup.exe')
  version=$(sed -n 's/^project(kestrova VERSION \([^ ]*\) .*/\1/p' "$root/CMakeLists.txt")
  # Wine's own temporary files come and go; the uninstaller also leaves its copy there, which
  # Windows removes at the next start.
  list_drive() { find "$WINEPREFIX/drive_c" -path '*/Temp' -prune -o -print | sort; }
  list_drive >"$before"
  step install-silent "${installed[@]}" "$setup" /S
  step install-version "${installed[@]}" "$dir/kestrova.exe" --version
  # Windows ends the line with CR LF.
  tr -d '\r' <"$logs/install-version.log" | grep -qx "kestrova $version" ||
    { echo "The installed program does not say it is kestrova $version" >&2; return 1; }
  step install-registry "${installed[@]}" reg query "$key"
  grep -Eq "DisplayVersion +REG_SZ +$version" "$logs/install-registry.log" ||
    { echo "The uninstall entry does not name version $version" >&2; return 1; }
  [ -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrova.lnk" ] ||
    { echo "No Start-menu entry" >&2; return 1; }
  rm -rf "$shots"
  step install-pictures "${installed[@]}" "$dir/kestrova-snapshot.exe" "Z:$shots"
  pictures=$(find "$shots" -name '*.png' | wc -l)
  [ "$pictures" -eq 9 ] || { echo "The installed snapshot tool drew $pictures pictures, not 9" >&2; return 1; }
  # The uninstaller copies itself to the temporary folder, starts the copy and ends at once; the
  # copy has done its work when the folder and then the registry entry are gone (a minute at most:
  # then what is left is shown).
  step uninstall-silent "${installed[@]}" "$dir/uninstall.exe" /S
  local waited=0
  while { [ -e "$dir" ] || "$wine" reg query "$key" >/dev/null 2>&1; } && ((waited < 60)); do
    sleep 1
    waited=$((waited + 1))
  done
  if "$wine" reg query "$key" >/dev/null 2>&1; then
    echo "The uninstall entry is still in the registry" >&2
    return 1
  fi
  list_drive >"$after"
  left=$(comm -13 "$before" "$after")
  if [ -n "$left" ]; then
    echo "The uninstall left these behind:" >&2
    echo "$left" >&2
    return 1
  fi
  # How far the Windows pictures are from the Linux ones in docs/snapshots (for the README): the
  # share of pixels that differ, or the two sizes when they are not the same.
  local picture differing size linux
  for picture in "$shots"/*.png; do
    linux=$root/docs/snapshots/$(basename "$picture")
    size=$(identify -format '%w x %h' "$picture")
    if [ "$size" != "$(identify -format '%w x %h' "$linux")" ]; then
      echo "$(basename "$picture"): $size, on Linux $(identify -format '%w x %h' "$linux")"
      continue
    fi
    differing=$(compare -metric AE "$picture" "$linux" null: 2>&1 || true)
    echo "$(basename "$picture"): $differing pixels differ of $size," \
      "$(awk -v d="$differing" -v s="${size/ x /*}" 'BEGIN { split(s, a, "*"); printf "%.2f %%", 100 * d / (a[1] * a[2]) }')"
  done
  echo "Installed, answered --version, drew $pictures pictures, uninstalled leaving nothing behind"
}

tests_status=0
for s in "${stages[@]}"; do
  start=$SECONDS
  echo "=== stage $s"
  "stage_$s"
  stage_times+=("$(printf '%-28s %6d s  (stage)' "$s" $((SECONDS - start)))")
done
finish
if [ "$tests_status" -ne 0 ]; then
  echo "Tests failed under Wine: see $logs/tests.log" >&2
  exit "$tests_status"
fi
