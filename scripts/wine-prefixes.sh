# Sourced by the project's scripts: ends the Wine processes of every prefix below the given folders
# (the test prefixes, the build's tools prefix, the installer test prefixes), so nothing of this
# checkout keeps running once a command has ended.
# Sourcing it also drops the caller's Wine settings: each prefix of the project sets its own.
unset WINEARCH WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINESERVER WINELOADER DISPLAY WAYLAND_DISPLAY
# stop_wine_prefixes DIR...: ends the wineserver (and with it every process) of each prefix found.
stop_wine_prefixes() {
  local dir prefix
  for dir in "$@"; do
    [ -d "$dir" ] || continue
    # Wine takes only absolute prefix paths.
    find "$(cd "$dir" && pwd)" -maxdepth 4 -name system.reg -printf '%h\n' 2>/dev/null | while read -r prefix; do
      WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
    done
  done
}
