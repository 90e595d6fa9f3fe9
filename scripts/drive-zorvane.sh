#!/usr/bin/env bash
# Drives a real Zorvane window on the X display as a user would: File > Open
# Wav File, types the path of a demo WAV into the real file dialog, sets the
# selection's start with the left button and its end with the right button
# on the timeline strip, presses Play and takes a screenshot of the window
# while the selection plays.
# Usage: drive-zorvane.sh ZORVANE OUT.png [--check]
#   --check: fail unless the screenshot shows the two-channel waveform (red
#            over green) and the strip's selection marks.
# Needs DISPLAY (scripts/with-sound-stack.sh provides one), xdotool and
# ImageMagick's import; exits 77 (skipped) without them.
set -uo pipefail
zorvane=$1 out=$2 check=${3:-}
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null && command -v import >/dev/null || { echo "SKIP: no display or tools"; exit 77; }

work=$(mktemp -d /tmp/zorvane-demo.XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
wav=$work/dialogue.wav
python3 "$(dirname "$0")/make-demo-wav.py" "$wav" 2 6 || exit 1

QT_QPA_PLATFORM=xcb "$zorvane" >"$work/out.log" 2>&1 &
pid=$!
. "$(dirname "$0")/window-steps.sh"
find_window

# File > Open Wav File; the dialog starts with the file name box focused.
# The menu opens on the click; should the keys come before it is up, no
# dialog appears and the menu is opened again.
for _ in 1 2 3; do
  xdotool mousemove --window "$wid" 18 10 click 1
  sleep 0.4
  xdotool key Down Return
  wait_for 20 dialog_shown && break
  xdotool key Escape Escape
done
dialog_shown || { echo "the open dialog did not appear"; exit 1; }
sleep 0.5
xdotool type --delay 5 "$wav"
xdotool key Return
# The dialog closes and the waveform (red over green) is drawn.
wait_for 60 dialog_gone || { echo "the open dialog did not close"; exit 1; }
wait_for 60 colour_shown '#FF0000' || { echo "the waveform was not drawn"; exit 1; }

# The strip lies at the panel's top: the panel is docked to the bottom,
# 2295 twips (153 pixels at 96 dpi) high, and the strip is 17 pixels high.
eval "$(xdotool getwindowgeometry --shell "$wid")"
y=$((HEIGHT - 153 + 8))
xdotool mousemove --window "$wid" $((WIDTH * 27 / 100)) $y click 1
sleep 0.2
xdotool mousemove --window "$wid" $((WIDTH * 58 / 100)) $y click 3
# The strip shows the yellow selection band at the next status update.
wait_for 60 colour_shown '#CCCC00' || { echo "the selection was not drawn"; exit 1; }
# Play: the second of the seven buttons sharing three quarters of the width,
# 1140 twips (76 pixels) down the panel.
xdotool mousemove --window "$wid" $((WIDTH * 75 / 100 * 3 / 14)) $((HEIGHT - 153 + 86)) click 1
sleep 1.2
import -window "$wid" "$out" || exit 1
echo "screenshot: $out (${WIDTH}x${HEIGHT})"

if [ "$check" = "--check" ]; then
  colours=$(convert "$out" -format %c histogram:info:-)
  fail=0
  for c in '#FF0000' '#00FF00' '#0000FF' '#CCCC00'; do
    grep -q "$c" <<<"$colours" || { echo "no $c pixels in the screenshot"; fail=1; }
  done
  # Red (first channel) lies in the upper half of the waveform box, green below it.
  top=$(convert "$out" -crop "${WIDTH}x$((HEIGHT / 3))+0+20" -format %c histogram:info:- | grep -c '#FF0000')
  [ "$top" -gt 0 ] || { echo "no red waveform at the top"; fail=1; }
  exit $fail
fi
