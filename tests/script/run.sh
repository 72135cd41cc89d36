#!/bin/sh
# Runs one JScript test under the build's Wine prefix with Wine's 32-bit cscript.
# cscript says nothing about a syntax error or an uncaught error, so the test passes only when it
# prints its own closing line "N passed, 0 failed".
# usage: run.sh BUILD_DIR TEST.js [arguments...]
set -u
build=$1; js=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$js" .js)
work="$build/script-tests"
mkdir -p "$work"
combined="$work/$name.js"
# A test whose first line is "// prepend: FILE" runs after FILE (a path below the repository root).
prepend=$(sed -n '1s#^// prepend: *##p' "$js")
{ [ -z "$prepend" ] || { cat "$here/../../$prepend"; echo; }
  cat "$here/lib/assert.js"; echo; cat "$js"; echo; echo "finish();"; } > "$combined"
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
# Arguments seen by the script: the build folder and the test source folder, as Windows paths.
out=$("$build/wine-run" cscript.exe //nologo "$(to_win "$combined")" "$(to_win "$build")" "$(to_win "$here")" "$@" 2>&1)
rc=$?
printf '%s\n' "$out"
summary=$(printf '%s\n' "$out" | tr -d '\r' | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n 1)
if [ -z "$summary" ]; then
  echo "no closing line: the script stopped early (syntax error or uncaught error)"
  exit 1
fi
case "$summary" in
  *" passed, 0 failed") [ $rc -eq 0 ] || { echo "cscript exit $rc"; exit 1; } ;;
  *) exit 1 ;;
esac
