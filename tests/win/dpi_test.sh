#!/bin/sh
# Runs a test program under Wine with the prefix's resolution set first
# (HKCU\Control Panel\Desktop LogPixels, which Wine reads when a program
# starts), VANTORIC_TEST_DPI telling the program what to expect, on a
# virtual screen of its own as large at that scaling as 1280 by 1024 is at
# 100 %. The prefix's server is stopped afterwards: the next run has
# another screen.
# usage: dpi_test.sh <wine-run.sh> <prefix> <dpi> <program.exe> [args...]
run=$1 prefix=$2 dpi=$3
shift 3
size="$((1280 * dpi / 96))x$((1024 * dpi / 96))x24"
VANTORIC_TEST_DPI=$dpi xvfb-run -a -s "-screen 0 $size" sh -c \
  '"$0" "$1" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$VANTORIC_TEST_DPI" /f >/dev/null &&
   "$0" "$@"' "$run" "$prefix" "$@"
rc=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null
exit $rc
