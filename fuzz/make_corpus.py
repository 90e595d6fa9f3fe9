#!/usr/bin/env python3
"""Writes the seed corpus of the WAV fuzz target: one small file per class of
input known to break WAV readers, plus a few good files. The expected outcome
of each file (loaded, or the loader's message) is checked by
tests/sound/CorpusTest.cpp. Run from anywhere: python3 fuzz/make_corpus.py"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "wav")


def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def chunk(cid, payload, pad=True, stated=None):
    size = len(payload) if stated is None else stated
    b = cid + le32(size) + payload
    if pad and len(payload) % 2 == 1:
        b += b"\0"
    return b


def riff(children, form=b"WAVE", stated=None):
    body = form + children
    return b"RIFF" + le32(len(body) if stated is None else stated) + body


def fmt_payload(channels=2, bits=16, align=None, tag=1, rate=8000, size=16):
    if align is None:
        align = channels * (bits // 8)
    b = le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits)
    if size >= 18:
        b += le16(size - 18)
    return b + b"\0" * (size - len(b))


def fmt(**kw):
    return chunk(b"fmt ", fmt_payload(**kw))


def ramp(n, first=0):
    return bytes((first + i) & 0xFF for i in range(n))


def wav(data=ramp(64), **kw):
    return riff(fmt(**kw) + chunk(b"data", data))


def extensible():
    # WAVE_FORMAT_EXTENSIBLE: 40-byte fmt, valid bits, channel mask, PCM GUID.
    base = fmt_payload(channels=2, bits=16, tag=0xFFFE, size=18)[:16] + le16(22)
    guid = bytes.fromhex("0100000000001000800000aa00389b71")
    return riff(chunk(b"fmt ", base + le16(16) + le32(3) + guid) + chunk(b"data", ramp(64)))


def le64(v):
    return struct.pack("<Q", v & 0xFFFFFFFFFFFFFFFF)


GUID_TAIL = bytes.fromhex("000000001000800000aa00389b71")


def extensible_fmt(bits, sub_tag, channels=2, guid_tail=GUID_TAIL):
    # 40-byte fmt: the 18-byte head, valid bits, channel mask, sub-format GUID.
    base = fmt_payload(channels=channels, bits=bits, tag=0xFFFE, size=18)[:16] + le16(22)
    return chunk(b"fmt ", base + le16(bits) + le32(3) + le16(sub_tag) + guid_tail)


def rf64(data, riff_size=None, data_size=None, data_field=0xFFFFFFFF, top=b"RF64", fmt_chunk=None):
    # RF64/BW64: ds64 (riff size, data size, sample count, table length) first.
    fmt_chunk = fmt_chunk or fmt(bits=24)
    rest = fmt_chunk + b"data" + le32(data_field) + data
    if riff_size is None:
        riff_size = 4 + 36 + len(rest)
    if data_size is None:
        data_size = len(data)
    ds64 = chunk(b"ds64", le64(riff_size) + le64(data_size) + le64(0) + le32(0))
    return top + le32(0xFFFFFFFF) + b"WAVE" + ds64 + rest


FILES = {
    "good_stereo16.wav": wav(),
    "good_mono8.wav": wav(channels=1, bits=8, data=ramp(33, 100)),
    "fmt_size0.wav": riff(chunk(b"fmt ", b"") + chunk(b"data", b"\0" * 8)),
    "fmt_truncated.wav": riff(b"fmt " + le32(16) + fmt_payload()[:6]),
    "channels0.wav": wav(channels=0, align=4),
    "blockalign0.wav": wav(align=0),
    "blockalign_negative.wav": wav(align=-4),
    "bits0.wav": wav(bits=0, align=4),
    "bits24.wav": wav(bits=24, data=ramp(60)),
    "bits32.wav": wav(bits=32),
    "data_before_fmt.wav": riff(chunk(b"data", ramp(16)) + fmt()),
    "data_past_end.wav": riff(fmt() + chunk(b"data", ramp(10), stated=1000), stated=4 + 24 + 8 + 1000),
    "data_size_ffffffff.wav": riff(fmt() + chunk(b"data", ramp(16), stated=0xFFFFFFFF), stated=0xFFFFFFFF),
    "frames_beyond_32bit.wav": riff(fmt(channels=1, bits=8) + chunk(b"data", ramp(16), stated=0xFFFFFFFF),
                                    stated=0xFFFFFFFF),
    "frames_int32_max.wav": riff(fmt(channels=1, bits=8) + chunk(b"data", ramp(16), stated=0x7FFFFFFF),
                                 stated=0xFFFFFFFF),
    "riff_size_ffffffff.wav": riff(fmt() + chunk(b"data", ramp(16)), stated=0xFFFFFFFF),
    "riff_size_past_end.wav": riff(fmt() + chunk(b"data", ramp(16)), stated=100000),
    "riff_size_too_small.wav": riff(fmt() + chunk(b"data", ramp(16)), stated=4),
    "list_size_ffffffff.wav": riff(chunk(b"LIST", b"INFO", stated=0xFFFFFFFF) + fmt() + chunk(b"data", ramp(16))),
    "odd_chunk_padded.wav": riff(fmt() + chunk(b"junk", b"abc") + chunk(b"data", ramp(16))),
    "odd_chunk_unpadded.wav": riff(fmt() + chunk(b"junk", b"abc", pad=False) + chunk(b"data", ramp(16))),
    "odd_data_padded.wav": riff(fmt() + chunk(b"data", ramp(7)) + chunk(b"fact", le32(2))),
    "odd_data_unpadded.wav": riff(fmt() + chunk(b"data", ramp(7), pad=False)),
    "nested_list.wav": riff(chunk(b"LIST", b"INFO" + chunk(b"LIST", b"adtl" + chunk(b"labl", le32(1) + b"a\0"))
                                  + chunk(b"ISFT", b"x\0")) + fmt() + chunk(b"data", ramp(16))),
    "data_inside_list.wav": riff(fmt() + chunk(b"LIST", b"wavl" + chunk(b"data", ramp(16)))),
    "riff_avi.wav": riff(chunk(b"avih", ramp(56)), form=b"AVI "),
    "rf64.wav": b"RF64" + le32(0xFFFFFFFF) + b"WAVE" + chunk(b"ds64", b"\0" * 28) + fmt() + chunk(b"data", ramp(16)),
    "empty.wav": b"",
    "riff_12_bytes.wav": b"RIFF" + le32(4) + b"WAVE",
    "extensible.wav": extensible(),
    "float32.wav": wav(tag=3, bits=32, data=struct.pack("<8f", 0.5, -0.5, 1.0, -1.0, 2.0, -2.0, 0.0, 0.25)),
    "float64.wav": wav(tag=3, bits=64, data=struct.pack("<4d", 0.5, -1e300, float("nan"), float("inf"))),
    "int24_stereo.wav": wav(bits=24, data=bytes.fromhex("000080ffff7f010000feffff")),
    "extensible24.wav": riff(extensible_fmt(24, 1) + chunk(b"data", ramp(60))),
    "extensible_float32.wav": riff(extensible_fmt(32, 3) + chunk(b"data", struct.pack("<4f", 3.0, -0.5, 0.0, 1.0))),
    "extensible_unknown_guid.wav": riff(extensible_fmt(24, 1, guid_tail=b"x" * 14) + chunk(b"data", ramp(60))),
    "extensible_six_channels.wav": riff(extensible_fmt(24, 1, channels=6) + chunk(b"data", ramp(72))),
    "bwf_bext_ixml.wav": riff(chunk(b"bext", b"\0" * 602) + chunk(b"iXML", b"<BWFXML/>") + chunk(b"JUNK", b"\0" * 28)
                              + fmt(bits=24) + chunk(b"data", ramp(60)) + chunk(b"LIST", b"INFO")),
    "rf64_ds64.wav": rf64(ramp(60)),
    "bw64_ds64.wav": rf64(ramp(60), top=b"BW64"),
    "rf64_huge_ds64.wav": rf64(ramp(60), riff_size=0xFFFFFFFFFFFFFFFF, data_size=0x7FFFFFFFFFFFFFFF),
    "rf64_ds64_data_4gib.wav": rf64(ramp(60), data_size=0x100000000 * 6),
    "rf64_float_extensible.wav": rf64(struct.pack("<4f", 0.5, -0.5, 9.0, -9.0), fmt_chunk=extensible_fmt(32, 3)),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in FILES.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"{len(FILES)} files in {OUT}")


if __name__ == "__main__":
    main()
