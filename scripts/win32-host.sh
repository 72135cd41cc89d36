# Sourced by the build, test, demo and benchmark scripts: does this host run 32-bit programs, which the
# 32-bit Wine loader, and so the shipped i686 DLL, needs? Some hosts of this machine kind answer every
# 32-bit program with "Exec format error". The answer comes from trying, each time.
# win32_host_runs: status 0 when 32-bit Wine starts; otherwise 1, with the reason in WIN32_HOST_REASON.
WINE32_LOADER=/usr/lib/wine/wine
win32_host_runs() {
  local out
  WIN32_HOST_REASON=""
  if [ ! -x "$WINE32_LOADER" ]; then
    WIN32_HOST_REASON="32-bit Wine ($WINE32_LOADER) is not installed"
    return 1
  fi
  if ! out=$("$WINE32_LOADER" --version 2>&1 </dev/null); then
    out=$(printf '%s' "$out" | head -n 1)
    WIN32_HOST_REASON="this host does not run 32-bit programs ('$WINE32_LOADER --version' failed: ${out##*"$WINE32_LOADER": })"
    return 1
  fi
  return 0
}
