#!/bin/sh
# Every member of every class in the type library (the list the build writes from it) has an entry
# "### <member>" on its class's page docs/classes/<Class>.md; the general pages exist.
# usage: check.sh BUILD_DIR
set -u
build=$1
docs=$(cd "$(dirname "$0")/../../docs" && pwd)
members="$build/types/members.txt"
[ -s "$members" ] || { echo "no member list: $members (built from the type library)"; exit 1; }
passed=0; failed=0
while read -r cls member; do
  page="$docs/classes/$cls.md"
  if grep -Eq "^### $member( |\$)" "$page" 2>/dev/null; then
    passed=$((passed + 1))
  else
    echo "missing: $cls.$member has no entry in docs/classes/$cls.md"; failed=$((failed + 1))
  fi
done < "$members"
for page in README.md storage-and-safety.md; do
  if [ -s "$docs/$page" ]; then passed=$((passed + 1)); else echo "missing: docs/$page"; failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
