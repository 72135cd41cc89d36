#!/usr/bin/env bash
# Runs every fuzz target of the text rules for longer than the test suite does (default 600 s each,
# or the number of seconds given), then folds what the runs found into tests/fuzz/corpus, keeping
# only inputs that add coverage. A failure stops with its input under build64/fuzz-long/<target>/;
# once fixed, the input belongs in tests/fuzz/regressions/<target>/.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(properties resource_url path_rules registrar xml_declaration)
work="$PWD/build64/fuzz-long"
for t in "${targets[@]}"; do
  bash tests/fuzz/run.sh "$work" "$t" "$seconds"
  merged="$work/$t/merged"
  rm -rf "$merged" && mkdir -p "$merged"
  "$work/$t/${t}_fuzz" -merge=1 "$merged" "tests/fuzz/corpus/$t" "$work/$t/corpus" >/dev/null 2>&1
  rm -f "tests/fuzz/corpus/$t"/* && cp "$merged"/* "tests/fuzz/corpus/$t/"
  echo "fuzz $t: $(ls "tests/fuzz/corpus/$t" | wc -l) inputs kept in tests/fuzz/corpus/$t"
done
