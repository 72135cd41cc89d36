#!/usr/bin/env bash
# Installs the release package (dist target of the 32-bit build) with Wine's msiexec into fresh
# prefixes of its own and checks what it leaves behind.
#   machine  per machine: files and registry entries, every class created by ProgID from cscript, the
#            demo application against the installed DLL, the registry equal to what DllRegisterServer
#            writes, and after msiexec /x the registry and files as before, the user's data kept
#   user     per user (ALLUSERS=2 MSIINSTALLPERUSER=1): class entries below HKCU\Software\Classes, equal
#            to what DllInstall "user" writes; after msiexec /x nothing left
#   upgrade  the next version installed over this one: one product left, the new DLL registered
# usage: check.sh BUILD_DIR machine|user|upgrade   (exit 77: skipped, the host runs no 32-bit programs)
# The package and the demo's module are built first (CTest: the test installer.package).
set -u
build=$(cd "$1" && pwd); mode=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/win32-host.sh"
if ! win32_host_runs; then
  echo "skipped: the package holds the 32-bit DLL, and $WIN32_HOST_REASON"
  exit 77
fi
version=$(cat "$build/installer/version.txt")
msi="$build/dist/Zembrolatix-$version.msi"
stage="$build/installer/Zembrolatix-$version"
work="$build/installer-test/$mode"
WINE=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver
# Every Wine setting of the run is set here, whatever the caller's shell exports.
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINESERVER
unset DISPLAY WAYLAND_DISPLAY
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
installed='C:\Program Files\Zembrolatix\Zembrolatix.dll'
installed_dir="$WINEPREFIX/drive_c/Program Files/Zembrolatix"

passed=0; failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }
# expect NAME COMMAND...: the command succeeds.
expect() { local name=$1; shift; if "$@"; then pass "$name"; else fail "$name"; fi; }
finish() { echo "$passed passed, $failed failed"; [ $failed -eq 0 ]; exit $?; }

make_prefix() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$work" && mkdir -p "$work"
  "$WINE" wineboot.exe -i >/dev/null 2>&1
  "$WINE" reg.exe add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$WINESERVER" -k >/dev/null 2>&1 || true
}
# snap NAME: the machine's and the user's registry (one UTF-8 text) and the files of drive C.
snap() {
  local hive
  : > "$work/$1.reg"
  for hive in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    "$WINE" regedit.exe /e "$(to_win "$work/$1.part")" "$hive" >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$work/$1.part" >> "$work/$1.reg"
  done
  rm -f "$work/$1.part"
  # The installer service's own folder of cached packages and Wine's temporary files are not compared.
  (cd "$WINEPREFIX/drive_c" && find . ! -path './windows/Installer*' ! -path './users/*/Temp/*' \
     ! -path './windows/temp/*' | sort) > "$work/$1.files"
}
changes() { python3 "$here/regdiff.py" changes "$work/$1.reg" "$work/$2.reg"; }
msiexec() { "$WINE" msiexec.exe "$@" >/dev/null 2>&1; }
nothing() { [ ! -s "$1" ] || { head -n 20 "$1"; false; }; }

# The version-independent ProgIDs of the classes, from the coclasses of the interface description.
progids=$(sed -n "s/.*\bcoclass[[:space:]]\+\([A-Za-z]*\)[[:space:]]*{.*/Zembrolatix.\1/p" "$root"/idl/Zembrolatix.idl | sort)
run_script() { # SCRIPT ARGS...: a JScript test (with the shared assertions) run by cscript
  local js=$1; shift
  local combined="$work/$(basename "$js")"
  { cat "$root/tests/script/lib/assert.js"; echo; cat "$js"; echo; echo "finish();"; } > "$combined"
  local out; out=$("$WINE" cscript.exe //nologo "$(to_win "$combined")" "$@" 2>&1 | tr -d '\r')
  printf '%s\n' "$out"
  printf '%s\n' "$out" | grep -qE '^[0-9]+ passed, 0 failed$'
}
create_classes() { run_script "$here/create.js" $progids; }
# The registration the module itself writes, into the same place: DllRegisterServer (or DllInstall "user").
self_register() {
  mkdir -p "$installed_dir" && cp "$stage/Zembrolatix.dll" "$installed_dir/"
  "$WINE" regsvr32.exe /s "$@" "$installed" >/dev/null 2>&1
}

case "$mode" in
machine)
  make_prefix
  snap before
  expect "msiexec /i installs per machine" msiexec /i "$(to_win "$msi")" /qn
  snap installed
  expect "every release file is installed" \
    diff <(cd "$stage" && find . -type f | sort) <(cd "$installed_dir" && find . -type f | sort)
  changes before installed > "$work/install.changes"
  expect "the install removes or changes nothing that was there" nothing <(grep '^- ' "$work/install.changes")
  expect "class entries below HKEY_LOCAL_MACHINE\\Software\\Classes" \
    grep -q '^+ hkey_local_machine\\software\\classes\\zembrolatix.localfile\\curver	@	"Zembrolatix.LocalFile.1"$' \
    "$work/install.changes"
  expect "every class is created by ProgID from cscript" create_classes
  # The demo application, run as its own installer would set it up, against the installed DLL; what it
  # leaves (preferences, notes in the private data folder) is the user's data.
  mkdir -p "$work/demo-build/demo"
  cp "$build/demo/zbx_notes.dll" "$work/demo-build/demo/"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$WINE" > "$work/demo-build/wine-run" && chmod +x "$work/demo-build/wine-run"
  expect "the demo application runs against the installed DLL" "$root/demo/notes/run.sh" "$work/demo-build"
  snap used
  changes installed used | grep '^+ ' > "$work/user-data.changes"
  comm -13 "$work/installed.files" "$work/used.files" > "$work/user-data.files"
  expect "the demo left user data to keep" test -s "$work/user-data.changes" -a -s "$work/user-data.files"
  expect "msiexec /x uninstalls" msiexec /x "$(to_win "$msi")" /qn
  snap removed
  changes before removed > "$work/left.changes"
  expect "after uninstall the registry is as before, but for the user's data" \
    diff <(grep '^+ ' "$work/left.changes") "$work/user-data.changes"
  # Values the script host itself changed while the package was in use (Wine registers type libraries
  # of its own components when they are first used) are not the package's.
  expect "the uninstall removes nothing that was there" \
    nothing <(grep '^- ' "$work/left.changes" | cut -f1 | sed 's/^- //' |
              grep -vxF -f <(cut -f1 "$work/user-data.changes" | sed 's/^+ //'))
  expect "after uninstall the files are as before, but for the user's data" \
    diff <(comm -13 "$work/before.files" "$work/removed.files") "$work/user-data.files"
  expect "self-registration works in the same place" self_register
  snap registered
  expect "the package writes the registry entries DllRegisterServer writes" \
    python3 "$here/regdiff.py" same "$work/before.reg" "$work/installed.reg" "$work/removed.reg" "$work/registered.reg"
  ;;
user)
  make_prefix
  snap before
  expect "msiexec /i installs per user" msiexec /i "$(to_win "$msi")" /qn ALLUSERS=2 MSIINSTALLPERUSER=1
  snap installed
  changes before installed > "$work/install.changes"
  expect "class entries below HKEY_CURRENT_USER\\Software\\Classes" \
    grep -q '^+ hkey_current_user\\software\\classes\\zembrolatix.localfile\\curver	@	"Zembrolatix.LocalFile.1"$' \
    "$work/install.changes"
  expect "no class entries below HKEY_LOCAL_MACHINE\\Software\\Classes" \
    nothing <(grep -i '^+ hkey_local_machine\\software\\classes\\\(zembrolatix\|clsid\|typelib\)' "$work/install.changes")
  expect "the install removes or changes nothing that was there" nothing <(grep '^- ' "$work/install.changes")
  expect "msiexec /x uninstalls" msiexec /x "$(to_win "$msi")" /qn ALLUSERS=2 MSIINSTALLPERUSER=1
  snap removed
  expect "after uninstall the registry is as before" nothing <(changes before removed)
  expect "after uninstall the files are as before" diff "$work/before.files" "$work/removed.files"
  expect "DllInstall \"user\" works in the same place" self_register /n /i:user
  snap registered
  # Under Wine the type library and the categories of a per-user registration land machine-wide (see
  # regdiff.py); on Windows they are below the user's classes, where the package writes them.
  expect "the package writes the registry entries DllInstall \"user\" writes" \
    python3 "$here/regdiff.py" same "$work/before.reg" "$work/installed.reg" "$work/removed.reg" "$work/registered.reg" \
    --wine-user
  ;;
upgrade)
  make_prefix
  # Version N+1: the same package with the next patch number, and a DLL whose version resource says so.
  IFS=. read -r major minor patch <<< "$version"
  next="$major.$minor.$((patch + 1))"
  rm -rf "$work/next" && mkdir -p "$work/next" && cp -r "$stage" "$work/next/stage"
  python3 - "$work/next/stage/Zembrolatix.dll" "$major" "$minor" "$((patch + 1))" <<'PY'
import struct, sys
path, major, minor, patch = sys.argv[1], *map(int, sys.argv[2:])
data = bytearray(open(path, "rb").read())
at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO
assert at > 0, "no version resource"
ms, ls = major << 16 | minor, patch << 16
struct.pack_into("<IIII", data, at + 8, ms, ls, ms, ls)
open(path, "wb").write(data)
PY
  next_msi="$work/next/Zembrolatix-$next.msi"
  expect "version $next builds" "$root/installer/build-msi.sh" "$work/next/stage" "$build/installer" \
    "$build/installer/files.wxs" "$next" "$next_msi"
  snap before
  expect "version $version installs" msiexec /i "$(to_win "$msi")" /qn
  snap first
  expect "version $next installs over it" msiexec /i "$(to_win "$next_msi")" /qn
  snap upgraded
  # Products the installer service lists for removal (Programs and Features) named Zembrolatix.
  products() {
    tr -d '\r' < "$work/$1.reg" | awk '/^\[/ { uninstall = ($0 ~ /\\CurrentVersion\\Uninstall\\\{/) }
                                       uninstall && /^"DisplayName"="Zembrolatix"$/ { n++ } END { print n + 0 }'
  }
  expect "one product installed after the upgrade" test "$(products upgraded)" = 1
  expect "the installed product is version $next" grep -q "^\"DisplayVersion\"=\"$next\"" <(tr -d '\r' < "$work/upgraded.reg")
  expect "the new DLL is installed" cmp "$work/next/stage/Zembrolatix.dll" "$installed_dir/Zembrolatix.dll"
  expect "the registry entries after the upgrade are those of a fresh install" \
    python3 "$here/regdiff.py" same "$work/before.reg" "$work/first.reg" "$work/before.reg" "$work/upgraded.reg"
  expect "every class is created by ProgID from the new DLL" create_classes
  expect "msiexec /x uninstalls version $next" msiexec /x "$(to_win "$next_msi")" /qn
  snap removed
  expect "after uninstall the registry is as before" nothing <(changes before removed)
  expect "after uninstall the files are as before" diff "$work/before.files" "$work/removed.files"
  ;;
*)
  echo "usage: check.sh BUILD_DIR machine|user|upgrade"; exit 2 ;;
esac
finish
