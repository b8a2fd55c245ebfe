#!/usr/bin/env bash
# The packages as users and administrators meet them, under Wine:
# scripts/package makes the zip and the Windows Installer package; the zip
# holds the portable copy; the package installs silently (msiexec /i ... /qn)
# where Windows and the Help button look, a package of a higher version
# built from the same .wxs replaces it, and uninstalling leaves nothing
# behind.
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
finish() { echo "package: $passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit $?; }
# Wine's menu builder would copy the Start-menu shortcut into the desktop
# menus of the Linux account: off.
wine_run() { WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$root/scripts/wine-run.sh" "$prefix" "$@" \
               </dev/null; }
windows_path() { echo "Z:${1//\//\\}"; }
msi_run() { wine_run msiexec "$1" "$(windows_path "$2")" /qn >/dev/null 2>&1; }
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
# A GUID as the installer's registry keys write it: the first three fields
# reversed, then each byte's two digits swapped.
packed() {
  local g=${1//[\{\}-]/} out i
  out="$(rev <<<"${g:0:8}")$(rev <<<"${g:8:4}")$(rev <<<"${g:12:4}")"
  for i in 16 18 20 22 24 26 28 30; do out+="${g:i+1:1}${g:i:1}"; done
  echo "$out"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
registered_version() {  # the DisplayVersion under the product's uninstall key, or nothing
  wine_run reg query "$uninstall_key\\$1" /v DisplayVersion 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
machine_products() {  # the (packed) product codes installed for the machine under the package's upgrade code
  wine_run reg query "HKLM\\Software\\Classes\\Installer\\UpgradeCodes\\$(packed "$upgrade_code")" 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *\([0-9A-F]\{32\}\) .*/\1/p'
}

rm -rf "$work"
mkdir -p "$work"
mapfile -t made < <("$root/scripts/package" --tree "$tree" --dist "$work/dist" 2>"$work/package.log")
zip=${made[0]:-}
msi=${made[1]:-}
version=$(sed -n 's/^#define VANTORIC_VERSION_TEXT "\(.*\)"$/\1/p' "$tree/resources/version.h")
check "the zip is named after the version" test "$zip" = "$work/dist/vantoric-$version-win64.zip"
check "the package is named after the version" test "$msi" = "$work/dist/vantoric-$version-x64.msi"
if [ ! -f "$zip" ] || [ ! -f "$msi" ]; then cat "$work/package.log" >&2; failed=$((failed + 1)); finish; fi

mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
check "the zip holds the program, the help and the read-me, and no installer script" \
  test "$(cd "$work/unpacked" && ls | sort | tr '\n' ' ')" = "README.txt Vantoric.chm vantoric.exe "

# The places of an installation, on the prefix's drive C (which ignores
# letter case), and the installer's cache of packages.
wine_run cmd /c exit 0 >/dev/null 2>&1
windows=$(find "$prefix/drive_c" -maxdepth 1 -iname windows | head -n 1)
programs="$prefix/drive_c/Program Files/Vantoric"
installed_help() { find "$windows" -maxdepth 2 -ipath '*/help/vantoric.chm'; }
shortcuts() { find "$prefix/drive_c" -ipath '*/start menu/programs/vantoric.lnk' 2>/dev/null; }
cached_packages() { find "$windows" -maxdepth 2 -ipath '*/installer/*.msi' 2>/dev/null | sort; }

# A package of a higher version, built from the same .wxs: its program
# differs from the first package's by bytes after the image, so that the
# file that the upgrade leaves can be told apart.
IFS=. read -r major minor patch <<<"$version"
newer="$major.$minor.$((patch + 1))"
mkdir "$work/newer"
cp "$work/unpacked/vantoric.exe" "$work/unpacked/Vantoric.chm" "$root/packaging/vantoric.wxs" "$work/newer/"
printf 'newer build' >>"$work/newer/vantoric.exe"
newer_msi="$work/dist/vantoric-$newer-x64.msi"
wixl --arch x64 --define Version="$newer" --output "$newer_msi" "$work/newer/vantoric.wxs" 2>>"$work/package.log"
first_code=$(property "$msi" ProductCode)
newer_code=$(property "$newer_msi" ProductCode)
upgrade_code=$(property "$msi" UpgradeCode)
check "each build of the package has its own product code" test -n "$first_code" -a "$first_code" != "$newer_code"

# Whatever happens, the prefix is left without either product.
cleanup() { msi_run /x "$newer_msi"; msi_run /x "$msi"; }
trap cleanup EXIT
cleanup
cache_before=$(cached_packages)

msi_run /i "$msi"; rc=$?
check "msiexec /i ... /qn installs the package (exit code $rc)" test "$rc" -eq 0
check "vantoric.exe is under Program Files" cmp -s "$work/unpacked/vantoric.exe" "$programs/vantoric.exe"
check "Vantoric.chm is in the Windows HELP folder" cmp -s "$work/unpacked/Vantoric.chm" "$(installed_help)"
check "the Start menu has a shortcut" test "$(shortcuts | wc -l)" -eq 1
registered=$(registered_version "$first_code")
check "the product is registered with its version (read: \"$registered\")" test "$registered" = "$version"
check "it is installed for the machine" test "$(machine_products)" = "$(packed "$first_code")"

msi_run /i "$newer_msi"; rc=$?
check "the newer package installs over the older one (exit code $rc)" test "$rc" -eq 0
check "the newer program replaced the older one" cmp -s "$work/newer/vantoric.exe" "$programs/vantoric.exe"
registered=$(registered_version "$newer_code")
check "the newer version is registered (read: \"$registered\")" test "$registered" = "$newer"
check "the older version is no longer registered" test -z "$(registered_version "$first_code")"
check "the machine has the newer product alone" test "$(machine_products)" = "$(packed "$newer_code")"
check "one Start menu shortcut" test "$(shortcuts | wc -l)" -eq 1

msi_run /x "$newer_msi"; rc=$?
check "msiexec /x ... /qn uninstalls (exit code $rc)" test "$rc" -eq 0
check "no Program Files\\Vantoric folder is left" test ! -e "$programs"
check "no Vantoric.chm is left in the HELP folder" test -z "$(installed_help)"
check "no shortcut is left" test -z "$(shortcuts)"
check "nothing is registered" test -z "$(registered_version "$newer_code")$(machine_products)"
check "the installer's cache holds no copy of the package" test "$(cached_packages)" = "$cache_before"

finish
