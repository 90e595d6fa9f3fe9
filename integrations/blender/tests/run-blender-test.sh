#!/usr/bin/env bash
# The Blender add-on against a real Blender, headless, on timing made by
# the zorvane command line: a spoken line (espeak-ng) broken down and a
# drum loop (sox) beat-tracked at 24, 30 and 23.976 fps.
# Usage: run-blender-test.sh ZORVANE WORKDIR. Exits 77 (skipped) when
# Blender is not installed.
set -euo pipefail
zorvane=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v blender >/dev/null; then
  echo "Blender add-on test skipped: blender is not installed (apt-get install blender)"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
cd "$work"

espeak-ng -v en-us -s 150 -w speech.wav "Please bring me the map and the old lantern from the cellar"
sox speech.wav line.wav pad 0.4 0.4
echo "Please bring me the map and the old lantern from the cellar" > line.txt
sox -n -r 44100 -c 1 kick.wav synth 0.08 sine 160:50 fade q 0.002 0.08 0.07 vol 0.9 pad 0 0.42
sox -n -r 44100 -c 1 hat.wav synth 0.03 whitenoise fade q 0.001 0.03 0.025 vol 0.2 pad 0 0.47
sox -m kick.wav hat.wav beat.wav
sox beat.wav loop.wav repeat 39

for rate in 24 30 23.976; do
  name=${rate/./}
  rc=0
  "$zorvane" --breakdown line.wav --text line.txt --fps "$rate" --output "line-$name.json" || rc=$?
  [ "$rc" -eq 0 ] || { echo "zorvane --breakdown at $rate exited $rc"; exit 1; }
  "$zorvane" --beats loop.wav --fps "$rate" --output "loop-$name.json"
done

# The add-on zipped as the README says, installed into a user folder of
# the test's own.
python3 -c 'import sys, zipfile, pathlib
root = pathlib.Path(sys.argv[1])
with zipfile.ZipFile(sys.argv[2], "w") as z:
    for f in sorted((root / "zorvane_blender").glob("*.py")):
        z.write(f, f.relative_to(root))' "$here/.." zorvane_blender.zip
export BLENDER_USER_SCRIPTS="$work/user-scripts" BLENDER_USER_CONFIG="$work/user-config"
export PYTHONDONTWRITEBYTECODE=1
blender -b --factory-startup --python-exit-code 1 --python "$here/blender_import.py" -- "$work" "$work/zorvane_blender.zip"
