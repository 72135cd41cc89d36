#!/usr/bin/env bash
# From a fresh machine: installs what is missing, builds, and runs every test (C++ and JScript) of each
# width this host can run, each in a Wine prefix of its own made for the run with the library
# registered in it: the 64-bit build always, the shipped 32-bit DLL whenever the host runs 32-bit
# programs. A failure in either width fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-prefixes.sh
# Whatever happens, no Wine process of the run keeps going once it ends.
trap 'stop_wine_prefixes build build64' EXIT
bash scripts/build.sh
# The release files (dist/): the installer test of the 32-bit build installs this package.
bash scripts/package.sh
. scripts/win32-host.sh

status=0
summary=()
# run_suite DIR LABEL: every test CTest registers in the build folder DIR.
run_suite() {
  echo "== $2: every test of $1/"
  if (cd "$1" && ctest --output-on-failure --no-tests=error -j"$(nproc)" --timeout 900); then
    summary+=("$2: passed")
  else
    summary+=("$2: FAILED")
    status=1
  fi
  stop_wine_prefixes "$1"
}

run_suite build64 "64-bit build (x86_64, 64-bit Wine)"
if win32_host_runs; then
  run_suite build "shipped 32-bit DLL (i686, 32-bit Wine)"
else
  summary+=("shipped 32-bit DLL (i686): skipped, because $WIN32_HOST_REASON")
fi
echo "== widths tested"
printf '%s\n' "${summary[@]}"
exit $status
