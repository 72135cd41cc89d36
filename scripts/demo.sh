#!/usr/bin/env bash
# From a fresh machine: builds the library, registers it in a Wine prefix of its own and runs the
# demo application, a notes keeper written as XPCOM script over compat/xpcom.js, then a tour of the
# windows (demo/windows.js). It runs the shipped 32-bit DLL when this host runs 32-bit programs, the
# 64-bit build otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-prefixes.sh
trap 'stop_wine_prefixes build build64' EXIT
bash scripts/build.sh
. scripts/win32-host.sh
if win32_host_runs; then
  dir=build
  echo "Demo on the shipped 32-bit DLL (build/Zembrolatix.dll) under 32-bit Wine."
else
  dir=build64
  echo "Demo on the 64-bit build (build64/Zembrolatix.dll) under 64-bit Wine: $WIN32_HOST_REASON."
fi
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
tests/make-prefix.sh "$PWD/$dir" "$PWD/$dir/Zembrolatix.dll"
demo/notes/run.sh "$PWD/$dir"
"$dir/wine-run" cscript.exe //nologo "$(to_win "$PWD/demo/windows.js")" \
  "$(to_win "$PWD/$dir/tests/doubles/zbt_pages.dll")"
