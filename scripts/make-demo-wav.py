#!/usr/bin/env python3
"""Writes a demo WAV: bursts of tone like spoken syllables, so a waveform and
a selection have something to show. Usage: make-demo-wav.py OUT [channels] [seconds]"""
import math
import struct
import sys
import wave

out = sys.argv[1]
channels = int(sys.argv[2]) if len(sys.argv) > 2 else 2
seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 6.0
rate = 44100
bursts = [(0.3, 0.45, 220), (0.9, 0.35, 330), (1.5, 0.6, 180), (2.5, 0.25, 440),
          (3.0, 0.5, 260), (3.8, 0.7, 200), (4.9, 0.4, 300)]
frames = bytearray()
for i in range(int(seconds * rate)):
    t = i / rate
    left = right = 0.0
    for start, length, freq in bursts:
        if start <= t < start + length:
            env = math.sin(math.pi * (t - start) / length) ** 2
            left += env * (0.8 * math.sin(2 * math.pi * freq * t) + 0.15 * math.sin(2 * math.pi * 3.1 * freq * t))
            right += env * 0.6 * math.sin(2 * math.pi * freq * 1.5 * t + 0.7)
    samples = [left, right][:channels]
    frames += struct.pack('<' + 'h' * channels, *(int(max(-1.0, min(1.0, s)) * 32000) for s in samples))
with wave.open(out, 'wb') as w:
    w.setnchannels(channels)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(bytes(frames))
