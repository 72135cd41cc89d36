#!/usr/bin/env bash
# Installs the toolchain when missing and builds:
#   build/    the shipped 32-bit Zembrolatix.dll (i686), with its tests when this host runs 32-bit
#             programs (they run under 32-bit Wine)
#   build64/  the same sources for 64-bit Windows with the tests, run under 64-bit Wine
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/win32-host.sh
tests32=OFF
if win32_host_runs; then tests32=ON; fi
cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DZEMBROLATIX_TESTS=$tests32 >/dev/null
cmake --build build -j"$(nproc)"
cmake -S . -B build64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake \
      -DZEMBROLATIX_SHIPPED_DLL="$PWD/build/Zembrolatix.dll" >/dev/null
cmake --build build64 -j"$(nproc)"
