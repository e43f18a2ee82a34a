"""The gdk-pixbuf loader module through gdk-pixbuf itself, with a loaders
cache and a mime database made here for this run, never the system's: every
sample and unusual file shows what the converter's BMP file of it shows,
whole and in odd-sized pieces; files without a picture give an error;
unknown chunks say nothing; the thumbnailer makes a PNG thumbnail.

  PixbufLoader.py <loader module> <mime XML> <thumbnailer entry> <converter> <source folder> <work folder>
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from PicTestFiles import Failures, converter, read_bmp, succeeded, use_loader, write_test_pictures  # noqa: E402

MIME_TYPE = "image/x-fenwolds-pic"
PIECES = (1, 7, 333, 4093)


def expected_rgb(program, files, name):
    bmp = name[:-4] + "-converter.bmp"
    if not succeeded(converter(program, files, name, bmp)):
        return None
    width, height, indices, table = read_bmp(os.path.join(files, bmp))
    return width, height, b"".join(bytes(table[i]) for i in indices)


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


def check_thumbnailer(failures, GdkPixbuf, entry, source, work):
    with open(entry) as f:
        lines = f.read().splitlines()
    exec_line = [line for line in lines if line.startswith("Exec=")]
    failures.check("MimeType=%s;" % MIME_TYPE in lines and len(exec_line) == 1,
                   "the thumbnailer entry names no type or command")
    words = exec_line[0][len("Exec="):].split()
    thumbnail = os.path.join(work, "map-thumbnail.png")
    values = {"%s": "128", "%u": "file://" + os.path.join(source, "samples", "map.pic"), "%o": thumbnail}
    result = subprocess.run([values.get(w, w) for w in words], capture_output=True, timeout=60)
    failures.check(result.returncode == 0, "the thumbnailer failed: " + result.stderr.decode("utf-8", "replace"))
    if os.path.exists(thumbnail):
        with open(thumbnail, "rb") as f:
            failures.check(f.read(8) == b"\x89PNG\r\n\x1a\n", "the thumbnail is not a PNG file")
        made = GdkPixbuf.Pixbuf.new_from_file(thumbnail)
        failures.check((made.get_width(), made.get_height()) == (128, 80),
                       "the thumbnail of 640 x 400 is %d x %d, not 128 x 80" % (made.get_width(), made.get_height()))
    else:
        failures.check(False, "the thumbnailer wrote no file")


def main():
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
    failures.finish("gdk-pixbuf loaded %d pictures as the converter reads them, whole and in pieces, refused %d, "
                    "and made a thumbnail" % (len(pictures), len(empty)))


if __name__ == "__main__":
    main()
