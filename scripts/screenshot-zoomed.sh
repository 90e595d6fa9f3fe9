#!/usr/bin/env bash
# The README picture: a real Zorvane window on the X display, zoomed in on
# the frame grid of a demo WAV, with marks (imported from a label file, so
# they carry words), a selection and the play line.
#   - opens the demo WAV from the command line;
#   - Marks > Import Marks... (a label file) through the real file dialog;
#   - two Zoom Ins (keys "+"), which keep the play line (at the start) in place;
#   - Step to frame 8, I (selection start), Step to 40, O (selection end),
#     Back to frame 21: the play line between the marks;
#   - takes the screenshot.
# Usage: screenshot-zoomed.sh ZORVANE OUT.png
# Needs DISPLAY (scripts/with-sound-stack.sh provides one), xdotool and
# ImageMagick's import; exits 77 (skipped) without them.
set -uo pipefail
zorvane=$1 out=$2
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null && command -v import >/dev/null || { echo "SKIP: no display or tools"; exit 77; }

work=$(mktemp -d /tmp/zorvane-shot.XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
wav=$work/dialogue.wav
python3 "$(dirname "$0")/make-demo-wav.py" "$wav" 2 6 || exit 1
# Words on the demo's syllables (Audacity labels: start, end, text; seconds).
printf '0.300000\t0.300000\thel\n0.520000\t0.520000\tlo\n0.900000\t1.250000\tworld\n1.500000\t1.500000\tand\n' >"$work/words.txt"

QT_QPA_PLATFORM=xcb "$zorvane" "$wav" >"$work/out.log" 2>&1 &
pid=$!
. "$(dirname "$0")/window-steps.sh"
find_window
wait_for 60 colour_shown '#FF0000' || { echo "the waveform was not drawn"; cat "$work/out.log"; exit 1; }

# Marks > Import Marks...: the File menu opened with a click, then Right to
# the fourth menu (Marks) and up to its last entry.
for _ in 1 2 3; do
  xdotool mousemove --window "$wid" 18 10 click 1
  sleep 0.4
  xdotool key Right Right Right
  sleep 0.3
  xdotool key Up Return
  wait_for 10 dialog_shown && break
  xdotool key Escape Escape Escape
done
dialog_shown || { echo "the import dialog did not appear"; exit 1; }
sleep 0.5
xdotool type --delay 5 "$work/words.txt"
xdotool key Return
wait_for 30 dialog_gone || { echo "the import dialog did not close"; exit 1; }
wait_for 30 colour_shown '#40E0FF' || { echo "no marks were drawn"; exit 1; }

# The keys go to the waveform box: a click on it first would sound a frame
# and move the position, so focus the window and let the keys reach it.
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key --window "$wid" --delay 60 plus plus
xdotool key --window "$wid" --delay 40 $(printf 'Right %.0s' $(seq 8)) i $(printf 'Right %.0s' $(seq 32)) o \
  $(printf 'Left %.0s' $(seq 19))
sleep 1
import -window "$wid" "$out" || exit 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
