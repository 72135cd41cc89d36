#!/bin/sh
# Runs typelib-dump under Wine at build time, in a prefix of its own under the build folder
# (<build>/tools-prefix): the test prefix is deleted and made again by every test run, so build
# steps never use it. The prefix's width follows the Wine loader given, whatever the caller's shell
# exports; a prefix of the other width (made by an earlier run with another setting) is made anew.
# usage: generate.sh BUILD_DIR WINE_LOADER TOOL.exe LIBRARY.tlb PREFIX OUT_DIR
set -eu
build=$1; wine=$2; tool=$3; tlb=$4; prefix=$5; out=$6
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
export WINEPREFIX="$build/tools-prefix"
case "$wine" in
  *64) export WINEARCH=win64 ;;
  *) export WINEARCH=win32 ;;
esac
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINESERVER=/usr/lib/wine/wineserver
unset DISPLAY WAYLAND_DISPLAY
if [ -d "$WINEPREFIX" ] && ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg" 2>/dev/null; then
  echo "generate.sh: $WINEPREFIX is not a $WINEARCH prefix (or is incomplete): making it anew"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$out/types" "$out/docs"
# Wine's background processes start detached, so they do not hold the build tool's output pipe open;
# the first start in a new prefix sets it up (about ten seconds, once).
"$WINESERVER" -p 30 </dev/null >/dev/null 2>&1 || true
"$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
status=0
"$wine" "$tool" "$(to_win "$tlb")" "$prefix" "$(to_win "$out/types/zembrolatix.d.ts")" \
  "$(to_win "$out/types/members.txt")" "$(to_win "$out/docs/signatures.md")" || status=$?
# Nothing of the prefix keeps running after the build step.
"$WINESERVER" -k >/dev/null 2>&1 || true
exit $status
