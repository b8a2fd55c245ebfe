#!/bin/sh
# Runs a test program under Wine with the prefix's resolution set first
# (HKCU\Control Panel\Desktop LogPixels, which Wine reads when a program
# starts) and VANTORIC_TEST_DPI telling the program what to expect.
# usage: dpi_test.sh <wine-run.sh> <prefix> <dpi> <program.exe> [args...]
set -e
run=$1 prefix=$2 dpi=$3
shift 3
"$run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
VANTORIC_TEST_DPI=$dpi exec "$run" "$prefix" "$@"
