#!/usr/bin/env bash
# Builds one fuzz target of the plain text rules natively (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time.
#   run.sh WORKDIR TARGET SECONDS
# The inputs kept in tests/fuzz/regressions/TARGET (inputs that once failed) and tests/fuzz/corpus/TARGET
# (inputs that reach new code) run first and seed the run; new inputs go to a scratch copy under
# WORKDIR. A failure leaves its input in WORKDIR/TARGET/ and fails the run: once fixed, copy the input
# into tests/fuzz/regressions/TARGET so it is replayed by every later run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$1" target="$2" seconds="$3"

declare -A sources=(
  [properties]="src/bundles/Properties.cpp"
  [resource_url]="src/bundles/ResourceUrl.cpp"
  [path_rules]="src/files/PathRules.cpp"
  [registrar]="src/module/RegistrarScript.cpp"
  [xml_declaration]="src/xml/XmlDeclaration.cpp"
)
[ -n "${sources[$target]:-}" ] || { echo "unknown fuzz target: $target" >&2; exit 2; }

out="$work/$target"
mkdir -p "$out/corpus"
binary="$out/${target}_fuzz"
srcs=("$here/${target}_fuzz.cpp")
for s in ${sources[$target]}; do srcs+=("$root/$s"); done
clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" -I"$here/shim" -I"$here" "${srcs[@]}" -o "$binary"

for kept in "$here/regressions/$target" "$here/corpus/$target"; do
  if [ -d "$kept" ]; then cp -f "$kept"/* "$out/corpus/" 2>/dev/null || true; fi
done
log="$out/run.log"
set +e
"$binary" "$out/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -artifact_prefix="$out/" -print_final_stats=1 >"$log" 2>&1
status=$?
set -e
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
echo "fuzz $target: ${runs:-?} executions in ${seconds} s, exit $status"
if [ $status -ne 0 ]; then
  tail -n 60 "$log"
  echo "the failing input is in $out/ (keep it in tests/fuzz/regressions/$target once fixed)"
fi
exit $status
