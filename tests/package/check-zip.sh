#!/usr/bin/env bash
# Packs the zip into a temporary folder and checks its name and its listing: one top folder
# named after the version, the program, README.md and LICENSE in it, the converter, the sample
# documents and their launcher in samples/, and nothing else (no test programs, no stray
# install rules of libraries).
set -euo pipefail
cpack=$1 build=$2 name=$3
fail() { echo "FAIL: $*"; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The build's install rules run as a script instead of as an install project: cpack would
# first build every target of the build, and under ctest that could relink test programs
# that other tests are running. The package configuration is the one `cpack` uses.
"$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$tmp" \
  -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALL_SCRIPTS=$build/cmake_install.cmake" \
  >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack -G ZIP failed"; }

zip=$tmp/$name.zip
[[ -f $zip ]] || fail "no $name.zip; made: $(cd "$tmp" && ls -- *.zip 2>/dev/null | tr '\n' ' ')"
unzip -tq "$zip" >/dev/null || fail "$name.zip does not test clean"

expected=(
  "$name/"
  "$name/LICENSE"
  "$name/Quorvel.exe"
  "$name/README.md"
  "$name/samples/"
  "$name/samples/Halvorn.exe"
  "$name/samples/Start Quorvel.cmd"
  "$name/samples/sample.xml"
  "$name/samples/sample.zip"
)
# unzip -Z1 lists one name per line; directories may or may not have their own entries.
mapfile -t listed < <(unzip -Z1 "$zip" | LC_ALL=C sort)
mapfile -t wanted < <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
for entry in "${wanted[@]}"; do
  [[ $entry == */ ]] && continue
  printf '%s\n' "${listed[@]}" | grep -qxF -- "$entry" || fail "missing: $entry"
done
for entry in "${listed[@]}"; do
  printf '%s\n' "${wanted[@]}" | grep -qxF -- "$entry" || fail "not expected: $entry"
done

# The programs are Windows programs, the texts are the project's own.
unzip -q "$zip" -d "$tmp/x"
top=$tmp/x/$name
is_windows_program() { [[ $(head -c 2 "$1") == MZ ]]; }
is_windows_program "$top/Quorvel.exe" || fail "Quorvel.exe is not a Windows program"
is_windows_program "$top/samples/Halvorn.exe" || fail "Halvorn.exe is not a Windows program"
head -n 1 "$top/LICENSE" | grep -qx 'MIT License' || fail "LICENSE is not the MIT licence"
head -n 1 "$top/README.md" | grep -qx '# Quorvel' || fail "README.md is not the project's README"
echo "ok: $name.zip holds ${#listed[@]} entries"
