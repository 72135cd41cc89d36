#!/bin/sh
# Runs the notes keeper in the build's Wine prefix, as its installer would set it up: registers the
# package module under the Extensions key (the protected-mode location, which the library uses on
# the Windows version Wine reports), runs the job notes.wsf and removes the registration again.
# Wine's cscript runs no .wsf jobs, so the job's scripts are joined in the order the job names them.
# usage: run.sh BUILD_DIR
set -eu
build=$1
here=$(cd "$(dirname "$0")" && pwd)
to_win() { printf 'Z:%s' "$1" | sed 's#/#\\#g'; }
key='HKCU\Software\Microsoft\Internet Explorer\LowRegistry\Belvanquist\Zembrolatix\Extensions\zbx-notes'
job="$build/demo/notes-job.js"

mkdir -p "$build/demo"
: > "$job"
for src in $(sed -n 's#.*<script[^>]*src="\([^"]*\)".*#\1#p' "$here/notes.wsf"); do
  cat "$here/$src" >> "$job"
  echo >> "$job"
done
"$build/wine-run" reg.exe add "$key" /ve /d "$(to_win "$build/demo/zbx_notes.dll")" /f >/dev/null 2>&1
trap '"$build/wine-run" reg.exe delete "$key" /f >/dev/null 2>&1 || true' EXIT
# The welcome note ships beside the package module, in the application's own folder.
cp "$here/welcome.xml" "$build/demo/welcome.xml"
out=$("$build/wine-run" cscript.exe //nologo "$(to_win "$job")" "$(to_win "$build/demo/welcome.xml")" 2>&1) || true
printf '%s\n' "$out" | tr -d '\r'
# cscript is silent about script errors: the application's own closing line tells that it ran.
printf '%s\n' "$out" | tr -d '\r' | tail -n 1 | grep -qx 'Done.'
