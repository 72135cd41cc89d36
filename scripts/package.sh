#!/usr/bin/env bash
# Builds the release files of the shipped 32-bit DLL into dist/:
#   dist/Zembrolatix-<version>.msi  the installer package (per machine; ALLUSERS=2 MSIINSTALLPERUSER=1
#                                   for the current user), registry entries in its own Registry table
#   dist/Zembrolatix-<version>.zip  Zembrolatix.dll, compat/xpcom.js, types/*.d.ts and docs/
# The version is the project's (CMakeLists.txt). Needs no Wine: the i686 build and wixl run natively.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-prefixes.sh
bash scripts/setup.sh
. scripts/win32-host.sh
# The same configuration scripts/build.sh gives build/ (tests only where 32-bit programs run).
tests32=OFF
if win32_host_runs; then tests32=ON; fi
cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DZEMBROLATIX_TESTS=$tests32 >/dev/null
cmake --build build -j"$(nproc)" --target dist
version=$(cat build/installer/version.txt)
rm -rf dist
mkdir -p dist
cp "build/dist/Zembrolatix-$version.msi" "build/dist/Zembrolatix-$version.zip" dist/
echo "dist/: $(cd dist && echo *)"
