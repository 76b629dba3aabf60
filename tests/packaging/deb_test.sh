#!/usr/bin/env bash
# Builds the Debian package with CPack into a temporary folder, unpacks it into a temporary root and checks
# its files and its dependencies:
#   deb_test.sh CPACK BUILD_DIR APP_ID
set -euo pipefail
cpack=$1
build=$2
app_id=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

# -B keeps CPack's staging tree and the package out of the build folder, so parallel runs do not meet.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
shopt -s nullglob
debs=("$work"/out/kestrova_*.deb)
if [ "${#debs[@]}" != 1 ]; then
  cat "$work/cpack.log"
  echo "FAILED: expected one kestrova_*.deb, found: ${debs[*]:-none}"
  exit 1
fi
deb=${debs[0]}
echo "built $(basename "$deb")"

status=0
field() { dpkg-deb -f "$deb" "$1"; }

if [ "$(field Package)" != kestrova ]; then
  echo "FAILED: package name is '$(field Package)'"
  status=1
fi

dpkg-deb -x "$deb" "$work/root"
for path in usr/bin/kestrova \
            "usr/share/applications/$app_id.desktop" \
            usr/share/icons/hicolor/scalable/apps/kestrova.svg \
            "usr/share/metainfo/$app_id.metainfo.xml" \
            usr/share/doc/kestrova/copyright \
            usr/share/doc/kestrova/changelog.gz \
            usr/share/man/man1/kestrova.1.gz; do
  if [ -s "$work/root/$path" ]; then
    echo "ok       /$path"
  else
    echo "MISSING  /$path"
    status=1
  fi
done
if [ ! -x "$work/root/usr/bin/kestrova" ]; then
  echo "FAILED: /usr/bin/kestrova is not executable"
  status=1
fi

# dpkg-shlibdeps derives Depends from the libraries the program links: Qt 6 Widgets and QCustomPlot's
# Qt 6 build must be there, and Qt's translations, which the program loads by itself. QCustomPlot's
# Qt 5 build would bring Qt 5 along.
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqcustomplot2.1-qt6 qt6-translations-l10n; do
  if ! grep -Eq "(^|, )$lib( |,|$)" <<<"$depends"; then
    echo "FAILED: Depends does not name $lib"
    status=1
  fi
done
if grep -Eq "(^|, )(libqcustomplot2.1|libqt5[a-z0-9]*)( |,|$)" <<<"$depends"; then
  echo "FAILED: Depends names Qt 5 libraries"
  status=1
fi

# Debian's own checker of packages, where it is installed: no error and no warning.
if command -v lintian >/dev/null; then
  if lintian --fail-on error,warning "$deb"; then
    echo "lintian: no error, no warning"
  else
    echo "FAILED: lintian reports errors or warnings"
    status=1
  fi
else
  echo "lintian is not installed: the package was not checked by it"
fi

if [ "$status" != 0 ]; then
  echo "package contents:"
  dpkg-deb -c "$deb"
fi
exit "$status"
