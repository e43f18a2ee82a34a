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


def use_loader(module, mime_xml, work):
    """Makes work afresh with a loaders cache of module alone and a mime
    database of mime_xml, and points this process's environment (so its
    children's too) at them: before gdk-pixbuf is first loaded."""
    shutil.rmtree(work, ignore_errors=True)
    packages = os.path.join(work, "share", "mime", "packages")
    os.makedirs(packages)
    shutil.copy(mime_xml, packages)
    subprocess.run(["update-mime-database", os.path.join(work, "share", "mime")], check=True,
                   capture_output=True, timeout=120)
    query = "/usr/lib/%s/gdk-pixbuf-2.0/gdk-pixbuf-query-loaders" % subprocess.run(
        ["dpkg-architecture", "-qDEB_HOST_MULTIARCH"], capture_output=True, text=True).stdout.strip()
    cache = subprocess.run([query, os.path.abspath(module)], check=True, capture_output=True, timeout=60).stdout
    with open(os.path.join(work, "loaders.cache"), "wb") as f:
        f.write(cache)
    os.environ["GDK_PIXBUF_MODULE_FILE"] = os.path.join(work, "loaders.cache")
    os.environ["XDG_DATA_DIRS"] = os.path.join(work, "share") + ":/usr/share"
    os.environ["XDG_DATA_HOME"] = os.path.join(work, "data-home")


def write_noise_pgm(path, side):
    rng = random.Random(13)
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (side, side) + bytes(rng.randrange(256) for _ in range(side * side)))


# An image chunk that declares the largest picture a PIC file holds, 32,767 x
# 32,767 pixels, with a 3-byte stream: one code, index 7, and the data ends.
BOMB = chunk(b"X0", struct.pack("<HH", 32767, 32767) + b"\x0b\x07\x00")


def write_bmp8(path, width, height, rows, table):
    """An uncompressed 8-bit BMP file: rows top first, table (r, g, b) entries."""
    row_bytes = (width + 3) // 4 * 4
    pixels = b"".join(row + bytes(row_bytes - width) for row in reversed(rows))
    colors = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    offset = 14 + 40 + len(colors)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, len(table), 0)
    with open(path, "wb") as f:
        f.write(header + info + colors + pixels)


LARGE_SIDE = 4096
LARGE_CELLS = 8


def large_cell_index(column, row):
    """The index of the cell in the given column and row of the large picture."""
    return 16 + 8 * row + column if (row + column) % 2 else 200 - 3 * row - column


def write_large_picture(program, folder, name):
    """A 4096 x 4096 PIC file, made by the converter, whose stream gives every
    pixel: 8 x 8 cells of 512 x 512 pixels in the default palette, each cell
    one index. Returns the name, or None when the converter refused it."""
    cell = LARGE_SIDE // LARGE_CELLS
    rows = []
    for row in range(LARGE_CELLS):
        line = b"".join(bytes([large_cell_index(column, row)]) * cell for column in range(LARGE_CELLS))
        rows += [line] * cell
    bmp = name[:-4] + "-source.bmp"
    table = [(i, i, i) for i in range(256)]
    write_bmp8(os.path.join(folder, bmp), LARGE_SIDE, LARGE_SIDE, rows, table)
    if not succeeded(converter(program, folder, "-drop", bmp, name)):
        return None
    os.remove(os.path.join(folder, bmp))
    return name
