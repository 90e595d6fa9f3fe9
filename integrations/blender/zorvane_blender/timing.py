# SPDX-License-Identifier: GPL-3.0-or-later
# Zorvane's timing JSON read and checked without Blender: the dialogue
# breakdown (words, mouths; one speaker or a "characters" list) and the beats
# ({"beats": [{"time", "frame", "bar", "beat"}], ...}). Everything is checked
# before anything reaches a scene, so a damaged file is refused whole with a
# message that says what is wrong.
#
# Units: times in seconds (floats as Zorvane writes them); frame rates as
# exact fractions (frames a second); sample rates in Hz; frames count from 0,
# the frame holding a time at a rate being the one Zorvane gives it.

import json
import math
import os
from dataclasses import dataclass, field
from fractions import Fraction
from typing import List, Optional

# Files larger than this are not Zorvane's timing (a 2-hour breakdown is a
# few MB).
MAX_FILE_BYTES = 64 * 1024 * 1024
# Times beyond about 11 days are damage, not a sound.
MAX_SECONDS = 1.0e6

PRESTON_BLAIR = ["AI", "E", "O", "U", "etc", "L", "WQ", "MBP", "FV", "rest"]
NINE_SHAPES = ["A", "B", "C", "D", "E", "F", "G", "H", "X"]
BUILT_IN_SETS = {
    "prestonblair": PRESTON_BLAIR,
    "ah": NINE_SHAPES,
    "ahx": NINE_SHAPES,
}

# A beats file gives no sample rate. Its times are samples / sample rate
# to the microsecond, and its frames those holding the samples at its own
# rate: the first of these rates that gives back every time and frame is
# taken as the sound's, so boundary samples land as Zorvane places them.
LIKELY_SAMPLE_RATES = (48000, 44100, 96000, 88200, 32000, 22050, 24000, 16000, 11025, 8000, 192000, 176400)
# Without one, a time up to just under half a 48 kHz sample before a frame's
# exact start is taken as that frame's first sample.
BOUNDARY_SLACK_SECONDS = Fraction(1, 96000)


class TimingError(Exception):
    """A file that is not Zorvane timing this add-on can read; str() is the message."""


@dataclass
class Word:
    text: str
    start: float             # seconds


@dataclass
class Mouth:
    frame: int               # at the file's frame rate, from 0
    shape: str
    start: Optional[float]   # seconds, when the file gives them


@dataclass
class Character:
    name: str                # "" for the single unnamed speaker
    shapes: List[str]        # the mouth set's order: shape i is numbered i + 1
    words: List[Word] = field(default_factory=list)
    mouths: List[Mouth] = field(default_factory=list)

    def number_of(self, shape):
        return self.shapes.index(shape) + 1


@dataclass
class Beat:
    time: float              # seconds
    bar: int
    beat: int
    frame: Optional[int] = None   # at the file's frame rate, when given


@dataclass
class Timing:
    frame_rate: Fraction                 # the rate the file's frames are at
    sample_rate: Optional[int]           # Hz: the file's, or the likely one of a beats file
    sound: Optional[str]                 # the sound's file name or path
    characters: List[Character] = field(default_factory=list)
    beats: List[Beat] = field(default_factory=list)
    bpm: Optional[float] = None
    meter: Optional[str] = None


# ---- Frame arithmetic -------------------------------------------------------

def parse_rate(value):
    """A frame rate as Zorvane writes it ("24", "24/1", "30000/1001", 25,
    "23.976") as an exact Fraction; TimingError otherwise."""
    try:
        if isinstance(value, bool):
            raise ValueError
        if isinstance(value, (int, float)):
            rate = Fraction(str(value))
        elif isinstance(value, str):
            text = value.strip()
            if text.count("/") == 1:
                num, den = text.split("/")
                rate = Fraction(int(num.strip()), int(den.strip()))
            else:
                rate = Fraction(text)
        else:
            raise ValueError
    except (ValueError, ZeroDivisionError, OverflowError):
        raise TimingError('"frameRate" is not a frame rate: %s' % _show(value))
    if rate <= 0 or rate > 1000:
        raise TimingError('"frameRate" is not a frame rate: %s' % _show(value))
    return rate


def scene_rate(fps, fps_base):
    """The exact rate of a Blender scene: fps / fps_base, with the base read
    to 6 decimals (Blender keeps 1.001 as 1.00100004673)."""
    base = Fraction(repr(round(float(fps_base), 6)))
    if fps <= 0 or base <= 0:
        raise TimingError("The scene's frame rate is not positive")
    return Fraction(int(fps)) / base


def frame_start_sample(frame, rate, sample_rate):
    """First sample of a frame: round-half-even(frame x sample_rate / rate)."""
    return round(Fraction(frame * sample_rate) / rate)


def frame_of_sample(sample, rate, sample_rate):
    """The frame holding a sample: the largest n whose first sample is at or
    before it."""
    n = math.floor(Fraction(sample) * rate / sample_rate)
    while frame_start_sample(n + 1, rate, sample_rate) <= sample:
        n += 1
    while frame_start_sample(n, rate, sample_rate) > sample:
        n -= 1
    return n


class FrameMapper:
    """Places the file's times on the frames of a scene's rate."""

    def __init__(self, timing, rate):
        self.timing = timing
        self.rate = rate

    def frame_of_seconds(self, seconds):
        sr = self.timing.sample_rate
        if sr:
            return frame_of_sample(round(Fraction(seconds) * sr), self.rate, sr)
        return math.floor((Fraction(seconds) + BOUNDARY_SLACK_SECONDS) * self.rate)

    def frame_of_mouth(self, mouth):
        if mouth.start is not None:
            return self.frame_of_seconds(mouth.start)
        file_rate = self.timing.frame_rate
        if file_rate == self.rate:
            return mouth.frame
        sr = self.timing.sample_rate
        if sr:
            return frame_of_sample(frame_start_sample(mouth.frame, file_rate, sr), self.rate, sr)
        return math.floor(Fraction(mouth.frame) / file_rate * self.rate)


# ---- Reading ----------------------------------------------------------------

def read_timing(path):
    """The timing in the file at `path`; TimingError naming the file when it
    cannot be read or is not Zorvane timing."""
    name = os.path.basename(path) or path
    try:
        size = os.path.getsize(path)
        if size > MAX_FILE_BYTES:
            raise TimingError("%s is %d MB, too large for Zorvane timing" % (name, size // (1024 * 1024)))
        with open(path, "rb") as f:
            data = f.read(MAX_FILE_BYTES + 1)
    except OSError as e:
        raise TimingError("Cannot open '%s': %s" % (path, e.strerror or e))
    try:
        return parse_timing(data)
    except TimingError as e:
        raise TimingError("%s: %s" % (name, e))


def parse_timing(data):
    """The timing in a JSON text (bytes or str)."""
    if isinstance(data, bytes):
        try:
            data = data.decode("utf-8-sig")
        except UnicodeDecodeError as e:
            raise TimingError("not a UTF-8 text (byte %d)" % e.start)
    if not data.strip():
        raise TimingError("the file is empty")
    try:
        doc = json.loads(data, parse_constant=_refuse_constant)
    except json.JSONDecodeError as e:
        raise TimingError("not JSON (line %d, column %d: %s)" % (e.lineno, e.colno, e.msg))
    except (ValueError, RecursionError) as e:
        raise TimingError("not JSON (%s)" % e)
    if not isinstance(doc, dict):
        raise TimingError("not Zorvane timing: the JSON is not an object")
    if "version" in doc and doc["version"] != 1:
        raise TimingError("made by another version of Zorvane (version %s); this add-on reads version 1"
                          % _show(doc["version"]))
    is_breakdown = any(k in doc for k in ("words", "mouths", "characters"))
    if not is_breakdown and "beats" not in doc:
        raise TimingError('not Zorvane timing: it has no "words", "mouths", "characters" or "beats"')
    if "frameRate" not in doc:
        raise TimingError('"frameRate" is missing')
    timing = Timing(frame_rate=parse_rate(doc["frameRate"]), sample_rate=None, sound=None)
    if doc.get("sampleRate") is not None:
        sr = doc["sampleRate"]
        if not _is_int(sr) or not 1 <= sr <= 10_000_000:
            raise TimingError('"sampleRate" is not a sample rate: %s' % _show(sr))
        timing.sample_rate = sr
    if doc.get("sound") is not None:
        if not isinstance(doc["sound"], str):
            raise TimingError('"sound" is not a file name: %s' % _show(doc["sound"]))
        timing.sound = doc["sound"] or None
    if "characters" in doc:
        chars = _list(doc, "characters")
        seen = set()
        for i, c in enumerate(chars):
            where = "characters[%d]" % i
            if not isinstance(c, dict):
                raise TimingError("%s is not an object" % where)
            name = c.get("name")
            if not isinstance(name, str) or not name.strip():
                raise TimingError('%s has no "name"' % where)
            if name in seen:
                raise TimingError('the character "%s" is listed twice' % name)
            seen.add(name)
            timing.characters.append(_character(c, name, where, c.get("mouthSet")))
    if "words" in doc or "mouths" in doc:
        # A single unnamed speaker, as every breakdown before characters.
        if timing.characters:
            raise TimingError('"characters" and a single speaker\'s "words" or "mouths" are both given')
        timing.characters.append(_character(doc, "", "", doc.get("mouthSet")))
    if "beats" in doc:
        timing.beats = [_beat(b, "beats[%d]" % i) for i, b in enumerate(_list(doc, "beats"))]
        bpm = doc.get("bpm")
        if bpm is not None and not (_is_number(bpm) and 0 < bpm < 10000):
            raise TimingError('"bpm" is not a tempo: %s' % _show(bpm))
        timing.bpm = bpm
        meter = doc.get("meter")
        if meter is not None:
            if not isinstance(meter, str) or not _is_meter(meter):
                raise TimingError('"meter" is not a meter such as "3/4": %s' % _show(meter))
            timing.meter = meter
        if timing.sample_rate is None:
            timing.sample_rate = likely_sample_rate(timing.beats, timing.frame_rate)
    return timing


def likely_sample_rate(beats, rate):
    """The first of the usual sample rates whose samples give back every
    beat's time (to the microsecond) and frame; None when none does."""
    for sr in LIKELY_SAMPLE_RATES:
        fits = True
        for b in beats:
            sample = round(Fraction(b.time) * sr)
            if abs(Fraction(sample, sr) - Fraction(b.time)) > Fraction(1, 2000000) + Fraction(1, 10 ** 9):
                fits = False
            elif b.frame is not None and frame_of_sample(sample, rate, sr) != b.frame:
                fits = False
            if not fits:
                break
        if fits and beats:
            return sr
    return None


def _character(obj, name, where, mouth_set):
    prefix = where + "." if where else ""
    words = []
    for i, w in enumerate(_list(obj, "words", prefix, optional=True)):
        at = "%swords[%d]" % (prefix, i)
        if not isinstance(w, dict):
            raise TimingError("%s is not an object" % at)
        text = w.get("text")
        if not isinstance(text, str):
            raise TimingError('%s has no "text"' % at)
        words.append(Word(text=text, start=_seconds(w, "start", at)))
    mouths = []
    for i, m in enumerate(_list(obj, "mouths", prefix, optional=True)):
        at = "%smouths[%d]" % (prefix, i)
        if not isinstance(m, dict):
            raise TimingError("%s is not an object" % at)
        frame = m.get("frame")
        if not _is_int(frame) or not 0 <= frame <= 1_000_000_000:
            raise TimingError('%s has no "frame" from 0: %s' % (at, _show(frame)))
        shape = m.get("shape")
        if not isinstance(shape, str) or not shape:
            raise TimingError('%s has no "shape"' % at)
        start = _seconds(m, "start", at) if m.get("start") is not None else None
        mouths.append(Mouth(frame=frame, shape=shape, start=start))
    shapes = _shapes_of(mouth_set, [m.shape for m in mouths], prefix)
    return Character(name=name, shapes=shapes, words=words, mouths=mouths)


def _shapes_of(mouth_set, used, prefix):
    """The order shapes are numbered in: the mouth set's when the file names
    or lists it, else the built-in set holding every shape used, else the
    order they first appear in."""
    shapes = None
    if isinstance(mouth_set, dict):
        mouth_set = mouth_set.get("shapes", mouth_set.get("name"))
    if isinstance(mouth_set, list):
        if not all(isinstance(s, str) and s for s in mouth_set) or len(set(mouth_set)) != len(mouth_set):
            raise TimingError('%s"mouthSet" must list each shape once by name' % prefix)
        shapes = list(mouth_set)
    elif isinstance(mouth_set, str):
        key = "".join(ch for ch in mouth_set.lower() if ch.isalnum())
        if key in BUILT_IN_SETS:
            shapes = list(BUILT_IN_SETS[key])
    elif mouth_set is not None:
        raise TimingError('%s"mouthSet" is not a mouth set: %s' % (prefix, _show(mouth_set)))
    if shapes is None:
        used_set = set(used)
        for built_in in (PRESTON_BLAIR, NINE_SHAPES):
            if used_set <= set(built_in):
                shapes = list(built_in)
                break
        else:
            shapes = []
    for s in used:
        if s not in shapes:
            shapes.append(s)
    return shapes


def _beat(b, at):
    if not isinstance(b, dict):
        raise TimingError("%s is not an object" % at)
    time = _seconds(b, "time", at, allow_negative=True)
    bar, beat = b.get("bar"), b.get("beat")
    if not _is_int(bar) or not _is_int(beat) or beat < 1 or abs(bar) > 1_000_000 or beat > 1000:
        raise TimingError('%s has no "bar" and "beat" numbers' % at)
    confidence = b.get("confidence")
    if confidence is not None and not (_is_number(confidence) and 0 <= confidence <= 1):
        raise TimingError('%s "confidence" is not between 0 and 1: %s' % (at, _show(confidence)))
    frame = b.get("frame")
    if frame is not None and not _is_int(frame):
        raise TimingError('%s "frame" is not a frame number: %s' % (at, _show(frame)))
    return Beat(time=time, bar=bar, beat=beat, frame=frame)


def _seconds(obj, key, at, allow_negative=False):
    value = obj.get(key)
    low = -MAX_SECONDS if allow_negative else 0
    if not _is_number(value) or not low <= value <= MAX_SECONDS:
        raise TimingError('%s has no "%s" in seconds: %s' % (at, key, _show(value)))
    return float(value)


def _list(obj, key, prefix="", optional=False):
    if key not in obj or (optional and obj[key] is None):
        if optional:
            return []
        raise TimingError('"%s%s" is missing' % (prefix, key))
    value = obj[key]
    if not isinstance(value, list):
        raise TimingError('"%s%s" is not a list' % (prefix, key))
    return value


def _is_int(v):
    return isinstance(v, int) and not isinstance(v, bool)


def _is_number(v):
    return (isinstance(v, (int, float)) and not isinstance(v, bool)) and math.isfinite(v)


def _is_meter(text):
    parts = text.split("/")
    return len(parts) == 2 and all(p.isdigit() and 0 < int(p) <= 64 for p in parts)


def _refuse_constant(name):
    raise ValueError("%s is not a number JSON allows" % name)


def _show(value):
    text = json.dumps(value) if not isinstance(value, float) or math.isfinite(value) else str(value)
    return text if len(text) <= 40 else text[:37] + "..."
