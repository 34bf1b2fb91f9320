#!/usr/bin/env bash
# Packs the installer and runs it under Wine as a user would, silently: per user it installs into
# the user's program folder, for all users (Wine's user is an administrator) into Public
# Documents; the installer and the program carry our icon, the Apps entry names it and the size;
# the uninstaller leaves the user's files and nothing of its own, in the registry neither.
set -uo pipefail
cpack=$1 build=$2 name=$3 ico=$4
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env"
quorvel_wine_init || exit 125
fail() { echo "FAIL: $*"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cpack" -G NSIS --config "$build/CPackConfig.cmake" -B "$tmp" -D CPACK_INSTALL_CMAKE_PROJECTS= \
  -D "CPACK_INSTALL_SCRIPTS=$build/cmake_install.cmake" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
has_icon() {  # EXE: every image of the icon file is among the program's resources
  x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$1" "$tmp/rsrc" && python3 - "$ico" "$tmp/rsrc" <<'PY'
import struct, sys
ico, rsrc = (open(path, 'rb').read() for path in sys.argv[1:])
entries = [struct.unpack_from('<8xII', ico, 6 + 16 * i) for i in range(struct.unpack_from('<H', ico, 4)[0])]
sys.exit(not entries or any(ico[offset:offset + size] not in rsrc for size, offset in entries))
PY
}
has_icon "$tmp/$name.exe" || fail "the installer lacks the icon"
w() { quorvel_wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
entry() { w reg query "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel" "${@:2}"; }
# As on a machine without Quorvel, whatever an earlier run left.
for key in "Quorvel Project" "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel"; do
  w reg delete "HKCU\\Software\\$key" /f; w reg delete "HKLM\\Software\\$key" /f
done >/dev/null
value() { entry "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
install() {  # ROOT FOLDER SWITCH...
  local root=$1 folder=$2 unix
  w "$(quorvel_wine_path "$tmp/$name.exe")" /S "${@:3}"
  unix=$(w winepath.exe -u "$folder")
  has_icon "$unix/Quorvel.exe" || fail "no Quorvel.exe with the icon in $folder"
  [[ $(value "$root" DisplayIcon) == "$folder\\Quorvel.exe" ]] || fail "DisplayIcon: $(entry "$root")"
  (($(value "$root" EstimatedSize) == ($(find "$unix" -type f -printf "%s+") 0) / 1024)) || fail "EstimatedSize: $(entry "$root")"
  echo made >"$unix/samples/Halvorn.ini"
  w "$folder\\Uninstall.exe" /S
  quorvel_wait 20 eval "[[ ! -e '$unix/Uninstall.exe' ]]" || fail "the uninstaller did not run"
  [[ $(find "$unix" | sed "s|^$unix||") == $'\n/samples\n/samples/Halvorn.ini' ]] || fail "left: $(find "$unix")"
  ! entry "$root" >/dev/null && ! w reg query "$root\\Software\\Quorvel Project" >/dev/null || fail "keys left in $root"
  rm -rf "$unix"
}
install HKCU "$(w cmd.exe /c echo %LOCALAPPDATA%)\\Programs\\Quorvel" /CurrentUser
install HKLM "$(w cmd.exe /c echo %PUBLIC%)\\Documents\\Quorvel"
echo "ok: $name.exe installs per user and for all users and uninstalls cleanly"
