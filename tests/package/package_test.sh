#!/usr/bin/env bash
# The package as a user meets it, under Wine: scripts/package makes the zip,
# the zip is unpacked into a fresh folder and install.cmd is run there; the
# program and the help file must then be where Windows and the Help button
# look. A package without its help file must make install.cmd fail.
# usage: package_test.sh <source root> <Windows build tree>
set -uo pipefail
export LC_ALL=C
root=$1
tree=$2
prefix="$tree/wineprefix"
work="$tree/package_test"
passed=0
failed=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what" >&2; fi
}
wine_cmd() { (cd "$1" && shift && "$root/scripts/wine-run.sh" "$prefix" cmd /c "$@" </dev/null 2>&1); }

rm -rf "$work"
mkdir -p "$work"
zip=$("$root/scripts/package" --tree "$tree" --dist "$work/dist" 2>"$work/package.log" | tail -n 1)
version=$(sed -n 's/^#define VANTORIC_VERSION_TEXT "\(.*\)"$/\1/p' "$tree/resources/version.h")
check "the zip is named after the version" test "$zip" = "$work/dist/vantoric-$version-win64.zip"
check "the zip exists" test -f "$zip"
[ -f "$zip" ] || { cat "$work/package.log" >&2; echo "package: $passed passed, $((failed + 1)) failed"; exit 1; }

mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
check "the zip holds the program, the help, the read-me and install.cmd" \
  test "$(cd "$work/unpacked" && ls | sort | tr '\n' ' ')" = "README.txt Vantoric.chm install.cmd vantoric.exe "

# The installed files, found on the prefix's drive C the way Windows names
# them (the drive ignores letter case).
"$root/scripts/wine-run.sh" "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1
windows=$(find "$prefix/drive_c" -maxdepth 1 -iname windows | head -n 1)
helpdir=$(find "$windows" -maxdepth 1 -iname help | head -n 1)
helpdir=${helpdir:-$windows/HELP}
programs="$prefix/drive_c/Program Files/Vantoric"
uninstall() { rm -rf "$programs"; find "$helpdir" -maxdepth 1 -iname vantoric.chm -delete 2>/dev/null; true; }
trap uninstall EXIT
uninstall

out=$(wine_cmd "$work/unpacked" install.cmd /nopause); rc=$?
check "install.cmd ends with 0 (it said: $out)" test "$rc" -eq 0
check "install.cmd says where it put the files" grep -q 'Vantoric is installed' <<<"$out"
check "vantoric.exe is under Program Files" cmp -s "$work/unpacked/vantoric.exe" "$programs/vantoric.exe"
check "Vantoric.chm is in the Windows HELP folder" \
  cmp -s "$work/unpacked/Vantoric.chm" "$(find "$helpdir" -maxdepth 1 -iname vantoric.chm | head -n 1)"

uninstall
mkdir "$work/incomplete"
cp "$work/unpacked/vantoric.exe" "$work/unpacked/install.cmd" "$work/incomplete/"
out=$(wine_cmd "$work/incomplete" install.cmd /nopause); rc=$?
check "install.cmd without the help file ends with 2 (it said: $out)" test "$rc" -eq 2
check "install.cmd names the missing file" grep -q 'Vantoric.chm was not found' <<<"$out"
check "nothing is installed from an incomplete package" test ! -e "$programs/vantoric.exe"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
