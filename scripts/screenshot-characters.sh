#!/usr/bin/env bash
# The README's picture of several characters: a real Zorvane window on the
# X display with two characters' lanes under the waveform of a two-voice
# scene that espeak-ng speaks here, and the Mouth Preview panel beside it
# showing both characters' mouths for the frame heard.
#   - two lines in two voices, joined with pauses (sox);
#   - each line broken down alone by `zorvane --breakdown` (JSON at 24 fps),
#     Ann's with Preston Blair's shapes, Bob's with A-H + X;
#   - the two breakdowns written beside the scene as Ann's and Bob's tracks
#     (the marks file keeps the characters, Bob's own mouth set, and their
#     tracks), so Zorvane opens the scene with both characters;
#   - the window opened on the scene from the command line with the Mouth
#     Preview showing (remembered in a private settings folder), the play
#     line stepped into Ann's line, then the shot.
# Usage: screenshot-characters.sh ZORVANE OUT.png
# Needs DISPLAY (scripts/with-sound-stack.sh provides one), xdotool,
# ImageMagick's import, espeak-ng and sox; exits 77 (skipped) without them.
set -uo pipefail
zorvane=$1 out=$2
for tool in xdotool import convert espeak-ng sox python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "SKIP: no display"; exit 77; }

work=$(mktemp -d /tmp/zorvane-chars.XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
rate=22050
ann="Where did you hide the map?"
bob="Under the old table."
espeak-ng -v en-us -s 150 -w "$work/ann-raw.wav" "$ann" || exit 1
espeak-ng -v en-us+f3 -p 70 -s 150 -w "$work/bob-raw.wav" "$bob" || exit 1
for who in ann bob; do
  sox "$work/$who-raw.wav" -r $rate -c 1 -b 16 "$work/$who.wav" || exit 1
done
# The scene: 0.3 s, Ann, 0.5 s, Bob, 0.3 s.
sox -n -r $rate -c 1 -b 16 "$work/gap.wav" trim 0 0.5 || exit 1
sox -n -r $rate -c 1 -b 16 "$work/edge.wav" trim 0 0.3 || exit 1
sox "$work/edge.wav" "$work/ann.wav" "$work/gap.wav" "$work/bob.wav" "$work/edge.wav" "$work/scene.wav" || exit 1
annSamples=$(soxi -s "$work/ann.wav")

printf '%s\n' "$ann" >"$work/ann.txt"
printf '%s\n' "$bob" >"$work/bob.txt"
"$zorvane" --breakdown "$work/ann.wav" --text "$work/ann.txt" --fps 24 --mouths preston-blair --output "$work/ann.json" || exit 1
"$zorvane" --breakdown "$work/bob.wav" --text "$work/bob.txt" --fps 24 --mouths a-h --output "$work/bob.json" || exit 1

python3 - "$work" $rate "$annSamples" <<'PY' || exit 1
import json, sys, wave
work, rate, ann_samples = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
edge, gap = int(0.3 * rate), int(0.5 * rate)
with wave.open(work + "/scene.wav") as w:
    total = w.getnframes()
per_frame = rate / 24.0

def tracks(path, offset, suffix, end):
    data = json.load(open(path))
    words, phonemes, mouths = [], [], []
    s = lambda sec: offset + int(round(sec * rate))
    for word in data["words"]:
        words.append({"start": s(word["start"]), "end": s(word["end"]), "text": word["text"]})
        for p in word.get("phonemes", []):
            phonemes.append({"start": s(p["start"]), "end": s(p["end"]), "text": p["text"]})
    changes = data.get("mouths", [])
    for i, m in enumerate(changes):
        start = offset + int(round(m["frame"] * per_frame))
        stop = offset + int(round(changes[i + 1]["frame"] * per_frame)) if i + 1 < len(changes) else end
        if stop > start:
            mouths.append({"start": start, "end": stop, "text": m["shape"]})
    return [{"name": "Words" + suffix, "items": words}, {"name": "Phonemes" + suffix, "items": phonemes},
            {"name": "Mouths" + suffix, "items": mouths}]

bob_offset = edge + ann_samples + gap
characters = {"name": "Characters", "items": [
    {"start": 0, "text": "Ann", "kind": json.dumps({"id": 1, "colour": 0x4FC3F7, "mouthSet": "", "drawings": ""})},
    {"start": 0, "text": "Bob", "kind": json.dumps({"id": 2, "colour": 0xFFB74D, "mouthSet": "A-H", "drawings": ""})}]}
doc = {"format": "zorvane-marks", "version": 2, "sound": "scene.wav", "sampleRate": rate,
       "tracks": [{"name": "Marks", "items": []}, characters]
       + tracks(work + "/ann.json", edge, "", bob_offset)
       + tracks(work + "/bob.json", bob_offset, " 2", total)}
json.dump(doc, open(work + "/scene.wav.zorvane-marks.json", "w"), indent=1)
PY

mkdir -p "$work/config/Zorvane"
printf '[view]\nmouthPreview=true\n' >"$work/config/Zorvane/Zorvane.conf"
XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb "$zorvane" "$work/scene.wav" >"$work/out.log" 2>&1 &
pid=$!
. "$(dirname "$0")/window-steps.sh"
find_window
# Ann's tag is filled with her colour once the lanes are drawn.
wait_for 60 colour_shown '#4FC3F7' || { echo "the characters' lanes were not drawn"; cat "$work/out.log"; exit 1; }
# The drawings' lip colour: the preview is showing.
wait_for 20 colour_shown '#D46A6A' || { echo "the mouth preview did not show"; cat "$work/out.log"; exit 1; }
# Wide enough for the lanes and the two drawings side by side.
xdotool windowsize --sync "$wid" 1180 700 2>/dev/null || xdotool windowsize "$wid" 1180 700
sleep 0.5
xdotool windowfocus --sync "$wid" 2>/dev/null
# Into Ann's line: a frame a step, 0.3 s of lead-in then some of her words.
xdotool key --window "$wid" --delay 40 $(printf 'Right %.0s' $(seq 16))
sleep 1
import -window "$wid" "$work/shot.png" || exit 1
# A small picture for the README: 64 colours keep the lanes, the drawings and the text.
convert "$work/shot.png" -colors 64 "$out" || exit 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
