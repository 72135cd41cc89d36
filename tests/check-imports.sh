#!/bin/sh
# The library may import only Windows system DLLs: the C and C++ runtimes are linked in.
set -eu
dll=$1
file "$dll" | grep -q 'PE32 executable (DLL).*Intel 80386' || { echo "not a PE32 i386 DLL: $(file "$dll")"; exit 1; }
imports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports:"; echo "$imports"
allowed='^(kernel32|user32|advapi32|ole32|oleaut32|shell32|shlwapi|urlmon|comdlg32|version|gdi32|msvcrt|api-ms-win-crt-.*|ntdll)\.dll$'
bad=$(echo "$imports" | grep -v -E "$allowed" || true)
if [ -n "$bad" ]; then echo "unexpected imports: $bad"; exit 1; fi
exports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for e in DllMain DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer DllInstall; do
  echo "$exports" | grep -q "\] $e\$" || { echo "missing export $e"; exit 1; }
done
echo "1 passed, 0 failed"
