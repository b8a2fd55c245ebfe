#!/bin/sh
# The program's static imports are only libraries that Windows always takes
# from its system folder (comctl32 through the manifest): any other library
# imported by name would be looked for in the program's folder first, and
# one planted there would run in the elevated program.
# usage: static_imports_test.sh <objdump> <program.exe>
objdump=$1
exe=$2
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
[ -n "$imports" ] || { echo "no import table read from $exe"; exit 1; }
others=$(echo "$imports" | grep -vxE 'kernel32\.dll|user32\.dll|gdi32\.dll|advapi32\.dll|comctl32\.dll|msvcrt\.dll|ws2_32\.dll')
echo "imports of $(basename "$exe"):" $imports
if [ -n "$others" ]; then
  echo "FAILED: imported by name, so looked for beside the program first:" $others
  exit 1
fi
