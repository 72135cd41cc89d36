#!/bin/sh
# Runs typelib-dump under Wine at build time, in a prefix of its own under the build folder
# (<build>/tools-prefix): the test prefix is deleted and made again by every test run, so build
# steps never use it.
# usage: generate.sh BUILD_DIR WINE_LOADER TOOL.exe LIBRARY.tlb PREFIX OUT_DIR
set -eu
build=$1; wine=$2; tool=$3; tlb=$4; prefix=$5; out=$6
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
export WINEPREFIX="$build/tools-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$out/types" "$out/docs"
# Wine's background processes start detached, so they do not hold the build tool's output pipe open;
# the first start in a new prefix sets it up (about ten seconds, once).
/usr/lib/wine/wineserver -p 30 </dev/null >/dev/null 2>&1 || true
"$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
"$wine" "$tool" "$(to_win "$tlb")" "$prefix" "$(to_win "$out/types/zembrolatix.d.ts")" \
  "$(to_win "$out/types/members.txt")" "$(to_win "$out/docs/signatures.md")"
