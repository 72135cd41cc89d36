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
rc=0
"$build/wine-run" regsvr32.exe /s "$dll" || rc=$?
# The browser stand-in answers for InternetExplorer.Application in this prefix (tests only).
"$build/wine-run" regsvr32.exe /s "$build/tests/doubles/zbt_browser.dll" || rc=$?
echo "prefix ready: $WINEPREFIX (regsvr32 exit $rc)"
exit $rc
