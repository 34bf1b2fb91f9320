#!/usr/bin/env bash
# End-to-end runs of the real Quorvel.exe under Wine, driven from outside as a user would:
# the window is read and its buttons pressed through Win32 (the probe), closed through its
# title bar (xwin), with a stand-in converter and a stand-in PDF viewer.
#
#   e2e.sh QUORVEL.exe CONVERTER.exe VIEWER.exe PROBE.exe
set -uo pipefail
quorvel_exe=$(realpath "$1") converter_exe=$(realpath "$2") viewer_exe=$(realpath "$3") probe_exe=$(realpath "$4")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/wine-env
source "$here/../../tools/wine-env"
quorvel_wine_init || exit 125
quorvel_wine_register_pdf_viewer "$viewer_exe" || exit 125
viewer_log=${viewer_exe%.exe}.log

failures=0
work=$(mktemp -d /tmp/quorvel-e2e.XXXXXX)
started=()
cleanup() {
  ((${#started[@]} == 0)) || kill "${started[@]}" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL [$case_name]: $*"
  failures=$((failures + 1))
  quorvel_wine_screenshot "$work/../quorvel-e2e-$case_name.png" 2>/dev/null &&
    echo "  screenshot: $work/../quorvel-e2e-$case_name.png"
}
expect_eq() {  # WHAT ACTUAL EXPECTED
  [[ $2 == "$3" ]] || fail "$1: got [$2], expected [$3]"
}

# Through a file, not a pipe: nothing Wine starts can then hold our output open.
probe() {
  quorvel_wine "$probe_exe" "$@" </dev/null >"$work/probe.out" 2>&1
  local rc=$?
  tr -d '\r' <"$work/probe.out"
  return $rc
}
# The value of a name=value field of a tab-separated record.
field() { tr '\t' '\n' <<<"$1" | sed -n "s/^$2=//p" | head -n1; }
# The record of the child control of window $1 whose field $2 equals $3.
control() { probe controls "$1" | awk -F'\t' -v want="$2=$3" '{for (i = 2; i <= NF; i++) if ($i == want) {print; exit}}'; }
control_at() {  # HWND LEFT TOP
  probe controls "$1" | awk -F'\t' -v l="left=$2" -v t="top=$3" '{a = b = 0; for (i = 2; i <= NF; i++) {a += $i == l; b += $i == t}} a && b {print; exit}'
}

# A fresh folder holding Quorvel.exe and the stand-in converter; becomes the current directory.
new_case() {
  case_name=$1
  dir=$work/$case_name
  mkdir -p "$dir"
  cp "$quorvel_exe" "$dir/Quorvel.exe"
  cp "$converter_exe" "$dir/Halvorn.exe"
  : >"$viewer_log"
  cd "$dir" || exit 2
}
start_quorvel() {
  quorvel_wine_start "$dir/Quorvel.exe" </dev/null >>"$work/quorvel.out" 2>&1
  started+=("$QUORVEL_WINE_PID")
  window=$(probe window "$1" 20000) || { fail "no window titled $1"; return 1; }
  hwnd=$(field "$window" hwnd)
}
close_quorvel() {
  local id
  id=$("$QUORVEL_XWIN" find "$1" 10000) || { fail "no X window titled $1"; return 1; }
  "$QUORVEL_XWIN" close "$id" || { fail "close refused"; return 1; }
  quorvel_wine_wait_exit "$QUORVEL_WINE_PID" 20 || { fail "Quorvel did not exit after its close"; return 1; }
  QUORVEL_WINE_PID=
  expect_eq "exit code" "$QUORVEL_WINE_EXIT" 0
}
log_lines() { tr -d '\r' <"$1" 2>/dev/null; }
log_has() {  # FILE PATTERN COUNT
  (($(log_lines "$1" | grep -c -- "$2") >= $3))
}
wait_log() { quorvel_wait 20 log_has "$@"; }
# The licence box (at 72,68 in the window) shows the text given.
shows_licence() { [[ $(field "$(control_at "$hwnd" 72 68)" text) == "$1" ]]; }

# --- The window restores its place from the settings file and rewrites it on close.
new_case restore
printf '[main]\r\ntop=100\r\nleft=120\r\nPDFOut=0\r\n[other]\r\nkey=\xe5\x80\xa4\r\n' >Halvorn.ini
if start_quorvel Quorvel; then
  expect_eq "left" "$(field "$window" left)" 120
  expect_eq "top" "$(field "$window" top)" 100
  expect_eq "client width" "$(field "$window" clientwidth)" 457
  expect_eq "client height" "$(field "$window" clientheight)" 147
  expect_eq "footer" "$(field "$(control_at "$hwnd" 222 129)" text)" "Ver. 2.0.4.0(Quorvel Project)"
  check=$(control "$hwnd" text "Output PDF file")
  expect_eq "check box unticked from PDFOut=0" "$(field "$check" checked)" 0
  close_quorvel Quorvel
  expected=$(printf '\xef\xbb\xbf[main]\r\ntop=100\r\nleft=120\r\nPDFOut=0\r\nfilename=\r\n\r\n[other]\r\nkey=\xe5\x80\xa4\r\n\r\n' | od -An -tx1)
  expect_eq "rewritten settings file" "$(od -An -tx1 Halvorn.ini)" "$expected"
fi

# --- Browse converts, opens the viewer and shows what the converter wrote; a second document
# closes the first viewer; closing Quorvel closes the current one and saves the document.
new_case browse
printf 'license=LIC-1\napplication=APP-1\ncallsign=CS-1\n' >"one doc.xml"
printf 'license=LIC-2\napplication=APP-2\ncallsign=CS-2\n' >two.xml
one=$(quorvel_wine_path "$dir/one doc.xml")
two=$(quorvel_wine_path "$dir/two.xml")
printf '[main]\r\ntop=10\r\nleft=10\r\nfilename=%s\r\n' "$one" >Halvorn.ini
if start_quorvel "Quorvel - one doc.xml"; then
  probe click "$(field "$(control "$hwnd" text "&Browse")" hwnd)"
  wait_log "$viewer_log" "^open .*one doc.pdf" 1 || fail "no viewer opened one doc.pdf"
  quorvel_wait 20 shows_licence LIC-1 ||
    fail "licence LIC-1 not shown"
  expect_eq "application" "$(field "$(control_at "$hwnd" 72 41)" text)" APP-1
  expect_eq "callsign" "$(field "$(control_at "$hwnd" 72 95)" text)" CS-1
  window=$(probe window "Quorvel - one doc.xml" 1000)
  expect_eq "Quorvel in front after Browse" "$(field "$window" foreground)" 1
  first_pid=$(log_lines "$viewer_log" | sed -n 's/^open pid=\([0-9]*\).*/\1/p' | head -n1)

  probe settext "$(field "$(control_at "$hwnd" 72 14)" hwnd)" "$two" >/dev/null
  probe window "Quorvel - two.xml" 5000 >/dev/null || fail "caption not updated for two.xml"
  probe click "$(field "$(control "$hwnd" text "&Browse")" hwnd)"
  wait_log "$viewer_log" "^open .*two.pdf" 1 || fail "no viewer opened two.pdf"
  wait_log "$viewer_log" "^WM_CLOSE pid=$first_pid\$" 1 || fail "the first viewer was not asked to close"
  second_pid=$(log_lines "$viewer_log" | sed -n 's/^open pid=\([0-9]*\).*two.pdf$/\1/p' | head -n1)
  quorvel_wait 20 shows_licence LIC-2 ||
    fail "licence LIC-2 not shown"

  close_quorvel "Quorvel - two.xml"
  wait_log "$viewer_log" "^WM_CLOSE pid=$second_pid\$" 1 || fail "closing Quorvel did not close the current viewer"
  grep -q "filename=${two//\\/\\\\}"$'\r'"\$" Halvorn.ini || fail "the settings file does not name two.xml: $(cat Halvorn.ini)"
  expect_eq "converter runs" "$(log_lines Halvorn.log | grep -c '^start ')" 2
fi

# --- Closing Quorvel while it waits for the converter: the close runs inside the wait, the
# interrupted Browse runs to its end, and the program then exits cleanly.
new_case close-in-wait
printf 'busy-ms=4000\nlicense=LIC-W\n' >slow.xml
slow=$(quorvel_wine_path "$dir/slow.xml")
printf '[main]\r\ntop=20\r\nleft=30\r\nfilename=%s\r\n' "$slow" >Halvorn.ini
if start_quorvel "Quorvel - slow.xml"; then
  probe click "$(field "$(control "$hwnd" text "&Browse")" hwnd)"
  wait_log Halvorn.log "^start " 1 || fail "the converter did not start"
  close_quorvel "Quorvel - slow.xml"
  log_has Halvorn.log "^wrote ini" 1 || fail "the converter's run was cut short"
  grep -q "filename=${slow//\\/\\\\}"$'\r'"\$" Halvorn.ini || fail "the close did not write the settings file: $(cat Halvorn.ini)"
fi

if ((failures > 0)); then
  echo "e2e: $failures failure(s)"
  exit 1
fi
echo "e2e: all passed"
