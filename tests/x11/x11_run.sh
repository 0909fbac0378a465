#!/bin/sh
# The program on a display: starts Xvfb on a free display number, makes a
# drawing with ferun, runs plumet on the display with a start-up script that
# opens it, and checks the program through the display.
#
#   x11_run.sh shot|input PLUMET FERUN PROBE SHARE WORK
#
# shot:  the document window's pixels on the display (xshot) must equal the
#        headless rendering of the same drawing (ferun --png), exactly.
# input: a button press in the document window and keys sent through XTEST
#        (xinput) must reach the sheet window's script procedure "onKey" as
#        the same press and keys queued on the headless layer do (ferun with
#        tMouseMove, tMouseDown, tMouseUp, tKey).
# Either way closing the frame (WM_DELETE_WINDOW) must end plumet with
# status 0. Exits 77 (the test is skipped) when Xvfb is missing or cannot
# start. Every wait is bounded and every process started is ended.
set -u
mode=$1 plumet=$2 ferun=$3 probe=$4 share=$5 work=$6

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

command -v Xvfb >/dev/null 2>&1 || skip "Xvfb not found (install xvfb)"
case $mode in shot|input) ;; *) fail "unknown mode $mode" ;; esac

rm -rf "$work"
mkdir -p "$work/fe" || fail "cannot make $work"
drawing=$work/drawing.qdw
reference=$work/reference.png

xvfb_pid= plumet_pid=
cleanup() {
  [ -n "$plumet_pid" ] && kill "$plumet_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$plumet_pid" ] && wait "$plumet_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# (text file seconds) waits until the file holds a line with the text.
wait_for() {
  i=0
  while [ "$i" -lt $(($3 * 10)) ]; do
    grep -q "$1" "$2" 2>/dev/null && return 0
    [ -n "$plumet_pid" ] && ! kill -0 "$plumet_pid" 2>/dev/null && return 1
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

# A drawing with lines across the sheet and a point.
PLUMET_HEADLESS=1 timeout 60 "$ferun" -e "null aNewDoc
  [/pt0 [0 0 0] /pt1 [2 1 0]] aLineMake aStore
  [/pt0 [0 1 0] /pt1 [1 0 0]] aLineMake aStore
  [/pt0 [-1 -0.5 0] /pt1 [3 1.5 0]] aLineMake aStore
  ($drawing) aWrite" >"$work/make.log" 2>&1 || { cat "$work/make.log"; fail "ferun could not write the drawing"; }

# The input case: onKey prints what it is given, and where a press fell.
on_key='/onKey { /keyText exch def /keyCode exch def
  (onKey ) print keyCode 12 string cvs print ( ) print keyText ==
  keyCode 4096 eq { (onKey at ) print [aEventPos] == } if } def'
# Keys with text and without (a function key, an arrow), and Return, which
# the sheet window keeps: their keysyms, and the virtual keys the headless
# queue is given.
press_x=150 press_y=120 keysyms='a F2 Left space BackSpace Return' vks='65 113 37 32 8 13'
open="($drawing) 0 aFileRead"

# The headless rendering, and for input what the queued press and key do.
if [ "$mode" = shot ]; then
  PLUMET_HEADLESS=1 timeout 60 "$ferun" --png "$reference" -e "$open" >"$work/ferun.log" 2>&1 ||
    { cat "$work/ferun.log"; fail "ferun could not draw the reference"; }
else
  PLUMET_HEADLESS=1 timeout 60 "$ferun" --png "$reference" -e "$on_key $open
    $press_x $press_y tMouseMove $press_x $press_y tMouseDown $press_x $press_y tMouseUp
    [$vks] { tKey } forall tPump" \
    >"$work/ferun.log" 2>&1 || { cat "$work/ferun.log"; fail "ferun could not run the queued input"; }
  grep '^onKey' "$work/ferun.log" >"$work/expected.txt"
  grep -q '^onKey 4096' "$work/expected.txt" || { cat "$work/ferun.log"; fail "the queued press did not reach onKey"; }
fi

# The display: Xvfb picks a free number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
i=0
while [ ! -s "$work/display" ] && [ "$i" -lt 100 ] && kill -0 "$xvfb_pid" 2>/dev/null; do
  sleep 0.1
  i=$((i + 1))
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; skip "Xvfb could not start"; }
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
echo "Xvfb on $DISPLAY"

# plumet from the sources, with a start-up script that runs the bundled one
# and then opens the drawing in "start".
printf '[Defaults]\nFEPath=%s/fe/\nLangFile=%s/lang.fe\n' "$work" "$share" >"$work/fe/PLUMET.INI"
{
  echo "($share/draft.fe) run"
  [ "$mode" = input ] && echo "$on_key"
  echo "/start { $open (plumet ready) aPrintLine } def"
} >"$work/fe/draft.fe"
env -u PLUMET_HEADLESS timeout 120 "$plumet" -f -i "$work/fe/PLUMET.INI" >"$work/plumet.log" 2>"$work/plumet.err" &
plumet_pid=$!
wait_for 'plumet ready' "$work/plumet.log" 60 ||
  { cat "$work/plumet.log" "$work/plumet.err"; fail "plumet did not open the drawing on the display"; }

if [ "$mode" = shot ]; then
  timeout 60 "$probe" "$reference" "$work/shot.png" || fail "the display does not show the headless rendering (see $work/shot.png)"
else
  timeout 60 "$probe" press "$reference" "$press_x" "$press_y" $keysyms || fail "xinput could not press"
  lines=$(wc -l <"$work/expected.txt")
  i=0
  while [ "$(grep -c '^onKey' "$work/plumet.log")" -lt "$lines" ] && [ "$i" -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  grep '^onKey' "$work/plumet.log" >"$work/got.txt"
  if ! cmp -s "$work/expected.txt" "$work/got.txt"; then
    echo "headless queue:"; cat "$work/expected.txt"
    echo "display:"; cat "$work/got.txt"
    fail "the input from the display differs from the headless queue's"
  fi
  timeout 60 "$probe" close || fail "xinput could not close the frame"
fi

# Closing the frame ends the program, with status 0.
i=0
while kill -0 "$plumet_pid" 2>/dev/null && [ "$i" -lt 200 ]; do
  sleep 0.1
  i=$((i + 1))
done
kill -0 "$plumet_pid" 2>/dev/null && { cat "$work/plumet.err"; fail "plumet did not end when its frame was closed"; }
wait "$plumet_pid"
status=$?
plumet_pid=
[ "$status" -eq 0 ] || { cat "$work/plumet.log" "$work/plumet.err"; fail "plumet ended with status $status"; }
echo "passed"
