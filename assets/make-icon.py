#!/usr/bin/env python3
"""Writes Zorvane's icon, zorvane.xpm: 32 x 32 pixels in 16 colours.

A film strip with sprocket holes and three frames over a waveform on the
waveform view's purple, with the orange divider and the red and blue
selection marks. Run it from this folder after changing the drawing.
"""
import math

W = H = 32
PALETTE = {
    ".": "None",
    "k": "#101010",  # film base
    "h": "#E8E8E8",  # sprocket holes
    "f": "#A0C8F0",  # frame picture (sky)
    "m": "#406080",  # frame picture (hills)
    "e": "#505050",  # frame edges
    "p": "#400040",  # waveform view background
    "g": "#00FF00",  # waveform
    "d": "#008000",  # waveform, fainter
    "o": "#FF8000",  # divider
    "r": "#FF0000",  # start mark
    "b": "#0000FF",  # end mark
    "y": "#CCCC00",  # selection band
    "s": "#808080",  # timeline strip
}

px = [["." for _ in range(W)] for _ in range(H)]


def fill(x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px[y][x] = c


# Film strip: rows 1..13.
fill(0, 1, 31, 13, "k")
for x in range(1, 31, 4):
    fill(x, 2, x + 1, 3, "h")
    fill(x, 11, x + 1, 12, "h")
for i, x0 in enumerate((1, 11, 21)):
    fill(x0, 5, x0 + 9, 9, "e")
    fill(x0 + 1, 5, x0 + 8, 8, "f")
    # a hill that moves from frame to frame
    for x in range(x0 + 1, x0 + 9):
        top = 7 + round(math.sin((x - x0 + i * 2) / 2.0))
        fill(x, max(top, 6), x, 8, "m")

# Waveform view: rows 15..26, one column of peaks per pixel around row 20.
fill(0, 15, 31, 26, "p")
for x in range(32):
    # two syllables of sound, each with a sharp start and a long tail
    env = max(5.4 * math.exp(-(x - 3) / 5.0) if x >= 3 else 0.0,
              4.4 * math.exp(-(x - 18) / 6.0) if x >= 18 else 0.0)
    a = int(round(env * (0.35 + 0.65 * abs(math.sin(x * 1.9 + 0.4)))))
    fill(x, 20 - a, x, 20 + a, "g" if a > 0 else "d")

# Timeline strip with the selection, then the divider.
fill(0, 27, 31, 29, "s")
fill(6, 27, 22, 27, "y")
fill(6, 27, 6, 29, "r")
fill(22, 27, 22, 29, "b")
fill(0, 30, 31, 31, "o")

assert len(PALETTE) <= 16
used = {c for row in px for c in row}
assert used <= PALETTE.keys()
with open("zorvane.xpm", "w") as out:
    out.write("/* XPM */\n")
    out.write("static const char *zorvane[] = {\n")
    out.write(f'"{W} {H} {len(PALETTE)} 1",\n')
    for key, colour in PALETTE.items():
        out.write(f'"{key} c {colour}",\n')
    out.write(",\n".join(f'"{"".join(row)}"' for row in px))
    out.write("\n};\n")
