#!/usr/bin/env python3
"""Writes the seed corpora of the readers' fuzz targets, one folder each
under fuzz/corpus: good files as Zorvane writes them, files as other
programs and people write them, and the damage each reader has met (huge
and fractional numbers, times out of order, repeated names). Run from
anywhere: python3 fuzz/make_reader_corpus.py"""
import json
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

PGO = ("lipsync version 1\nline.wav\n24\n60\n1\n\tVoice 1\n\tHello Zorblax\n\t1\n"
       "\t\tHello Zorblax\n\t\t3\n\t\t19\n\t\t2\n"
       "\t\t\tHello 3 8 4\n\t\t\t\t3 etc\n\t\t\t\t4 AI\n\t\t\t\t6 L\n\t\t\t\t7 O\n"
       "\t\t\tZorblax 10 19 3\n\t\t\t\t10 etc\n\t\t\t\t12 O\n\t\t\t\t15 MBP\n")


def breakdown_json(words, mouths, rate="24/1"):
    return json.dumps({"sound": "line.wav", "sampleRate": 48000, "frameRate": rate,
                       "words": words, "mouths": mouths}, indent=2) + "\n"


WORD = {"text": "Hello", "start": 0.125, "end": 0.375, "frame": 3, "endFrame": 8,
        "phonemes": [{"text": "HH", "start": 0.125, "end": 0.2, "frame": 3},
                     {"text": "OW", "start": 0.2, "end": 0.375, "frame": 4}]}
MOUTHS = [{"frame": 0, "shape": "rest"}, {"frame": 3, "shape": "etc"}, {"frame": 4, "shape": "O"},
          {"frame": 9, "shape": "rest"}]

MOUTH_SET = {"name": "Robot", "shapes": ["Open", "Shut", "Idle"], "rest": "Idle", "other": "Open",
             "closures": ["Shut"], "phonemes": {"M": "Shut", "B": "Shut", "P": "Shut", "AA": "Open"}}


def marks_v2(tracks, rate=48000, version=2):
    return json.dumps({"format": "zorvane-marks", "version": version, "sound": "voice.wav",
                       "sampleRate": rate, "tracks": tracks}, indent=2) + "\n"


def marks_v1(marks, rate=48000):
    return json.dumps({"format": "zorvane-marks", "version": 1, "sound": "voice.wav",
                       "sampleRate": rate, "marks": marks}, indent=2) + "\n"


CSV_HEAD = "Frame (30 fps),End Frame (30 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"

FILES = {
    "pgo": {
        "good.pgo": PGO,
        "crlf.pgo": PGO.replace("\n", "\r\n"),
        "two_voices.pgo": PGO.replace("\n1\n\tVoice 1", "\n2\n\tVoice 1", 1) + "\tVoice 2\n\t\n\t0\n",
        "last_before_first.pgo": PGO.replace("Hello 3 8 4", "Hello 8 3 4"),
        "phonemes_backwards.pgo": PGO.replace("\t\t\t\t6 L", "\t\t\t\t2 L"),
        "huge_frame.pgo": PGO.replace("Zorblax 10 19 3", "Zorblax 10 99999999999999999999 3"),
        "rate_2997.pgo": PGO.replace("\n24\n", "\n30\n", 1),
        "no_words.pgo": "lipsync version 1\nline.wav\n24\n10\n1\n\tVoice 1\n\t\n\t1\n\t\t\n\t\t0\n\t\t0\n\t\t0\n",
        "truncated.pgo": PGO[: len(PGO) // 2],
    },
    "dat": {
        "good.dat": "MohoSwitch1\n1 rest\n4 etc\n5 AI\n9 rest\n",
        "crlf_blank.dat": "MohoSwitch1\r\n\r\n1 rest\r\n4 etc\r\n\r\n",
        "backwards.dat": "MohoSwitch1\n1 rest\n5 AI\n3 E\n",
        "frame0.dat": "MohoSwitch1\n0 rest\n",
        "huge.dat": "MohoSwitch1\n1 rest\n86400001 AI\n",
        "same_shape.dat": "MohoSwitch1\n1 AI\n2 AI\n3 AI\n",
    },
    "breakdown_json": {
        "good.json": breakdown_json([WORD], MOUTHS),
        "ntsc.json": breakdown_json([WORD], MOUTHS, "30000/1001"),
        "decimal_frame.json": breakdown_json([WORD], [{"frame": 2.5, "shape": "AI"}]),
        "huge_frame.json": breakdown_json([WORD], [{"frame": 1e30, "shape": "AI"}]),
        "word_backwards.json": breakdown_json([dict(WORD, start=0.5, end=0.25)], MOUTHS),
        "mouths_backwards.json": breakdown_json([], [{"frame": 9, "shape": "A"}, {"frame": 12, "shape": "A"},
                                                     {"frame": 2, "shape": "B"}]),
        "huge_seconds.json": breakdown_json([dict(WORD, end=1e300)], []),
        "bad_rate.json": breakdown_json([], [], "24/0"),
        "number_too_big.json": '{"frameRate": "24", "words": [], "mouths": [{"frame": 1e400, "shape": "A"}]}\n',
    },
    "mouth_set": {
        "good.json": json.dumps(MOUTH_SET, indent=2) + "\n",
        "minimal.json": '{"shapes": ["A"], "rest": "A", "phonemes": {}}\n',
        "number_too_big.json": '{"shapes": ["A"], "rest": "A", "phonemes": {}, "x": 1e400}\n',
        "shape_twice.json": '{\n "shapes": ["A", "B", "A"],\n "rest": "A",\n "phonemes": {}\n}\n',
        "unknown_shape.json": '{\n "shapes": ["A"],\n "rest": "A",\n "phonemes": {\n  "M": "Q"\n }\n}\n',
        "stress_digits.json": '{"shapes": ["A", "B"], "rest": "A", "phonemes": {"AH0": "B", "AH": "A"}}\n',
        "empty_phoneme.json": '{"shapes": ["A", "B"], "rest": "A", "phonemes": {"": "B"}}\n',
        "deep.json": "[" * 100 + "]" * 100 + "\n",
    },
    "marks_file": {
        "v2.json": marks_v2([{"name": "Marks", "items": [{"start": 15984, "text": "ah"},
                                                         {"start": 24000, "end": 43200, "text": "oo", "kind": "held"}]},
                             {"name": "Words", "items": [{"start": 0, "end": 4800, "text": "hello"}]}]),
        "v2_other_rate.json": marks_v2([{"name": "Marks", "items": [{"start": 44100, "text": "one"}]}], rate=44100),
        "v2_names_repeated.json": marks_v2([{"name": n, "items": [{"start": i, "text": "x"}]}
                                            for i, n in enumerate(["A", "B", "A", "Marks", "B"])]),
        "v2_end_before_start.json": marks_v2([{"name": "Marks", "items": [{"start": 10, "end": 5, "text": "x"}]}]),
        "v2_decimal.json": marks_v2([{"name": "Marks", "items": [{"start": 1.5, "text": "x"}]}]),
        "v2_huge.json": marks_v2([{"name": "Marks", "items": [{"start": 2 ** 63 - 1, "text": "x"}]}]),
        "v3.json": marks_v2([], version=3),
        "v1.json": marks_v1([{"ms": 333, "sample": 15984, "text": "ah"},
                             {"ms": 500, "sample": 24000, "endMs": 900, "endSample": 43200, "text": "oo"}]),
        "v1_other_rate.json": marks_v1([{"ms": 1000, "sample": 44100, "endMs": 1500, "text": "x"}], rate=44100),
        "v1_end_before_start.json": marks_v1([{"ms": 900, "endMs": 100, "text": "x"}]),
        "export.json": '{"sound": "v.wav", "sampleRate": 48000, "marks": [{"ms": 10, "sample": 480, "text": "a"}]}\n',
    },
    "csv": {
        "good.csv": CSV_HEAD + "10,10,0.333,0.333,ah,00:00:00:10,00:00:00:10\r\n"
                               "15,27,0.5,0.9,\"oo, \"\"long\"\"\",00:00:00:15,00:00:00:27\r\n",
        "ntsc.csv": CSV_HEAD.replace("30 fps", "30000/1001 fps") + "1,1,0.033,0.033,x,,\r\n",
        "multiline.csv": CSV_HEAD + "1,2,0.04,0.07,\"two\nlines\",,\r\n",
        "unclosed.csv": CSV_HEAD + "1,2,0.04,0.07,\"open,,\r\n",
        "backwards.csv": CSV_HEAD + "5,1,0.2,0.1,x,,\r\n",
        "huge.csv": CSV_HEAD + "99999999999999,1,1e300,1e300,x,,\r\n",
        "bad_rate.csv": "Frame (0/0 fps),x\r\n1,1,0,0,t\r\n",
    },
    "labels": {
        "good.txt": "0.050000\t0.050000\ta\n0.100000\t0.400000\tlonger one\n",
        "spectral.txt": "1.0\t2.0\tsweep\n\\\t100.0\t2000.0\n",
        "comma.txt": "0,5\t0,75\tkomma\n",
        "latin1.txt": "0.1\t0.2\tcaf\xe9\n".encode("latin-1").decode("latin-1"),
        "backwards.txt": "2.0\t1.0\tx\n",
        "huge.txt": "1e300\t1e300\tx\n",
        "crlf_bom.txt": "\ufeff0.5\t0.5\tx\r\n\r\n",
        "no_tab.txt": "0.5 0.5 x\n",
    },
}


def main():
    for target, files in FILES.items():
        folder = os.path.join(OUT, target)
        os.makedirs(folder, exist_ok=True)
        for name, text in files.items():
            data = text.encode("latin-1") if name == "latin1.txt" else text.encode("utf-8")
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
    print(sum(len(f) for f in FILES.values()), "files in", OUT)


if __name__ == "__main__":
    main()
