#!/bin/sh
# Builds the installer package from a staged release folder (installer/stage.cmake) and the generated
# registry includes (registry-machine.wxi, registry-user.wxi in INCLUDE_DIR).
# usage: build-msi.sh STAGE_DIR INCLUDE_DIR FILES.wxs VERSION OUT.msi
set -eu
stage=$1; inc=$2; files=$3; version=$4; out=$5
wxs="$(cd "$(dirname "$0")" && pwd)/Zembrolatix.wxs"
rm -f "$out"
# File sources are relative to the staged folder.
(cd "$stage" && wixl -a x86 -D Version="$version" -I "$inc" -o "$out" "$wxs" "$files")
# wixl takes no component conditions: which registration component installs is set here. The per-user
# one for a per-user installation (ALLUSERS=2 with MSIINSTALLPERUSER=1, or ALLUSERS empty), the
# per-machine one otherwise.
per_user="MSIINSTALLPERUSER = 1 OR NOT ALLUSERS"
msibuild "$out" \
  -q "UPDATE \`Component\` SET \`Condition\` = 'NOT ($per_user)' WHERE \`Component\` = 'MachineRegistration'" \
  -q "UPDATE \`Component\` SET \`Condition\` = '$per_user' WHERE \`Component\` = 'UserRegistration'"
