#!/usr/bin/python3
"""`zorvane FILE` as a desktop's "Open With" starts it: starts Zorvane on the
X display with a 3-second stereo FLAC (written here, with plain verbatim
frames) on its command line and waits, over the accessibility bus (AT-SPI),
for the window to show the file's path and "Total Length:(Time: 0:3 /
Frames: 90)"; then File > Exit.

Usage: atspi_open_at_startup.py PATH-TO-ZORVANE
Run inside a D-Bus session (dbus-run-session). Exits 77 (skipped) when there
is no display or no pyatspi.
"""
import math
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_controls import SKIP, exit_through_menu, find_app, skip, walk  # noqa: E402

RATE = 48000
FRAMES = 3 * RATE
BLOCK = 4096


def crc8(data):
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = ((crc << 1) ^ 0x07) & 0xFF if crc & 0x80 else (crc << 1) & 0xFF
    return crc


def crc16(data):
    crc = 0
    for b in data:
        crc ^= b << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x8005) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def utf8_number(n):
    if n < 0x80:
        return bytes([n])
    return bytes([0xC0 | (n >> 6), 0x80 | (n & 0x3F)])  # enough for 2047 frames


def flac(path):
    """A 48 kHz 16-bit stereo FLAC of a 440 Hz tone at half scale."""
    info = struct.pack(">HH", BLOCK, BLOCK) + b"\0" * 6
    # sample rate (20 bits), channels - 1 (3), bits - 1 (5), total samples (36)
    packed = (RATE << 44) | (1 << 41) | (15 << 36) | FRAMES
    info += packed.to_bytes(8, "big") + b"\0" * 16
    out = bytearray(b"fLaC" + bytes([0x80]) + len(info).to_bytes(3, "big") + info)
    for number, first in enumerate(range(0, FRAMES, BLOCK)):
        n = min(BLOCK, FRAMES - first)
        # fixed blocking; block size from the 16 bits after the number; 48 kHz;
        # two independent channels, 16-bit samples
        header = bytes([0xFF, 0xF8, 0x7A, 0x18]) + utf8_number(number) + struct.pack(">H", n - 1)
        frame = bytearray(header + bytes([crc8(header)]))
        samples = [int(16383 * math.sin(2 * math.pi * 440 * (first + i) / RATE + 0.3)) for i in range(n)]
        body = struct.pack(f">{n}h", *samples)
        for _ in range(2):  # verbatim subframe per channel
            frame += bytes([0x02]) + body
        frame += struct.pack(">H", crc16(frame))
        out += frame
    with open(path, "wb") as f:
        f.write(out)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    if not os.environ.get("DISPLAY"):
        skip("DISPLAY is not set")
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        skip("no D-Bus session (run under dbus-run-session)")
    try:
        import pyatspi
    except ImportError:
        skip("pyatspi is not installed")

    with tempfile.TemporaryDirectory(prefix="zorvane-cli.") as work:
        path = os.path.join(work, "dialogue take 1.flac")
        flac(path)
        wanted = [path, "Total Length:(Time: 0:3 / Frames: 90)"]
        env = dict(os.environ)
        env.update(QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        proc = subprocess.Popen([sys.argv[1], path], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            missing = wanted
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                time.sleep(0.5)
                if proc.poll() is not None:
                    print(f"FAIL: zorvane ended early with {proc.returncode}")
                    return 1
                app = find_app(pyatspi, proc.pid)
                if app is None:
                    continue
                names = {}
                for n in walk(app):
                    try:
                        names.setdefault(n.name, n)
                    except Exception:
                        pass
                missing = [x for x in wanted if x not in names]
                if not missing:
                    print("opened at start-up:", path)
                    return exit_through_menu(names, proc)
            print(f"FAIL: not shown within 30 s: {missing}")
            return 1
        finally:
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()


if __name__ == "__main__":
    sys.exit(main())
