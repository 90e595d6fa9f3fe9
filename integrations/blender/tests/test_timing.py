# SPDX-License-Identifier: GPL-3.0-or-later
# The add-on's reading and frame placement without Blender: where times land
# at other rates (on and one sample before frame boundaries), what a damaged
# file is told, and how the plan names and thins what it puts in the scene.
# Run: python3 -m unittest discover -s integrations/blender/tests -p 'test_*.py'

import json
import os
import sys
import tempfile
import types
import unittest
from fractions import Fraction

# The package without its Blender half (__init__ needs bpy).
HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.join(os.path.dirname(HERE), "zorvane_blender")
if "zorvane_blender" not in sys.modules:
    stub = types.ModuleType("zorvane_blender")
    stub.__path__ = [PACKAGE]
    sys.modules["zorvane_blender"] = stub

from zorvane_blender import plan, timing  # noqa: E402
from zorvane_blender.timing import TimingError  # noqa: E402


def breakdown(words=(), mouths=(), rate="24/1", sample_rate=48000, **extra):
    doc = {"sound": "line.wav", "sampleRate": sample_rate, "frameRate": rate,
           "words": [{"text": t, "start": s, "end": s + 0.1, "frame": 0, "endFrame": 0, "phonemes": []}
                     for t, s in words],
           "mouths": [{"frame": f, "shape": sh} for f, sh in mouths]}
    doc.update(extra)
    return json.dumps(doc)


class FramePlacement(unittest.TestCase):
    def word_frame(self, sample, sample_rate, rate):
        t = timing.parse_timing(breakdown(words=[("w", sample / sample_rate)], sample_rate=sample_rate))
        return timing.FrameMapper(t, rate).frame_of_seconds(t.characters[0].words[0].start)

    def test_words_on_and_one_sample_before_frame_boundaries(self):
        ntsc = Fraction(24000, 1001)
        # At 23.976 and 48 kHz frame 1 starts on sample 2002, frame 1000 on 2,002,000.
        self.assertEqual(self.word_frame(2001, 48000, ntsc), 0)
        self.assertEqual(self.word_frame(2002, 48000, ntsc), 1)
        self.assertEqual(self.word_frame(2001999, 48000, ntsc), 999)
        self.assertEqual(self.word_frame(2002000, 48000, ntsc), 1000)
        # At 30 and 22.05 kHz frame 1 starts on sample 735; at 24, 918.75 -> 919.
        self.assertEqual(self.word_frame(734, 22050, Fraction(30)), 0)
        self.assertEqual(self.word_frame(735, 22050, Fraction(30)), 1)
        self.assertEqual(self.word_frame(918, 22050, Fraction(24)), 0)
        self.assertEqual(self.word_frame(919, 22050, Fraction(24)), 1)
        # An hour in, where float seconds times the rate drifts.
        self.assertEqual(self.word_frame(3600 * 48000 - 1, 48000, Fraction(30)), 108000 - 1)
        self.assertEqual(self.word_frame(3600 * 48000, 48000, Fraction(30)), 108000)

    def test_beats_without_a_sample_rate_keep_boundary_samples_on_their_frame(self):
        def beat_frame(seconds, frame_at_24, rate, written=("frameRate", "24")):
            t = timing.parse_timing(json.dumps({written[0]: written[1], "bpm": 120.0, "beats": [
                {"time": seconds, "frame": frame_at_24, "bar": 1, "beat": 1}], "onsets": []}))
            return timing.FrameMapper(t, rate).frame_of_seconds(t.beats[0].time)
        # Written to the microsecond: 48 kHz sample 2000 (frame 1's first at
        # 24) and 1999; 44.1 kHz frame 1 starts on sample 1838 (1837.5 to even).
        self.assertEqual(beat_frame(0.041667, 1, Fraction(24)), 1)
        self.assertEqual(beat_frame(0.041646, 0, Fraction(24)), 0)
        self.assertEqual(beat_frame(round(1838 / 44100, 6), 1, Fraction(24)), 1)
        self.assertEqual(beat_frame(round(1837 / 44100, 6), 0, Fraction(24)), 0)
        # At 30 fps 44.1 kHz frame 1 starts on sample 1470, 48 kHz on 1600.
        self.assertEqual(beat_frame(round(1470 / 44100, 6), 0, Fraction(30)), 1)
        self.assertEqual(beat_frame(round(1469 / 44100, 6), 0, Fraction(30)), 0)
        self.assertEqual(beat_frame(round(1599 / 48000, 6), 0, Fraction(30)), 0)
        # 23.976 at 44.1 kHz: frame 37 starts on sample 68055, 11 us before
        # its exact start (68055.4875), further than a 48 kHz half sample.
        ntsc, at_ntsc = Fraction(24000, 1001), ("frameRate", "24000/1001")
        self.assertEqual(beat_frame(round(68055 / 44100, 6), 37, ntsc, at_ntsc), 37)
        self.assertEqual(beat_frame(round(68054 / 44100, 6), 36, ntsc, at_ntsc), 36)
        self.assertEqual(beat_frame(0.5, 12, Fraction(24000, 1001)), 11)
        self.assertEqual(beat_frame(0.5, 12, Fraction(30)), 15)

    def test_mouth_frames_move_to_the_frame_holding_their_start(self):
        t = timing.parse_timing(breakdown(mouths=[(0, "rest"), (3, "E"), (4, "O"), (1000, "U")]))
        at30 = timing.FrameMapper(t, Fraction(30))
        self.assertEqual([at30.frame_of_mouth(m) for m in t.characters[0].mouths], [0, 3, 5, 1250])
        same = timing.FrameMapper(t, Fraction(24))
        self.assertEqual([same.frame_of_mouth(m) for m in t.characters[0].mouths], [0, 3, 4, 1000])
        # 24 -> 23.976: frame 1000 at 24 starts 41.6667 s, inside frame 999 at 23.976.
        ntsc = timing.FrameMapper(t, Fraction(24000, 1001))
        self.assertEqual(ntsc.frame_of_mouth(t.characters[0].mouths[3]), 999)

    def test_scene_rates_read_exactly(self):
        self.assertEqual(timing.scene_rate(24, 1.00100004673), Fraction(24000, 1001))
        self.assertEqual(timing.scene_rate(30, 1.00100004673), Fraction(30000, 1001))
        self.assertEqual(timing.scene_rate(25, 1.0), Fraction(25))
        for written, rate in (("24", 24), ("24/1", 24), ("30000/1001", Fraction(30000, 1001)), (12.5, Fraction(25, 2))):
            self.assertEqual(timing.parse_rate(written), rate)


class DamagedFiles(unittest.TestCase):
    def refused(self, text, *words):
        with self.assertRaises(TimingError) as caught:
            timing.parse_timing(text)
        for w in words:
            self.assertIn(w, str(caught.exception))

    def test_each_kind_of_damage_is_told(self):
        good = breakdown(words=[("Hi", 0.5)], mouths=[(0, "rest"), (12, "AI")])
        self.refused(good[: len(good) // 2], "not JSON", "line 1")
        self.refused(b"", "empty")
        self.refused(b"\xff\xfe{}", "UTF-8")
        self.refused("[1, 2]", "not an object")
        self.refused('{"name": "a mouth set"}', "not Zorvane timing")
        self.refused(good.replace('"24/1"', '"0/1"'), "frameRate")
        self.refused(good.replace('"24/1"', '"fast"'), "frameRate")
        self.refused(good.replace('"frameRate": "24/1", ', ""), "frameRate", "missing")
        self.refused(good.replace('"start": 0.5', '"start": NaN'), "NaN")
        self.refused(good.replace('"start": 0.5', '"start": -1'), "words[0]", "start")
        self.refused(good.replace('"start": 0.5', '"start": 1e300'), "words[0]", "start")
        self.refused(good.replace('"frame": 12', '"frame": true'), "mouths[1]", "frame")
        self.refused(good.replace('"shape": "AI"', '"shape": 7'), "mouths[1]", "shape")
        self.refused(good.replace('"sampleRate": 48000', '"sampleRate": "48k"'), "sampleRate")
        self.refused(good.replace('"words": [', '"words": {"x": ['), "not JSON")
        self.refused(good.replace('"sound"', '"version": 2, "sound"'), "another version", "version 2")
        self.refused("[" * 100000 + "]" * 100000, "not")

    def test_beats_and_characters_damage(self):
        beats = {"frameRate": "24", "bpm": 120.0, "meter": "4/4",
                 "beats": [{"time": 0.5, "frame": 12, "bar": 1, "beat": 1, "confidence": 0.9}]}
        timing.parse_timing(json.dumps(beats))
        for key, value, said in (("meter", "four", "meter"), ("bpm", -3, "bpm")):
            self.refused(json.dumps(dict(beats, **{key: value})), said)
        self.refused(json.dumps(dict(beats, beats=[{"time": 0.5, "bar": 1, "beat": 0}])), "beats[0]")
        self.refused(json.dumps(dict(beats, beats=[{"time": 0.5, "bar": 1, "beat": 1, "confidence": 2}])),
                     "confidence")
        ann = {"name": "Ann", "words": [], "mouths": []}
        self.refused(json.dumps({"frameRate": "24", "characters": [ann, ann]}), "Ann", "twice")
        self.refused(json.dumps({"frameRate": "24", "characters": [{"name": " "}]}), "characters[0]", "name")
        self.refused(json.dumps({"frameRate": "24", "characters": [ann], "words": []}), "both")
        self.refused(json.dumps({"frameRate": "24", "characters": [dict(ann, mouthSet=["A", "A"])]}), "mouthSet")

    def test_a_missing_file_is_named(self):
        with self.assertRaises(TimingError) as caught:
            timing.read_timing("/nonexistent/line.json")
        self.assertIn("/nonexistent/line.json", str(caught.exception))


class Planning(unittest.TestCase):
    def test_characters_number_shapes_in_their_sets_order(self):
        doc = {"frameRate": "24", "sampleRate": 48000, "characters": [
            {"name": "Ann B", "mouthSet": "A-H", "words": [{"text": "hi", "start": 0.5}],
             "mouths": [{"frame": 0, "shape": "X"}, {"frame": 12, "shape": "B"}]},
            {"name": "Ann_B", "mouthSet": {"name": "Robot", "shapes": ["Shut", "Open"]},
             "words": [{"text": "ho", "start": 1.0}],
             "mouths": [{"frame": 0, "shape": "Shut"}, {"frame": 24, "shape": "Open"}, {"frame": 30, "shape": "Hum"}]},
        ]}
        t = timing.parse_timing(json.dumps(doc))
        p = plan.build_plan(t, Fraction(24), 1)
        self.assertEqual(p.markers, [(13, "Ann B: hi"), (25, "Ann_B: ho")])
        self.assertEqual([c.prop for c in p.curves], ["mouth_Ann_B", "mouth_Ann_B_2"])
        self.assertEqual(p.curves[0].keys, [(1, 9), (13, 2)])
        # A shape outside the set is numbered after it.
        self.assertEqual(p.curves[1].keys, [(1, 1), (25, 2), (31, 3)])
        self.assertTrue(p.curves[1].description.endswith("3 Hum"))

    def test_a_slower_scene_keys_each_frame_once_with_the_later_shape(self):
        t = timing.parse_timing(breakdown(mouths=[(0, "rest"), (2, "E"), (3, "O"), (4, "O"), (6, "rest")],
                                          rate="48/1"))
        p = plan.build_plan(t, Fraction(24), 1)
        # 48 fps frames 2 and 3 share 24 fps frame 1; O then holds through frame 4.
        self.assertEqual(p.curves[0].keys, [(1, 10), (2, 3), (4, 10)])
        self.assertEqual(p.curves[0].prop, "mouth")

    def test_beat_markers_and_frames_past_blenders_range(self):
        beats = {"frameRate": "24", "meter": "3/4", "beats": [
            {"time": 0.5 * i, "frame": 12 * i, "bar": 1 + i // 3, "beat": 1 + i % 3} for i in range(6)]}
        t = timing.parse_timing(json.dumps(beats))
        self.assertEqual(plan.build_plan(t, Fraction(24), 1, beats="BARS").markers, [(1, "Bar 1"), (37, "Bar 2")])
        self.assertEqual([n for _, n in plan.build_plan(t, Fraction(24), 1, beats="BEATS").markers][:4],
                         ["1.1", "1.2", "1.3", "2.1"])
        self.assertEqual(plan.build_plan(t, Fraction(24), 1, beats="NONE").markers, [])
        far = timing.parse_timing(json.dumps(dict(beats, beats=[{"time": 50000.0, "bar": 1, "beat": 1}])))
        with self.assertRaises(TimingError):
            plan.build_plan(far, Fraction(24), 1)

    def test_names_are_cut_at_a_character_and_flattened(self):
        self.assertEqual(plan.clip_name("line\tone\nx"), "line one x")
        cut = plan.clip_name("é" * 40)
        self.assertEqual(cut, "é" * 31)
        self.assertLessEqual(len(plan.property_name("ü" * 60, set()).encode()), 63)

    def test_the_sound_is_found_beside_the_file(self):
        with tempfile.TemporaryDirectory() as d:
            open(os.path.join(d, "song.wav"), "wb").close()
            beats = timing.parse_timing('{"frameRate": "24", "beats": []}')
            self.assertEqual(plan.find_sound(beats, os.path.join(d, "song.beats.json")), os.path.join(d, "song.wav"))
            self.assertIsNone(plan.find_sound(beats, os.path.join(d, "other.json")))
            named = timing.parse_timing(breakdown())
            named.sound = "/elsewhere/song.wav"
            self.assertEqual(plan.find_sound(named, os.path.join(d, "x.json")), os.path.join(d, "song.wav"))
            named.sound = "gone.wav"
            self.assertIsNone(plan.find_sound(named, os.path.join(d, "x.json")))


if __name__ == "__main__":
    unittest.main()
