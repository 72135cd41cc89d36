#!/usr/bin/env bash
# From a fresh machine: installs what is missing, builds, makes a Wine prefix for this run,
# registers the library in it and runs every test (C++ and JScript).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build64
ctest --output-on-failure -j"$(nproc)" --timeout 900
