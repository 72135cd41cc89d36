#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

# ccache keeps compiled objects between builds and work trees.
# wixl builds the installer package (scripts/package.sh); msitools' msibuild finishes its tables.
# clang and its sanitizer runtimes build the fuzz targets of the text rules natively.
# The shipped DLL is 32-bit (i686); the tests run a 64-bit build under 64-bit Wine, because some
# hosts of this kind run no 32-bit Linux code. wine32:i386 is installed for its 32-bit type libraries.
packages=(wine wine64 wine32:i386 libwine-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          mingw-w64-tools cmake ninja-build googletest python3 file clang libclang-rt-14-dev ccache
          wixl msitools)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Node.js runs the TypeScript compiler that checks the generated declarations; Debian's packages are
# used only where no node is installed.
command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# TypeScript, at the version package-lock.json names, into node_modules/.
cd "$(dirname "$0")/.."
locked=$(node -p "require('./package-lock.json').packages['node_modules/typescript'].version")
installed=$(node -p "require('./node_modules/typescript/package.json').version" 2>/dev/null || true)
if [ "$locked" != "$installed" ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
