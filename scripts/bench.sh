#!/usr/bin/env bash
# Runs the benchmarks under bench/ (JScript run by Wine's cscript in the build's prefix) and prints
# what each measures. Not part of the tests. usage: scripts/bench.sh [name-filter]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
[ -d build64/prefix ] || tests/make-prefix.sh "$PWD/build64" "$PWD/build64/Zembrolatix.dll"
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
for js in bench/*.js; do
  case "$js" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $js"
  build64/wine-run cscript.exe //nologo "$(to_win "$PWD/$js")" "$(to_win "$PWD/build64")" "$(to_win "$PWD/bench")"
done
