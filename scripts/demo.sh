#!/usr/bin/env bash
# From a fresh machine: builds the library, registers it in a Wine prefix of its own and runs a
# short script that creates every class and prints what it answers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
tests/make-prefix.sh "$PWD/build64" "$PWD/build64/Zembrolatix.dll"
build64/wine-run cscript.exe //nologo "Z:$(echo "$PWD/demo/sample.js" | sed 's#/#\\#g')"
