"""What the desktop tests share: reading 8-bit BMP files, running the
converter, and the damaged and unusual PIC files they load besides the
samples. Standard library only."""

import os
import random
import shutil
import struct
import subprocess


class Failures:
    """Collects failed checks, so that one run reports all of them."""

    def __init__(self):
        self.messages = []

    def check(self, condition, message):
        if not condition:
            self.messages.append(message)
            print("FAIL: " + message, flush=True)
        return condition

    def finish(self, what):
        if self.messages:
            print("%d check(s) failed" % len(self.messages))
            raise SystemExit(1)
        print(what)


def read_bmp(path):
    """(width, height, indices top row first, 256 (r, g, b) entries, black past the table)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError("%s is not a BMP file" % path)
    offset = struct.unpack_from("<I", data, 10)[0]
    header = struct.unpack_from("<I", data, 14)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    used = struct.unpack_from("<I", data, 46)[0]
    if compression != 0 or bits not in (4, 8):
        raise ValueError("%s: %d bits, compression %d; 4 or 8 bits uncompressed expected" % (path, bits, compression))
    entries = used or (1 << bits)
    table = [(data[14 + header + 4 * i + 2], data[14 + header + 4 * i + 1], data[14 + header + 4 * i])
             for i in range(entries)]
    table += [(0, 0, 0)] * (256 - entries)
    row_bytes = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        row = data[offset + y * row_bytes: offset + (y + 1) * row_bytes]
        if bits == 8:
            rows.append(bytes(row[:width]))
        else:
            rows.append(bytes((row[x // 2] >> (0 if x % 2 else 4)) & 15 for x in range(width)))
    if height > 0:
        rows.reverse()
    return width, abs(height), b"".join(rows), table


def converter(program, folder, *words):
    """Runs the converter in folder; its output text."""
    result = subprocess.run([program] + list(words), cwd=folder, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=60)
    return result.stdout.decode("latin-1")


def succeeded(output):
    return output.rstrip("\r\n").endswith("Successful Conversion")


def chunk(tag, data):
    return tag + struct.pack("<H", len(data)) + data


def write_test_pictures(source, folder):
    """Makes folder and puts in it the sample pictures and the unusual ones.
    Returns the pictures that load, samples first, and those that must not."""
    os.makedirs(folder)
    samples = os.path.join(source, "samples")
    pictures = []
    for name in sorted(os.listdir(samples)):
        if name.endswith(".pic"):
            shutil.copy(os.path.join(samples, name), folder)
            pictures.append(name)
    unusual, empty = write_unusual_pictures(samples, folder)
    return pictures + unusual, empty


def write_unusual_pictures(samples, folder):
    """The damaged and unusual files both loaders read as the converter does.
    Returns the names of those with a picture in them, and of those without."""
    with open(os.path.join(samples, "cottage.pic"), "rb") as f:
        cottage = f.read()
    with open(os.path.join(samples, "valley.pic"), "rb") as f:
        valley = f.read()
    files = {
        # Forty chunks of tags the format does not know, then the picture.
        "unknown-many.pic": b"".join(chunk(bytes([65 + i % 26, 97 + i % 26]), b"zz") for i in range(40)) + cottage,
        # Cut off in the middle of the image stream: the rest reads as 0.
        "cut-short.pic": valley[:len(valley) * 3 // 5],
        # The palette chunk after the image.
        "palette-last.pic": valley[774:] + valley[:774],
        # The game's own names are upper-case. A stem of its own: the converter
        # finds names without regard to case, and would take valley.pic's
        # outputs for this one's.
        "DUSK.PIC": valley,
    }
    empty = {
        "no-image.pic": valley[:774],
        # Width 32,768 as stored: a negative number to the format.
        "negative-size.pic": chunk(b"X0", struct.pack("<HH", 0x8000, 2) + b"\x0b\x00\x00"),
        "empty-image.pic": chunk(b"X0", struct.pack("<HH", 0, 5) + b"\x0b"),
    }
    for name, data in list(files.items()) + list(empty.items()):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    return sorted(files), sorted(empty)


def write_noise_pgm(path, side):
    rng = random.Random(13)
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (side, side) + bytes(rng.randrange(256) for _ in range(side * side)))
