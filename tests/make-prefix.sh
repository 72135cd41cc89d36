#!/bin/sh
# Makes this run's own 32-bit Wine prefix and registers the library in it.
# usage: make-prefix.sh BUILD_DIR DLL
set -eu
build=$1
dll=$2
prefix="$build/prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
# No display here: use Wine's null display driver so windows and dialogs can be created.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# Test programs that must see the ordinary (pre-Vista) storage locations run under this name.
wine reg add 'HKCU\Software\Wine\AppDefaults\tests_xp.exe' /v Version /d winxp /f >/dev/null 2>&1
"$build/wine-run" regsvr32 /s "$dll"
rc=$?
wineserver -w
echo "prefix ready: $prefix (regsvr32 exit $rc)"
exit $rc
