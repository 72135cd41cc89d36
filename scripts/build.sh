#!/usr/bin/env bash
# Installs the toolchain when missing and builds Zembrolatix.dll and its tests into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake >/dev/null
cmake --build build -j"$(nproc)"
