#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (tests/fuzz/corpus/<target>/seed-*). For the bitmap reader: files at
each header field's limits, short and padded rows, odd widths, and a good file cut at every header boundary.
For the others: the texts each surface meets in practice and at its edges, laid out the way the target reads
its input (FuzzedDataProvider takes strings from the front, each ended by a backslash and one more byte, and
numbers and flags from the back). Run it again after changing it; the seeds are committed."""
import struct
from pathlib import Path

CORPUS = Path(__file__).resolve().parent / "corpus"
OUT = CORPUS / "bitmap"


def stride(width):
    return (width * 3 + 3) & ~3


def bitmap(width=3, height=2, bits=24, compression=0, size_image=None, colours=0, pixels=None, planes=1,
           info_size=40, offset=54, magic=b"BM"):
    rows = stride(width) * abs(height) if width > 0 else 0
    if size_image is None:
        size_image = rows
    if pixels is None:
        pixels = bytes((i * 37) & 0xFF for i in range(min(rows, 1 << 16)))
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, planes, bits, compression, size_image & 0xFFFFFFFF,
                       2835, 2835,
                       colours, 0)
    head = magic + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, offset)
    return head + info + pixels


def write(target, seeds):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / f"seed-{name}").write_bytes(data)


def strings(*parts):
    """Strings in FuzzedDataProvider's ConsumeRandomLengthString form: each ends with a backslash and a blank."""
    return b"".join(p.replace(b"\\", b"\\\\") + b"\\ " for p in parts)


def other_seeds():
    kind, repeat, file = "BGM区分".encode("utf-8"), "BGMﾘﾋﾟｰﾄ".encode("utf-8"), "BGMﾌｧｲﾙ".encode("utf-8")

    def ini(*lines):
        return b"\r\n".join(lines) + b"\r\n"

    whole = {  # the last byte is odd: the whole-file form
        "file-cd": ini(b"[Section]", kind + b"= 1", repeat + b"= 5", file + b"="),
        "file-mp3": ini(b"[Section]", kind + b"= 2", repeat + b"= 0", file + b"=C:\\Music\\rain.mp3"),
        "file-other-sections": ini(b"[Other]", b"a=b", b"; comment", b"[section]", kind + b"=2.7", file + b"=x.wav"),
        "file-blanks-signs": ini(b"[Section]", kind + b" =  +2  ", repeat + b"=\t-0.5", file + b"= a.mp3 "),
        "file-overflow": ini(b"[Section]", kind + b"=32768", repeat + b"=-32769", file + b"=" + b"x" * 300),
        "file-sjis-tail": ini(b"[Section]", kind + b"=1\x81", file + b"=C:\\\x95\x5c.mp3"),
        "file-missing-keys": ini(b"[Section]", b"other=1"),
        "file-no-newline": b"[Section]\n" + kind + b"=2\n" + file + b"=a.wav",
    }
    write("settings", {name: data + b"\x01" for name, data in whole.items()})
    values = {
        "values-cd": strings(b" 1", b" 3") + b"\x00",
        "values-file": strings(b" 2", b" 0", b"C:\\a b\\song.mp3") + b"\x00",
        "values-huge": strings(b"99999999999999999999", b"-1e5", b"") + b"\x00",
        "values-fraction": strings(b"-0.5", b"1.9", b"dir\\") + b"\x00",
    }
    write("settings", values)

    # The Linux program's options: the arguments separated by NUL bytes; the text after the last NUL also
    # stands for $XSCREENSAVER_WINDOW.
    write("options", {name: b"\0".join(words) for name, words in {
        "hack": [b"--root", b"0x1a00007"], "window": [b"-window", b"-fullscreen", b"-fps"],
        "all-values": [b"--texture", b"/tmp/a.bmp", b"--rain-interval", b"25", b"--delay", b"20000", b"27262983"],
        "attached": [b"--rain-interval=-5", b"--delay=10000000", b"--window-id=0XFFFFFFFF"],
        "missing-value": [b"--texture"], "bad-number": [b"--delay", b"1e6"], "unknown": [b"---root", b"x"],
        "big": [b"--rain-interval", b"2147483648", b"0x100000000"], "empty": [b""],
        "monitors": [b"--fullscreen", b"--monitors", b"span", b"-monitors=primary", b"--monitors", b"Each"],
    }.items()})

    write("commandline", {name: text for name, text in {
        "run": b"Orlinde.scr /s", "run-dash": b"C:\\x\\Orlinde.scr -S", "empty": b"Orlinde.scr",
        "configure": b"\"C:\\Program Files\\Orlinde.scr\" /c:1234", "preview": b"Orlinde.scr /p 1234",
        "preview-colon": b"Orlinde.scr /P:5678", "preview-blanks": b"x /p \t  +12.5", "preview-big": b"x /p 4294967296",
        "preview-negative": b"x /p -2147483648", "preview-fraction": b"x /p 2.5000001", "unknown": b"x /a",
        "one-char": b"x s", "unclosed-quote": b"\"C:\\Orlinde.scr /s",
    }.items()})

    # Music: settings from the back (kind, repeat as two bytes, then the path), then calls and replies.
    write("music", {
        "cd-playing": strings(b"C:\\a.mp3", b"1", b"3", b"playing", b"stopped") + b"\x01\x02\x01\x00\x03\x00\x01",
        "mp3-stopped": strings(b"C:\\a.mp3", b"stopped", b"playing") + b"\x04\x05\x05\x07\x00\x00\x02",
        "cd-not-ready": strings(b"", b"not ready", b"1") + b"\x00\x01\x02\x03\x00\x05\x00\x01",
        "wav": strings(b"C:\\rain.wav") + b"\x08\x01\x00\x00\x02",
    })
    write("dialog", {
        "track-12": strings(b"C:\\a.mp3", b"12") + b"C:\\rain.wav\x00junk" + b"\x00\x02\x00",
        "track-half": strings(b"", b" 2.5 ") + b"\x00\x01\x00\x07",
        "track-letters": strings(b"x.wav", b"abc") + b"no terminator" + b"\x02\x00\x03",
        "track-range": strings(b"", b"-32769") + b"\x00\x00" + b"\x01\x00\x00",
    })
    write("button", {
        "defaults": b"\x00\x00",
        "font": strings(b"Font", b"975,700,1,0,0,128,MS UI Gothic", b"1200,400,0,1,1,0,A, B") + b"\x01\x01\x02",
        "all-keys": strings(b"Enabled", b"0", b"Caption", b"\xe8\xa8\xad\xe5\xae\x9a", b"FirstRun", b"255",
                            b"FontColour", b"-16777216", b"Visible", b"0") + b"\x00\x00\x00\x00\x00\x05",
        "bad-values": strings(b"Visible", b"2", b"FirstRun", b"256", b"Enabled", b"maybe") + b"\x00\x00\x00\x03",
    })


def main():
    other_seeds()
    OUT.mkdir(parents=True, exist_ok=True)
    seeds = {
        "good-3x2": bitmap(),
        "good-4x4-no-padding": bitmap(4, 4),
        "odd-1x1": bitmap(1, 1),
        "odd-5x3": bitmap(5, 3),
        "odd-7x1": bitmap(7, 1),
        "size-image-zero": bitmap(size_image=0),
        "size-image-one-more": bitmap(size_image=stride(3) * 2 + 1),
        "size-image-one-less": bitmap(size_image=stride(3) * 2 - 1),
        "width-0": bitmap(0, 2),
        "width-negative": bitmap(-3, 2),
        "width-max": bitmap(8192, 1, pixels=b""),
        "width-over-max": bitmap(8193, 1, pixels=b""),
        "height-0": bitmap(3, 0),
        "height-negative-top-down": bitmap(3, -2),
        "height-max": bitmap(1, 8192, pixels=b""),
        "height-over-max": bitmap(1, 8193, pixels=b""),
        "bits-8": bitmap(bits=8),
        "bits-32": bitmap(bits=32),
        "bits-0": bitmap(bits=0),
        "compression-rle8": bitmap(compression=1),
        "compression-bitfields": bitmap(compression=3),
        "colours-used-1": bitmap(colours=1),
        "colours-used-max": bitmap(colours=0xFFFFFFFF),
        "planes-0": bitmap(planes=0),
        "info-size-12": bitmap(info_size=12),
        "offset-beyond": bitmap(offset=4096),
        "magic-wrong": bitmap(magic=b"MB"),
        "short-rows-one-byte-missing": bitmap(5, 3)[:-1],
        "short-rows-half": bitmap(5, 3)[: 54 + stride(5) * 3 // 2],
        "padded-rows-extra-tail": bitmap(5, 3) + b"\xAA" * 7,
        "width-times-height-overflow": bitmap(8192, 8192, pixels=b"\x01" * 64),
        "size-image-wraps": bitmap(0x55555556, 3, size_image=0, pixels=b""),
    }
    good = bitmap(5, 3)
    # A good file cut at every field boundary of both headers, and right after them.
    for cut in (0, 1, 2, 6, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 53, 54, 55):
        seeds[f"cut-at-{cut:02d}"] = good[:cut]
    for name, data in seeds.items():
        (OUT / f"seed-{name}.bmp").write_bytes(data)


if __name__ == "__main__":
    main()
