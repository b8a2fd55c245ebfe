#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build tree.
# usage: wine-run.sh PREFIX program.exe [args...]
# The prefix is created on first use (never ~/.wine), set up for tests
# (Wine draws its own title bars, no window manager waits), and gets the
# recording netsh stand-in as its system netsh.exe when the tree has built it.
set -e
WINEPREFIX=$1; shift
export WINEPREFIX WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;netsh.exe=n}"
build=$(dirname "$WINEPREFIX")
if [ ! -f "$WINEPREFIX/.vantoric-ready" ]; then
  mkdir -p "$WINEPREFIX"
  # flock: ctest -j must not create the prefix twice.
  flock "$WINEPREFIX/.init.lock" sh -c '
    [ -f "$WINEPREFIX/.vantoric-ready" ] && exit 0
    wineboot -i && wineserver -w
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    touch "$WINEPREFIX/.vantoric-ready"' </dev/null >/dev/null 2>&1
fi
standin="$build/tools/netsh_standin.exe"
sysnetsh="$WINEPREFIX/drive_c/windows/system32/netsh.exe"
if [ -f "$standin" ] && ! cmp -s "$standin" "$sysnetsh"; then
  flock "$WINEPREFIX/.init.lock" cp -f "$standin" "$sysnetsh"
fi
# Start the server and Wine's services detached from the caller's pipes, so
# that ctest does not wait for them to close after each test.
if wineserver -p5 </dev/null >/dev/null 2>&1; then wine wineboot </dev/null >/dev/null 2>&1 || true; fi
exec wine "$@"
