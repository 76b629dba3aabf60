#!/bin/sh
# Runs a Windows program under Wine's 64-bit loader with the Qt variables of the environment:
#   scripts/wine-run.sh PROGRAM.exe ARGUMENT...
# Wine keeps every QT_* variable of the Linux environment from Windows programs (they are meant for
# the Linux Qt) and passes WINEQT_* on as QT_*; the tests set QT_QPA_PLATFORM, QT_SCALE_FACTOR and
# the like for the program they start, so each is passed on under that name. The Windows build's
# CTest runs every test program through this (KESTROVA_WINE in cmake/x86_64-w64-mingw32.cmake).
# A POSIX shell rather than bash: bash warns on its error output of a locale that the tests name
# (pl_PL.UTF-8) but the machine has not made, and the tests read that output.
set -eu
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  value=$(printenv "$name")
  export "WINE$name=$value"
done
exec "${KESTROVA_WINE_LOADER:-/usr/lib/wine/wine64}" "$@"
