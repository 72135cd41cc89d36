#!/usr/bin/env bash
# From a fresh machine: builds the library, registers it in a Wine prefix of its own and runs the
# demo application, a notes keeper written as XPCOM script over compat/xpcom.js (then demo/windows.js,
# when present).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
tests/make-prefix.sh "$PWD/build64" "$PWD/build64/Zembrolatix.dll"
demo/notes/run.sh "$PWD/build64"
if [ -f demo/windows.js ]; then
  build64/wine-run cscript.exe //nologo "Z:$(echo "$PWD/demo/windows.js" | sed 's#/#\\#g')"
fi
