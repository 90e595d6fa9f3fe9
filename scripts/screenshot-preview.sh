#!/usr/bin/env bash
# The README's Mouth Preview picture: a real Zorvane window on the X display
# with two characters, Ann (Preston Blair's shapes) and Bob (A-H + X), whose
# words and mouth shapes are kept in the marks file beside a demo WAV, the
# Mouth Preview panel showing (remembered in a private settings folder), the
# waveform zoomed in and the play line stepped to frame 14, where Ann says
# L and Bob D.
# Usage: screenshot-preview.sh ZORVANE OUT.png
# Needs DISPLAY (scripts/with-sound-stack.sh provides one, or run it under
# xvfb-run), xdotool and ImageMagick's import; exits 77 (skipped) without them.
set -uo pipefail
zorvane=$1 out=$2
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null && command -v import >/dev/null || { echo "SKIP: no display or tools"; exit 77; }

work=$(mktemp -d /tmp/zorvane-preview-shot.XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
wav=$work/scene.wav
python3 "$(dirname "$0")/make-demo-wav.py" "$wav" 2 3 || exit 1
# The document beside the sound: 44.1 kHz at 30 frames a second is 1470
# samples a frame.
python3 - "$wav.zorvane-marks.json" <<'PY' || exit 1
import json, sys
f = 1470
def runs(spans):
    return [{"start": a * f, "end": b * f, "text": t} for a, b, t in spans]
def person(pid, colour, mouth_set):
    return json.dumps({"id": pid, "colour": colour, "mouthSet": mouth_set, "drawings": ""})
doc = {"format": "zorvane-marks", "version": 2, "sound": "scene.wav", "sampleRate": 44100, "tracks": [
    {"name": "Marks", "items": []},
    {"name": "Characters", "items": [
        {"start": 0, "text": "Ann", "kind": person(1, 0x2E86C1, "Preston Blair")},
        {"start": 0, "text": "Bob", "kind": person(2, 0xD35400, "A-H")}]},
    {"name": "Words", "items": runs([(9, 19, "hello")])},
    {"name": "Mouths", "items": runs([(0, 9, "rest"), (9, 12, "E"), (12, 15, "L"), (15, 19, "O"), (19, 90, "rest")])},
    {"name": "Words 2", "items": runs([(10, 20, "hi there")])},
    {"name": "Mouths 2", "items": runs([(0, 10, "X"), (10, 13, "B"), (13, 17, "D"), (17, 20, "F"), (20, 90, "X")])},
]}
open(sys.argv[1], "w").write(json.dumps(doc, indent=1))
PY
mkdir -p "$work/config/Zorvane"
printf '[view]\nmouthPreview=true\n' >"$work/config/Zorvane/Zorvane.conf"

XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb "$zorvane" "$wav" >"$work/out.log" 2>&1 &
pid=$!
. "$(dirname "$0")/window-steps.sh"
find_window
wait_for 60 colour_shown '#FF0000' || { echo "the waveform was not drawn"; cat "$work/out.log"; exit 1; }
# The drawings' lip colour: the panel is showing.
wait_for 20 colour_shown '#D46A6A' || { echo "the mouth preview did not show"; cat "$work/out.log"; exit 1; }

# Wide enough for the waveform and the two drawings side by side.
xdotool windowsize --sync "$wid" 1120 640 2>/dev/null || xdotool windowsize "$wid" 1120 640
sleep 0.5
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key --window "$wid" --delay 60 plus plus
xdotool key --window "$wid" --delay 40 $(printf 'Right %.0s' $(seq 14))
sleep 1
import -window "$wid" "$work/shot.png" || exit 1
# A small picture for the README: 64 colours keep the drawings and the text.
convert "$work/shot.png" -colors 64 "$out" || exit 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
