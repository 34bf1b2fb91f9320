#!/usr/bin/env bash
# Quorvel.exe as shipped: a GUI program that needs only Windows' own DLLs and carries exactly
# the manifest it asks for (common controls 6, asInvoker).
set -euo pipefail
exe=$1
source_manifest=$2
fail() { echo "FAIL: $*"; exit 1; }

dump=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$dump" || fail "not a GUI-subsystem program"

allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|oleacc|advapi32|imm32|version|msvcrt|uxtheme|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}')
[ -n "$dlls" ] || fail "no imports found"
while read -r dll; do
  [[ $dll =~ $allowed ]] || fail "imports $dll, which is not a Windows system DLL"
done <<<"$dlls"
! grep -qiE 'libstdc\+\+|libgcc|libwinpthread' <<<"$dlls" || fail "runtime DLL imported"

# The embedded manifest (resource type 24, id 1) must be the project's manifest, byte for byte.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$tmp/rsrc.bin"
python3 - "$tmp/rsrc.bin" "$source_manifest" <<'PY' || fail "embedded manifest differs from the source manifest"
import sys
rsrc = open(sys.argv[1], 'rb').read()
want = open(sys.argv[2], 'rb').read()
sys.exit(0 if want in rsrc else 1)
PY
grep -q 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$source_manifest" || fail "manifest lacks common controls 6"
grep -q 'level="asInvoker" uiAccess="false"' "$source_manifest" || fail "manifest lacks asInvoker"
[ "$(grep -c '<dependentAssembly>' "$source_manifest")" = 1 ] || fail "manifest declares more than one dependency"
echo "Quorvel.exe: GUI subsystem; imports: $(tr '\n' ' ' <<<"$dlls"); manifest embedded"
