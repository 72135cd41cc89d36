#!/bin/sh
# Compiles the sample against the declarations generated in the build (it must compile with
# --strict) and the misuse file (each line marked "// error TSnnnn" must be refused with that code,
# and nothing else may be reported).
# usage: check.sh BUILD_DIR
set -u
build=$1
here=$(cd "$(dirname "$0")" && pwd)
tsc="$here/../../node_modules/.bin/tsc"
[ -x "$tsc" ] || { echo "TypeScript is not installed: run scripts/setup.sh"; exit 1; }
opts="--noEmit --strict --target es2015 --lib es2015,scripthost --types"
failed=0
if "$tsc" $opts "$build/types/xpcom.d.ts" "$here/sample.ts"; then
  echo "sample: compiles"
else
  echo "sample: FAILED to compile"; failed=1
fi
out=$("$tsc" $opts --pretty false "$build/types/xpcom.d.ts" "$here/misuse.ts" 2>&1)
expected=$(grep -n '// error TS' "$here/misuse.ts" | sed 's/^\([0-9]*\):.*\(TS[0-9]*\)$/\1 \2/')
reported=$(printf '%s\n' "$out" | sed -n 's/^.*misuse\.ts(\([0-9]*\),[0-9]*): error \(TS[0-9]*\):.*$/\1 \2/p' | sort -u)
if [ "$(printf '%s\n' "$expected" | sort -u)" = "$reported" ]; then
  echo "misuse: every marked line refused, nothing else ($(printf '%s\n' "$expected" | wc -l) errors)"
else
  printf 'misuse: expected (line code)\n%s\nreported\n%s\n' "$expected" "$out"; failed=1
fi
[ $failed -eq 0 ] && echo "2 passed, 0 failed"
exit $failed
