#!/bin/sh
# Makes this run's own Wine prefix and registers the library in it.
# usage: make-prefix.sh BUILD_DIR DLL
set -eu
build=$1
dll=$2
. "$build/wine-env"
"$WINESERVER" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
"$WINE" wineboot.exe -i >/dev/null 2>&1
# No display here: use Wine's null display driver so windows and dialogs can be created.
"$WINE" reg.exe add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# The desktop started by wineboot had no driver yet: restart so windows can be created from here on.
"$WINESERVER" -k >/dev/null 2>&1 || true
# The script host copy that must see the ordinary (pre-Vista) storage locations runs under this name
# (tests/script/directoryservice.js); the C++ tests choose that mode explicitly (tests/support/TestMain.h).
"$WINE" reg.exe add 'HKCU\Software\Wine\AppDefaults\cscript_xp.exe' /v Version /d winxp /f >/dev/null 2>&1
# Processes started by wineboot (the desktop among them) came up without a display driver: restart them.
"$WINESERVER" -k >/dev/null 2>&1 || true
rc=0
"$build/wine-run" regsvr32.exe /s "$dll" || rc=$?
# The browser stand-in answers for InternetExplorer.Application in this prefix (tests only).
"$build/wine-run" regsvr32.exe /s "$build/tests/doubles/zbt_browser.dll" || rc=$?
echo "prefix ready: $WINEPREFIX (regsvr32 exit $rc)"
exit $rc
