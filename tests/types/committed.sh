#!/bin/sh
# The declarations committed under types/ (for script authors without a build) are the ones the build
# generates from the type library.
# usage: committed.sh BUILD_DIR
set -u
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
generated="$build/types/zembrolatix.d.ts"
committed="$root/types/zembrolatix.d.ts"
[ -s "$generated" ] || { echo "not generated: $generated"; exit 1; }
if cmp -s "$generated" "$committed"; then
  echo "types/zembrolatix.d.ts matches the generated declarations"
  echo "1 passed, 0 failed"
  exit 0
fi
diff -u "$committed" "$generated" | head -n 40
echo "types/zembrolatix.d.ts differs from the declarations the build generates from the type library."
echo "Refresh it: cp '$generated' '$committed'  (then commit it)"
echo "0 passed, 1 failed"
exit 1
