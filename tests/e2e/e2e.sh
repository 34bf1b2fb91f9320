#!/usr/bin/env bash
# End-to-end runs of the real Quorvel.exe under Wine, driven from outside as a user would:
# the window is read and its buttons pressed through Win32 (the probe), closed through its
# title bar (xwin), with a stand-in converter and a stand-in PDF viewer.
#
#   e2e.sh QUORVEL.exe CONVERTER.exe VIEWER.exe PROBE.exe SAMPLE_VIEWER.exe
set -uo pipefail
quorvel_exe=$(realpath "$1") converter_exe=$(realpath "$2") viewer_exe=$(realpath "$3") probe_exe=$(realpath "$4")
sample_viewer_exe=$(realpath "$5")
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

# Real input through the X server, as a person types and clicks. Keys go to the X window that
# has the focus; a key that closes a window loses its release there, so every key is released
# at the server afterwards, before the X server's auto-repeat could type it again.
x_focus() {  # TITLE
  local id
  id=$("$QUORVEL_XWIN" find "$1" 10000) || { fail "no X window titled $1"; return 1; }
  xdotool windowfocus --sync "$id"
}
keys() {  # KEY...
  xdotool key --delay 60 "$@"
  xdotool keyup Return Escape Tab F4 ctrl shift alt
}
type_text() { xdotool type --delay 60 -- "$1"; }
# The mouse over the middle of a control; a left click there, as a mouse does it.
point_at() {  # CONTROL_RECORD
  xdotool mousemove --sync $((($(field "$1" screenleft) + $(field "$1" screenright)) / 2)) \
    $((($(field "$1" screentop) + $(field "$1" screenbottom)) / 2))
}
click_at() { point_at "$1" && xdotool click 1; }
focus_hwnd() { field "$(probe focus "$1")" hwnd; }
focus_is() { [[ $(focus_hwnd "$1") == "$2" ]]; }
shown() { probe window "$1" 0 >/dev/null; }
gone() { ! shown "$1"; }

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

# --- The keyboard alone: typing and editing a path, a label's accelerator, shortcuts that need
# exactly their modifiers, a button's accelerator.
new_case keyboard
printf 'license=LIC-K\n' >two.xml
two=$(quorvel_wine_path "$dir/two.xml")
if start_quorvel Quorvel && x_focus Quorvel; then
  file_box=$(field "$(control_at "$hwnd" 72 14)" hwnd)
  expect_eq "focus at the start" "$(focus_hwnd "$hwnd")" "$file_box"
  # A typing slip, mended with Backspace.
  type_text "${two%.xml}x"
  keys BackSpace
  type_text ".xml"
  probe window "Quorvel - two.xml" 5000 >/dev/null || fail "caption not updated for the typed two.xml"
  expect_eq "typed path" "$(field "$(control_at "$hwnd" 72 14)" text)" "${two//\\/\\\\}"
  keys Tab
  quorvel_wait 5 focus_is "$hwnd" "$(field "$(control "$hwnd" text "Output PDF file")" hwnd)" || fail "Tab did not move on"
  keys alt+f
  quorvel_wait 5 focus_is "$hwnd" "$file_box" || fail "Alt+F did not lead into the file-name box"
  # Neither runs: Refer's dialog would take the Browse that follows, and Browse would run twice.
  keys ctrl+shift+r ctrl+shift+o alt+b
  wait_log "$viewer_log" "^open .*two.pdf" 1 || fail "Alt+B did not browse"
  expect_eq "converter runs" "$(log_lines Halvorn.log | grep -c '^start ')" 1
  gone "Select file" || fail "Ctrl+Shift+R opened the file dialog"
  x_focus "Quorvel - two.xml" && keys ctrl+r
  quorvel_wait 10 shown "Select file" || fail "Ctrl+R did not open the file dialog"
  x_focus "Select file" && keys Escape
  quorvel_wait 10 gone "Select file" || fail "Escape did not close the file dialog"
  close_quorvel "Quorvel - two.xml"
  grep -q "filename=${two//\\/\\\\}"$'\r'"\$" Halvorn.ini || fail "the typed path was not stored: $(cat Halvorn.ini)"
fi

# --- The model dialog by keyboard, input method and mouse: typing into cells, a committed
# Japanese text, Ctrl+Tab out of the grid and Enter on Ok; a refused unit number thrown away by a
# click on Cancel and shown once by a click on Ok; the wheel on the last row.
new_case model
printf 'license=LIC-K\n' >doc.xml
doc=$(quorvel_wine_path "$dir/doc.xml")
printf '[main]\r\ntop=10\r\nleft=10\r\nfilename=%s\r\nlicense=LIC-K\r\n[LIC-K]\r\nunit1=A\r\n' "$doc" >Halvorn.ini
grid_is() { [[ $(field "$(probe grid "$grid" "$1")" value) == "$2" ]]; }
open_model() {  # KEYS...
  x_focus "Quorvel - doc.xml" && keys "$@" || return 1
  dialog=$(probe window "Model Table" 10000) || { fail "no model dialog after $*"; return 1; }
  dlg=$(field "$dialog" hwnd)
  grid=$(field "$(control "$dlg" class QuorvelGrid)" hwnd)
  quorvel_wait 5 focus_is "$dlg" "$grid" || fail "the grid has no focus when the dialog opens"
  x_focus "Model Table"
}
if start_quorvel "Quorvel - doc.xml" && open_model ctrl+s; then
  keys Right
  type_text XY
  keys Tab
  probe imechars "$dlg" "日本語" >/dev/null
  quorvel_wait 5 grid_is 4 1 || fail "the input method's text opened no editor"
  quorvel_wait 5 eval '[[ $(field "$(probe focus "$dlg")" text) == 日本語 ]]' ||
    fail "the committed text is not whole in the cell: $(probe focus "$dlg")"
  keys Down Home
  type_text 5
  keys Tab
  type_text B5
  keys ctrl+Tab
  quorvel_wait 5 focus_is "$dlg" "$(field "$(control "$dlg" text Ok)" hwnd)" || fail "Ctrl+Tab did not leave the grid for Ok"
  keys Return
  quorvel_wait 10 gone "Model Table" || fail "Enter on Ok did not close the dialog"
  expect_eq "saved table" "$(sed -n '/^\[LIC-K\]/,$p' Halvorn.ini | tr -d '\r')" "$(printf '[LIC-K]\nunit1=XY\ncomment1=日本語\nunit5=B5\n')"
  saved=$(od -An -tx1 Halvorn.ini)

  if open_model alt+s; then
    type_text 70000
    click_at "$(control "$dlg" text Cancel)"
    quorvel_wait 10 gone "Model Table" || fail "a click on Cancel with a refused number did not close the dialog"
    gone Quorvel || fail "Cancel showed an error for the number it throws away"
  fi
  if open_model ctrl+s; then
    type_text 70000
    click_at "$(control "$dlg" text Ok)"
    quorvel_wait 10 shown Quorvel || fail "a click on Ok with a refused number showed no error"
    x_focus Quorvel && keys Return
    quorvel_wait 10 gone Quorvel || fail "the error box did not close"
    quorvel_wait 5 eval '[[ $(field "$(probe focus "$dlg")" parent) == "$grid" ]]' || fail "the focus is not back in the cell"
    expect_eq "the refused text stays in the cell" "$(field "$(probe focus "$dlg")" text)" 70000
    shown "Model Table" || fail "the dialog closed with a refused number"
    gone Quorvel || fail "the error was shown more than once"
    x_focus "Model Table" && keys Escape ctrl+End
    quorvel_wait 5 grid_is 1 1 || fail "Ctrl+End did not reach the last row"
    # The wheel down on the last row starts no row; back up, it moves to the first one.
    point_at "$(control "$dlg" class QuorvelGrid)"
    xdotool click 5 click 4
    quorvel_wait 5 grid_is 1 0 || fail "the wheel did not scroll as expected: row $(probe grid "$grid" 1), $(probe grid "$grid" 0) rows"
    expect_eq "rows after the wheel" "$(field "$(probe grid "$grid" 0)" value)" 2
    click_at "$(control "$dlg" text Cancel)"
    quorvel_wait 10 gone "Model Table" || fail "Cancel did not close the dialog"
  fi
  # A lone surrogate committed by the input method has no UTF-8 form: Ok says so, writes nothing.
  if open_model ctrl+s; then
    keys Right
    probe imechars "$dlg" 'Z\uD800' >/dev/null
    quorvel_wait 5 eval '[[ $(field "$(probe focus "$dlg")" text) == Z* ]]' || fail "the committed text is not in the cell"
    click_at "$(control "$dlg" text Ok)"
    quorvel_wait 10 shown Quorvel || fail "Ok with a lone surrogate showed no error"
    probe controls "$(field "$(probe window Quorvel 0)" hwnd)" | grep -q "UTF-8 で表せない文字を含む" ||
      fail "the error does not say why: $(probe controls "$(field "$(probe window Quorvel 0)" hwnd)")"
    x_focus Quorvel && keys Return
    quorvel_wait 10 gone Quorvel || fail "the error box did not close"
  fi
  expect_eq "settings file after Cancel and a refused Ok" "$(od -An -tx1 Halvorn.ini)" "$saved"
  close_quorvel "Quorvel - doc.xml"
fi

# --- A restored path is selected whole, so that typing replaces it, and so is a box the keyboard
# moves into; a click places the caret. Alt+F4 and the title bar close a message box. The GUI
# thread is a single-threaded COM apartment for the shell; the title bar shows our icon.
new_case selection
old=$(quorvel_wine_path "$dir/old.xml") new=$(quorvel_wine_path "$dir/new.xml")
printf '[main]\r\nfilename=%s\r\n' "$old" >Halvorn.ini
selection() { field "$(probe focus "$hwnd")" selection; }  # end * 65536 + start
whole() { [[ $(selection) == $((${#1} << 16)) ]]; }
if start_quorvel "Quorvel - old.xml" && x_focus "Quorvel - old.xml"; then
  probe com "$hwnd" || fail "the GUI thread is in no single-threaded COM apartment, as the shell needs"
  xwd -silent -id "$("$QUORVEL_XWIN" find "Quorvel - old.xml" 0)" | /usr/bin/convert xwd:- -crop 24x24+0+0 \
    -format %c histogram:info:- | grep -q '#D31F2A' || fail "the title bar shows no icon of ours"
  whole "$old" || fail "the restored path is not selected whole: $(probe focus "$hwnd")"
  type_text "$new"
  probe window "Quorvel - new.xml" 5000 >/dev/null || fail "the typed path did not replace the restored one"
  keys Tab shift+Tab
  quorvel_wait 5 whole "$new" || fail "Shift+Tab did not select the box's whole text: $(probe focus "$hwnd")"
  click_at "$(control_at "$hwnd" 72 14)"
  quorvel_wait 5 eval '(($(selection) % 65537 == 0))' || fail "a click selected text: $(probe focus "$hwnd")"
  for close in "keys alt+F4" '"$QUORVEL_XWIN" close "$("$QUORVEL_XWIN" find 確認 5000)"'; do
    x_focus "Quorvel - new.xml" && keys alt+b
    quorvel_wait 10 shown 確認 || fail "no message box for the missing document"
    x_focus 確認 && eval "$close"
    quorvel_wait 10 gone 確認 || fail "$close did not close the message box"
  done
  close_quorvel "Quorvel - new.xml"
fi

# --- The sample viewer shows itself, although the shell starts it hidden as Quorvel asks.
new_case sample-viewer
quorvel_wine_register_pdf_viewer "$sample_viewer_exe"
printf '[main]\r\nfilename=%s\r\n' "$(quorvel_wine_path "$dir/doc.xml")" >Halvorn.ini
: >doc.xml
if start_quorvel "Quorvel - doc.xml"; then
  probe click "$(field "$(control "$hwnd" text "&Browse")" hwnd)"
  probe window "doc.pdf - PdfViewer" 20000 >/dev/null || fail "the sample viewer did not show itself"
  close_quorvel "Quorvel - doc.xml"
fi
quorvel_wine_register_pdf_viewer "$viewer_exe"

# --- The grid's own input: a box raised by its key painted, a click on a row's indicator, the
# wheel's lines, typing over a cell Tab led to, a pair kept whole at the limit (composed, pasted).
new_case grid
printf 'license=LIC-G\n' >doc.xml
{
  printf '[main]\r\ntop=10\r\nleft=10\r\nfilename=%s\r\nlicense=LIC-G\r\n[LIC-G]\r\n' "$(quorvel_wine_path "$dir/doc.xml")"
  for unit in 1 2 3 4 5 6 7 8; do printf 'unit%s=M%s\r\n' $unit $unit; done
} >Halvorn.ini
# Read from the box's own X window: one never painted stays black.
painted() { xwd -id "$("$QUORVEL_XWIN" find "$1" 1000)" -silent >"$work/box.xwd" && (($(/usr/bin/convert "xwd:$work/box.xwd" -format '%[fx:int(100*mean)]' info:) > 30)); }
chars30=$(printf '字%.0s' {1..30})
if start_quorvel "Quorvel - doc.xml" && open_model ctrl+s; then
  grid_record=$(control "$dlg" class QuorvelGrid)
  point_at "$grid_record" && xdotool click 5
  quorvel_wait 5 grid_is 1 3 || fail "one wheel notch did not scroll three rows: $(probe grid "$grid" 1)"
  # The third row's indicator cell; rows are 19 pixels apart below the titles with these fonts.
  xdotool mousemove --sync $(($(field "$grid_record" screenleft) + 7)) $(($(field "$grid_record" screentop) + 66)) click 1
  quorvel_wait 5 grid_is 1 2 || fail "a click on a row's indicator did not make it current: $(probe grid "$grid" 1)"
  x_focus "Model Table" && keys ctrl+Delete
  quorvel_wait 10 painted "確認" || fail "the confirmation raised by Ctrl+Delete is not painted"
  x_focus "確認" && keys Return
  quorvel_wait 10 gone "確認" && x_focus "Model Table" || fail "the confirmation did not close"
  type_text 9 && keys Tab && type_text Z
  quorvel_wait 5 eval '[[ $(field "$(probe focus "$dlg")" text) == Z ]]' || fail "typing after Tab did not replace: $(probe focus "$dlg")"
  keys Tab
  probe imechars "$dlg" "$chars30" && probe clip "A𠮷" && keys ctrl+v && probe imechars "$dlg" "𠮷"
  quorvel_wait 5 eval '[[ $(field "$(probe focus "$dlg")" text) == "${chars30}A" ]]' || fail "half a pair kept: $(probe focus "$dlg")"
  keys ctrl+Tab Return
  quorvel_wait 10 gone "Model Table" || fail "Ctrl+Tab and Enter did not close the dialog with Ok"
  expect_eq "saved table" "$(sed -n '/^\[LIC-G\]/,$p' Halvorn.ini | tr -d '\r')" \
    "$(printf '[LIC-G]\nunit1=M1\nunit2=M2\nunit5=M5\nunit6=M6\nunit7=M7\nunit8=M8\nunit9=Z\ncomment9=%sA\n' "$chars30")"
  close_quorvel "Quorvel - doc.xml"
fi

# --- A screen reader in another process reads the grid cell by cell, follows the current cell
# after a key, and presses the navigator's buttons by name (the delete one asks first).
new_case reader
printf 'license=LIC-R\n' >doc.xml
printf '[main]\r\ntop=10\r\nleft=10\r\nfilename=%s\r\nlicense=LIC-R\r\n[LIC-R]\r\nunit1=A\r\ncomment1=日本語\r\nunit2=B\r\nunit3=C\r\n' \
  "$(quorvel_wine_path "$dir/doc.xml")" >Halvorn.ini
reads() { grep -qF -- "$2" <<<"$1" || fail "a reader does not find [$2] in: $1"; }  # TREE PART
focus_name() { [[ $(field "$(probe acc "$grid" | grep ^accfocus)" name) == "$1" ]]; }
if start_quorvel "Quorvel - doc.xml" && open_model ctrl+s; then
  nav=$(field "$(control "$dlg" class QuorvelNavigator)" hwnd)
  grid_tree=$(probe acc "$grid") nav_tree=$(probe acc "$nav")
  for part in $'role=24\tname=Model table' $'role=25\tname=Comment' $'role=28\tname=Row 3\tvalue=3; C; ' \
    $'role=29\tname=Comment, row 1\tvalue=日本語' $'role=29\tname=Model, row 2\tvalue=B'; do
    reads "$grid_tree" "$part"
  done
  for part in $'role=22\tname=Navigator' $'role=43\tname=最初のレコード\tvalue=\tstate=0x1' $'role=43\tname=編集の取り消し'; do
    reads "$nav_tree" "$part"
  done
  focus_name "UnitNo, row 1" || fail "the reader's focus is not the current cell: $(probe acc "$grid" | grep ^accfocus)"
  keys Down Right
  quorvel_wait 5 focus_name "Model, row 2" || fail "the reader's focus did not follow the keys"
  probe accpress "$nav" 次のレコード || fail "the reader could not press 次のレコード"
  quorvel_wait 5 grid_is 1 2 || fail "次のレコード pressed by a reader did not move to the next row: $(probe grid "$grid" 1)"
  probe accpress "$nav" レコードの削除 || fail "the reader could not press レコードの削除"
  quorvel_wait 10 shown "確認" || fail "レコードの削除 pressed by a reader asked nothing"
  x_focus "確認" && keys Escape
  quorvel_wait 10 gone "確認" || fail "the confirmation did not close"
  expect_eq "rows after a cancelled delete" "$(field "$(probe grid "$grid" 0)" value)" 3
  click_at "$(control "$dlg" text Cancel)"
  quorvel_wait 10 gone "Model Table" || fail "Cancel did not close the dialog"
  close_quorvel "Quorvel - doc.xml"
fi

if ((failures > 0)); then
  echo "e2e: $failures failure(s)"
  exit 1
fi
echo "e2e: all passed"
