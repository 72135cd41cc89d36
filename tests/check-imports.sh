#!/bin/sh
# Each DLL named must be a Windows DLL that imports only system DLLs (the C and C++ runtimes are
# linked in) and exports the module's entry points by name.
set -eu
checked=0
for dll in "$@"; do
  kind=$(file -b "$dll")
  case "$kind" in
    "PE32 executable (DLL)"*"Intel 80386"*) objdump=i686-w64-mingw32-objdump ;;
    "PE32+ executable (DLL)"*"x86-64"*) objdump=x86_64-w64-mingw32-objdump ;;
    *) echo "not a Windows DLL: $dll: $kind"; exit 1 ;;
  esac
  imports=$($objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$dll ($kind) imports:" $imports
  allowed='^(kernel32|user32|advapi32|ole32|oleaut32|shell32|shlwapi|urlmon|comdlg32|version|gdi32|msvcrt)\.dll$'
  bad=$(echo "$imports" | grep -v -E "$allowed" || true)
  if [ -n "$bad" ]; then echo "unexpected imports: $bad"; exit 1; fi
  exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for e in DllMain DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer DllInstall; do
    echo "$exports" | grep -q "\] $e\$" || { echo "missing export $e in $dll"; exit 1; }
  done
  checked=$((checked + 1))
done
echo "$checked passed, 0 failed"
