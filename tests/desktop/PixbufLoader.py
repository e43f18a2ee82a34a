"""The gdk-pixbuf loader module through gdk-pixbuf itself, with a loaders
cache and a mime database made here for this run, never the system's: every
sample and unusual file shows what the converter's BMP file of it shows,
whole and in odd-sized pieces; files without a picture give an error;
unknown chunks say nothing; the thumbnailer makes a PNG thumbnail; and a
file that declares far more pixels than it holds is thumbnailed and loaded
at a size asked for within an address limit.

  PixbufLoader.py <loader module> <mime XML> <thumbnailer entry> <converter> <source folder> <work folder>
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from PicTestFiles import (BOMB, LARGE_SIDE, Failures, converter, read_bmp, succeeded, use_loader,  # noqa: E402
                          write_large_picture, write_test_pictures)

MIME_TYPE = "image/x-fenwolds-pic"
PIECES = (1, 7, 333, 4093)


def expected_rgb(program, files, name):
    bmp = name[:-4] + "-converter.bmp"
    if not succeeded(converter(program, files, name, bmp)):
        return None
    width, height, indices, table = read_bmp(os.path.join(files, bmp))
    return width, height, colors_of(indices, table)


def colors_of(indices, table):
    """The RGB bytes of indices through table, a channel at a time: fast
    enough for a 4096 x 4096 picture."""
    rgb = bytearray(3 * len(indices))
    for channel in range(3):
        rgb[channel::3] = indices.translate(bytes(entry[channel] for entry in table))
    return bytes(rgb)


def pixbuf_rgb(pixbuf):
    width, height, stride = pixbuf.get_width(), pixbuf.get_height(), pixbuf.get_rowstride()
    data = pixbuf.get_pixels()
    return width, height, b"".join(data[y * stride: y * stride + 3 * width] for y in range(height))


def load_in_pieces(GdkPixbuf, path, sniffed=False):
    """As viewers load: a loader for the type the file's name gave, or, with
    sniffed, one that picks the loader from the first bytes."""
    loader = GdkPixbuf.PixbufLoader() if sniffed else GdkPixbuf.PixbufLoader.new_with_mime_type(MIME_TYPE)
    with open(path, "rb") as f:
        data = f.read()
    at, i = 0, 0
    while at < len(data):
        piece = data[at: at + PIECES[i % len(PIECES)]]
        loader.write(piece)
        at, i = at + len(piece), i + 1
    loader.close()
    return loader.get_pixbuf()


class StandardErrorCaught:
    """What the process writes to its standard error meanwhile, C code included."""

    def __enter__(self):
        sys.stderr.flush()
        self.file = tempfile.TemporaryFile()
        self.saved = os.dup(2)
        os.dup2(self.file.fileno(), 2)
        return self

    def __exit__(self, *exception):
        os.dup2(self.saved, 2)
        os.close(self.saved)
        self.file.seek(0)
        self.text = self.file.read().decode("utf-8", "replace")


def check_pictures(failures, GdkPixbuf, GLib, program, files, pictures, empty):
    for name in pictures:
        path = os.path.join(files, name)
        expected = expected_rgb(program, files, name)
        with StandardErrorCaught() as caught:
            whole = pixbuf_rgb(GdkPixbuf.Pixbuf.new_from_file(path))
            pieces = pixbuf_rgb(load_in_pieces(GdkPixbuf, path))
        failures.check(whole == expected, name + ": the loaded pixels are not the converter's")
        failures.check(pieces == expected, name + ": loaded in pieces, the pixels are not the converter's")
        failures.check(caught.text == "", name + ": loading wrote to standard error: " + caught.text)
        # Files that start with a chunk of the format tell their type by their bytes.
        if name in ("cottage.pic", "valley.pic", "map.pic", "cut-short.pic", "palette-last.pic"):
            sniffed = pixbuf_rgb(load_in_pieces(GdkPixbuf, path, sniffed=True))
            failures.check(sniffed == expected, name + ": loaded by its bytes alone, the pixels are not the converter's")
    for name in empty:
        path = os.path.join(files, name)
        for way, load in (("whole", GdkPixbuf.Pixbuf.new_from_file), ("in pieces",
                                                                      lambda p: load_in_pieces(GdkPixbuf, p))):
            try:
                load(path)
                failures.check(False, "%s loaded %s, yet holds no picture" % (name, way))
            except GLib.Error as error:
                failures.check(error.domain == "gdk-pixbuf-error-quark",
                               "%s, %s: the error is %s, not gdk-pixbuf's" % (name, way, error.domain))


def check_type(failures, GdkPixbuf, Gio, files):
    path = os.path.join(files, "DUSK.PIC")
    guessed, _ = Gio.content_type_guess(path, None)
    failures.check(guessed == MIME_TYPE, "DUSK.PIC has the type %s" % guessed)
    with open(os.path.join(files, "cottage.pic"), "rb") as f:
        sniffed, uncertain = Gio.content_type_guess(None, f.read(2048))
    failures.check(sniffed == MIME_TYPE and not uncertain, "a PIC file's bytes alone give the type %s" % sniffed)
    # A file that is not a PIC file keeps its own type, whatever its start.
    with open(os.path.join(files, "other.pict"), "wb") as f:
        f.write(b"M0" + bytes(2046))
    guessed, _ = Gio.content_type_guess(os.path.join(files, "other.pict"), None)
    failures.check(guessed == "image/x-pict", "a .pict file became %s" % guessed)
    info = GdkPixbuf.Pixbuf.get_file_info(path)
    failures.check(info[0] is not None and info[0].get_name() == "fenwolds-pic" and info[1:] == (320, 200),
                   "gdk-pixbuf does not tell DUSK.PIC as a 320 x 200 picture of the loader")


def thumbnail_command(entry, size, path, thumbnail):
    """The command of the thumbnailer entry for a thumbnail of size pixels at
    most of the file at path; None when the entry names none for the type."""
    with open(entry) as f:
        lines = f.read().splitlines()
    exec_line = [line for line in lines if line.startswith("Exec=")]
    if "MimeType=%s;" % MIME_TYPE not in lines or len(exec_line) != 1:
        return None
    values = {"%s": str(size), "%u": "file://" + path, "%o": thumbnail}
    return [values.get(w, w) for w in exec_line[0][len("Exec="):].split()]


def made_thumbnail(failures, GdkPixbuf, command, what):
    """Runs the thumbnailer's command; the thumbnail as (width, height, RGB), or None."""
    result = subprocess.run(command, capture_output=True, timeout=120)
    thumbnail = command[-1]
    if not failures.check(result.returncode == 0 and os.path.exists(thumbnail), "%s: the thumbnailer failed: %s" % (
            what, result.stderr.decode("utf-8", "replace"))):
        return None
    with open(thumbnail, "rb") as f:
        failures.check(f.read(8) == b"\x89PNG\r\n\x1a\n", what + ": the thumbnail is not a PNG file")
    return pixbuf_rgb(GdkPixbuf.Pixbuf.new_from_file(thumbnail))


def check_thumbnailer(failures, GdkPixbuf, entry, source, work):
    command = thumbnail_command(entry, 128, os.path.join(source, "samples", "map.pic"),
                                os.path.join(work, "map-thumbnail.png"))
    if not failures.check(command is not None, "the thumbnailer entry names no type or command"):
        return
    made = made_thumbnail(failures, GdkPixbuf, command, "map.pic")
    if made is not None:
        failures.check(made[:2] == (128, 80), "the thumbnail of 640 x 400 is %d x %d, not 128 x 80" % made[:2])


# What a file manager's thumbnailer may take, in bytes of address space: a
# picture's declared size must not make the loader reach for more.
ADDRESS_LIMIT = 268435456
THUMBNAIL_SIZE = 256
# Index 0 of the default palette, the colour of pixels the data never gave.
INDEX_ZERO = bytes((0, 0, 0))


def bounded(command):
    return ["prlimit", "--as=%d" % ADDRESS_LIMIT] + command


def load_one(way, path, size, raw):
    """In a process of its own, so that the address limit is its alone: loads
    path one way and writes the pixels to raw; prints what came of it."""
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf, GLib
    try:
        if way == "whole":
            pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
        elif way == "at-size":
            pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_size(path, size, size)
        else:
            # As a viewer that fits the picture to its window asks for a size.
            loader = GdkPixbuf.PixbufLoader.new_with_mime_type(MIME_TYPE)
            loader.connect("size-prepared", lambda loader, width, height: loader.set_size(
                *(size, max(1, height * size // width)) if width >= height else (max(1, width * size // height), size)))
            with open(path, "rb") as f:
                data = f.read()
            for at in range(0, len(data), 7):
                loader.write(data[at: at + 7])
            loader.close()
            pixbuf = loader.get_pixbuf()
    except GLib.Error as error:
        print("error %s %d %s" % (error.domain, error.code, error.message))
        return
    width, height, rgb = pixbuf_rgb(pixbuf)
    with open(raw, "wb") as f:
        f.write(rgb)
    print("pixbuf %d %d" % (width, height))


def loaded_bounded(failures, path, way, work):
    """Loads path one way in a bounded process: (width, height, RGB), or the error's (domain, code, message)."""
    raw = os.path.join(work, "bounded.rgb")
    if os.path.exists(raw):
        os.remove(raw)
    what = "%s %s under an address limit" % (os.path.basename(path), way)
    result = subprocess.run(bounded([sys.executable, os.path.abspath(__file__), "--load", way, path,
                                     str(THUMBNAIL_SIZE), raw]), capture_output=True, text=True, timeout=120)
    words = result.stdout.split(" ", 3)
    if not failures.check(result.returncode == 0 and words[0] in ("pixbuf", "error"), "%s failed (status %d): %s" % (
            what, result.returncode, result.stderr[-2000:])):
        return None
    if words[0] == "error":
        return words[1], int(words[2]), words[3].strip()
    with open(raw, "rb") as f:
        return int(words[1]), int(words[2]), f.read()


def sampled(picture, step):
    """Every step-th pixel of every step-th row: the picture shrunk where each
    box is of one colour."""
    width, height, rgb = picture
    rows = [rgb[3 * y * width: 3 * (y + 1) * width] for y in range(0, height, step)]
    return width // step, height // step, b"".join(
        b"".join(row[3 * x: 3 * x + 3] for x in range(0, width, step)) for row in rows)


def check_bounded(failures, GdkPixbuf, entry, program, files, work):
    """The largest picture a file can declare in 11 bytes, and a 4096 x 4096
    one that its stream fills, each under an address limit: thumbnails and
    loads at a size asked for are made in it; the bomb's full size is refused
    with gdk-pixbuf's error, never a crash."""
    bomb = os.path.join(files, "bomb.pic")
    with open(bomb, "wb") as f:
        f.write(BOMB)
    black = (THUMBNAIL_SIZE, THUMBNAIL_SIZE, INDEX_ZERO * THUMBNAIL_SIZE * THUMBNAIL_SIZE)
    large = write_large_picture(program, files, "large.pic")
    if not failures.check(large is not None, "the converter did not make large.pic"):
        return
    large = os.path.join(files, large)
    expected = expected_rgb(program, files, "large.pic")
    failures.check(pixbuf_rgb(GdkPixbuf.Pixbuf.new_from_file(large)) == expected,
                   "large.pic: the loaded pixels are not the converter's")
    # Each 16 x 16 box lies within one cell, so the thumbnail is the picture sampled.
    small = sampled(expected, LARGE_SIDE // THUMBNAIL_SIZE)
    for path, picture in ((bomb, black), (large, small)):
        name = os.path.basename(path)
        for way in ("at-size", "pieces"):
            got = loaded_bounded(failures, path, way, work)
            if got is not None:
                failures.check(got == picture, "%s %s: not the %d x %d picture expected, but %s" % (
                    name, way, picture[0], picture[1], got[:2]))
        command = thumbnail_command(entry, THUMBNAIL_SIZE, path, os.path.join(work, name + ".png"))
        made = made_thumbnail(failures, GdkPixbuf, bounded(command), name + " under an address limit")
        if made is not None:
            failures.check(made == picture, "%s: the thumbnail is not the %d x %d picture expected, but %d x %d" % (
                name, picture[0], picture[1], made[0], made[1]))
    refused = loaded_bounded(failures, bomb, "whole", work)
    # gdk-pixbuf puts the file's name before the loader's message.
    if refused is not None:
        failures.check(refused[:2] == ("gdk-pixbuf-error-quark", int(GdkPixbuf.PixbufError.INSUFFICIENT_MEMORY)) and
                       refused[2].endswith(": There is not enough memory for 32767 x 32767 pixels"),
                       "bomb.pic whole under an address limit: %s, not the error for too little memory" % (refused,))


def main():
    if sys.argv[1:2] == ["--load"]:
        way, path, size, raw = sys.argv[2:6]
        load_one(way, path, int(size), raw)
        return
    module, mime_xml, entry, program, source, work = sys.argv[1:7]
    program, source, work = os.path.abspath(program), os.path.abspath(source), os.path.abspath(work)
    use_loader(module, mime_xml, work)
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf, Gio, GLib

    files = os.path.join(work, "files")
    pictures, empty = write_test_pictures(source, files)
    shutil.copy(os.path.join(source, "tests", "fixtures", "pic", "unknown-chunk.pic"), files)
    pictures += ["unknown-chunk.pic"]

    failures = Failures()
    check_pictures(failures, GdkPixbuf, GLib, program, files, pictures, empty)
    check_type(failures, GdkPixbuf, Gio, files)
    check_thumbnailer(failures, GdkPixbuf, entry, source, work)
    check_bounded(failures, GdkPixbuf, entry, program, files, work)
    failures.finish("gdk-pixbuf loaded %d pictures as the converter reads them, whole and in pieces, refused %d, "
                    "made thumbnails, and kept to an address limit on a picture bomb" % (len(pictures), len(empty)))


if __name__ == "__main__":
    main()
