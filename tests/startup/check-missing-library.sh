#!/usr/bin/env bash
# A library the program opens on first use that cannot be loaded (here
# libsndfile, shadowed by a file that is not a library) leaves the program
# running: a compressed sound is refused with a message that names the
# library, and a WAV, which the program reads itself, still opens.
# Usage: check-missing-library.sh ZORVANE_EXECUTABLE
set -uo pipefail
exe=$1
command -v sox >/dev/null || { echo "sox is not installed: skipped"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/lib"
for name in libsndfile.so.1 libsndfile.so; do echo "not a library" >"$dir/lib/$name"; done
sox -n -r 44100 -c 1 "$dir/tone.flac" synth 1 sine 440 || exit 1
sox -n -r 44100 -c 1 -b 16 "$dir/tone.wav" synth 1 sine 440 || exit 1
fail=0
LD_LIBRARY_PATH=$dir/lib "$exe" --beats "$dir/tone.flac" >/dev/null 2>"$dir/flac.err"
rc=$?
if [ $rc -eq 0 ] || [ $rc -ge 128 ]; then echo "FLAC without libsndfile: exit code $rc"; fail=1; fi
grep -q "libsndfile.so.1 could not be loaded" "$dir/flac.err" ||
  { echo "FLAC without libsndfile: the message does not name the library: $(cat "$dir/flac.err")"; fail=1; }
LD_LIBRARY_PATH=$dir/lib "$exe" --beats "$dir/tone.wav" >/dev/null 2>"$dir/wav.err"
rc=$?
# 0: beats found; 3: none in a steady tone. Anything else: the WAV did not open.
if [ $rc -ne 0 ] && [ $rc -ne 3 ]; then echo "WAV without libsndfile: exit code $rc: $(cat "$dir/wav.err")"; fail=1; fi
[ $fail -eq 0 ] && echo "without libsndfile: $(cat "$dir/flac.err")"
exit $fail
