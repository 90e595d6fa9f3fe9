# SPDX-License-Identifier: GPL-3.0-or-later
# What an import puts in a scene, worked out in full before the scene is
# touched: the markers (frame, name), the mouth properties and their keys
# (frame, shape number) and the sound to add. Scene frames are the scene's
# first frame plus the frame holding each time at the scene's rate, so the
# sound's first sample sits on the scene's first frame.

import os
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

from .timing import FrameMapper, TimingError

# Blender's frame range (MINAFRAME .. MAXFRAME).
MIN_FRAME = -1048574
MAX_FRAME = 1048574
# Longest name Blender keeps for a marker or a custom property (bytes).
MAX_NAME_BYTES = 63

SOUND_EXTENSIONS = (".wav", ".flac", ".ogg", ".oga", ".opus", ".mp3", ".aif", ".aiff", ".m4a")


@dataclass
class MouthCurve:
    prop: str                          # "mouth" or "mouth_<name>"
    description: str                   # "1 AI, 2 E, ...": what each number means
    count: int                         # the number of shapes
    keys: List[Tuple[int, int]] = field(default_factory=list)   # (scene frame, shape number)


@dataclass
class Plan:
    markers: List[Tuple[int, str]] = field(default_factory=list)
    curves: List[MouthCurve] = field(default_factory=list)
    sound: Optional[str] = None        # an existing file, or None
    word_count: int = 0
    beat_count: int = 0


def clip_name(text, limit=MAX_NAME_BYTES):
    """`text` on one line, cut to `limit` bytes of UTF-8 at a character."""
    flat = "".join(" " if ord(ch) < 32 or ord(ch) == 127 else ch for ch in text).strip()
    data = flat.encode("utf-8")
    if len(data) <= limit:
        return flat
    return data[:limit].decode("utf-8", errors="ignore")


def property_name(character_name, taken):
    """"mouth" for the single unnamed speaker, else "mouth_<name>" with what a
    data path cannot hold turned into "_"; a name already `taken` gets "_2",
    "_3", ..."""
    if not character_name:
        base = "mouth"
    else:
        safe = "".join(ch if ch.isalnum() or ch == "_" else "_" for ch in character_name.strip())
        base = clip_name("mouth_" + safe, MAX_NAME_BYTES - 4)
    name, n = base, 2
    while name in taken:
        name = "%s_%d" % (base, n)
        n += 1
    taken.add(name)
    return name


def find_sound(timing, json_path):
    """The sound the file names, as given or beside the file; for a file that
    names none, a sound beside it with the same stem ("song.json",
    "song.beats.json" -> "song.wav"). None when there is none."""
    folder = os.path.dirname(os.path.abspath(json_path))
    if timing.sound:
        candidates = [timing.sound] if os.path.isabs(timing.sound) else []
        candidates += [os.path.join(folder, timing.sound), os.path.join(folder, os.path.basename(timing.sound))]
        for c in candidates:
            if os.path.isfile(c):
                return c
        return None
    stem = os.path.basename(json_path)
    stems = []
    while True:
        stem, ext = os.path.splitext(stem)
        if not ext:
            break
        stems.append(stem)
    for s in stems:
        for ext in SOUND_EXTENSIONS:
            c = os.path.join(folder, s + ext)
            if os.path.isfile(c):
                return c
    return None


def build_plan(timing, rate, first_frame, words=True, beats="BARS", mouths=True):
    """The plan for a scene at `rate` (an exact Fraction) whose sound starts
    on `first_frame`. `beats`: "BARS" (a marker on each bar's first beat),
    "BEATS" (one on every beat, "bar.beat") or "NONE". TimingError when a
    time lands outside Blender's frames."""
    mapper = FrameMapper(timing, rate)

    def scene_frame(frame):
        f = first_frame + frame
        if not MIN_FRAME <= f <= MAX_FRAME:
            raise TimingError("a time lands on frame %d, outside Blender's frames" % f)
        return f

    plan = Plan()
    named = len(timing.characters) > 1
    if words:
        for c in timing.characters:
            for w in c.words:
                text = ("%s: %s" % (c.name, w.text)) if named else w.text
                plan.markers.append((scene_frame(mapper.frame_of_seconds(w.start)), clip_name(text)))
                plan.word_count += 1
    if beats in ("BARS", "BEATS"):
        for b in timing.beats:
            if beats == "BARS" and b.beat != 1:
                continue
            name = ("Bar %d" % b.bar) if beats == "BARS" else ("%d.%d" % (b.bar, b.beat))
            plan.markers.append((scene_frame(mapper.frame_of_seconds(b.time)), name))
            plan.beat_count += 1
    if mouths:
        taken = set()
        for c in timing.characters:
            if not c.mouths:
                continue
            curve = MouthCurve(prop=property_name(c.name, taken),
                               description=", ".join("%d %s" % (i + 1, s) for i, s in enumerate(c.shapes)),
                               count=len(c.shapes))
            # One key a frame: where two changes land on one frame (a
            # scene slower than the file), the later one shows.
            by_frame = {}
            for m in c.mouths:
                by_frame[scene_frame(mapper.frame_of_mouth(m))] = c.number_of(m.shape)
            last = None
            for frame in sorted(by_frame):
                if by_frame[frame] != last:
                    curve.keys.append((frame, by_frame[frame]))
                    last = by_frame[frame]
            plan.curves.append(curve)
    return plan
