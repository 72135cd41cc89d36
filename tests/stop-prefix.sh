#!/bin/sh
# Ends every Wine process of this build's test prefix once the tests that use it are done.
# usage: stop-prefix.sh BUILD_DIR
build=$1
. "$build/wine-env"
[ -d "$WINEPREFIX" ] || exit 0
"$WINESERVER" -k >/dev/null 2>&1 || true
echo "prefix stopped: $WINEPREFIX"
