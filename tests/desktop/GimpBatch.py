"""The GIMP plug-in in real GIMP, in batch mode: every sample and the unusual
files loaded and checked against the converter's BMP file of the same file,
exports checked byte for byte against the converter's PIC output, the
refusals, exports from RGB mode back onto the original's palette and indices,
and each step of the modding guide. One GIMP run for all of it,
with a scratch HOME holding the plug-in and the default palette.

  GimpBatch.py <plug-in> <palette.gpl> <converter> <source folder> <work folder> [samples]

With "samples" (a package's check) only the samples are loaded and exported
and the default palette checked.
"""

import os
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from PicTestFiles import Failures, converter, read_bmp, succeeded, write_noise_pgm, write_test_pictures  # noqa: E402

UNKNOWN_TEXT = "You have found an unknown InternalData format!"


# GIMP's own plug-ins the cases call (Script-Fu runs the batch). GIMP looks
# in no other folder, so a copy of our plug-in installed on the machine is
# never the one tested, and GIMP's first start queries five plug-ins, not all.
SYSTEM_PLUG_INS = ("script-fu", "file-bmp", "file-pnm", "colormap-remap")


def set_up(plugin, palette, source, work):
    shutil.rmtree(work, ignore_errors=True)
    home = os.path.join(work, "home")
    gimp_folder = os.path.join(home, ".config", "GIMP", "2.10")
    plug_ins = os.path.join(work, "plug-ins")
    os.makedirs(os.path.join(plug_ins, "file-fenwolds-pic"))
    os.makedirs(os.path.join(gimp_folder, "palettes"))
    shutil.copy(plugin, os.path.join(plug_ins, "file-fenwolds-pic", "file-fenwolds-pic"))
    system = subprocess.run(["gimptool-2.0", "--gimpplugindir"], capture_output=True, text=True).stdout.strip()
    for name in SYSTEM_PLUG_INS:
        os.symlink(os.path.join(system or "/usr/lib/gimp/2.0", "plug-ins", name), os.path.join(plug_ins, name))
    with open(os.path.join(gimp_folder, "gimprc"), "w") as f:
        f.write('(plug-in-path "%s")\n' % plug_ins)
    shutil.copy(palette, os.path.join(gimp_folder, "palettes"))
    files = os.path.join(work, "files")
    pictures, empty = write_test_pictures(source, files)
    write_noise_pgm(os.path.join(files, "noise.pgm"), 300)
    return home, files, pictures, empty


def unique_index(table):
    """An index whose colour no other entry has, so that painting with its
    colour can only give that index."""
    for i in range(16, 256):
        if table.count(table[i]) == 1:
            return i
    raise ValueError("no colour of the map is unique")


def run_gimp(home, files, cases):
    """Runs the cases, (label, Script-Fu expression) pairs, in one GIMP run;
    GIMP's output and each label's outcome, True for success."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "GimpCases.scm")
    with open(os.path.join(files, "batch.scm"), "w") as f:
        f.write('(load "%s")\n' % script)
        for label, expression in cases:
            f.write('(case-try "%s" (lambda () %s))\n' % (label, expression))
        f.write('(case-finish "outcomes.txt")\n')
    arguments = ["gimp-console-2.10", "-i", "-f", "--batch-interpreter", "plug-in-script-fu-eval",
                 "-b", '(load "batch.scm")', "-b", "(gimp-quit 0)"]
    env = dict(os.environ, HOME=home, LANG="C", LC_ALL="C")
    env.pop("GIMP2_DIRECTORY", None)
    result = subprocess.run(arguments, cwd=files, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=600)
    outcomes = {}
    if os.path.exists(os.path.join(files, "outcomes.txt")):
        with open(os.path.join(files, "outcomes.txt")) as f:
            for line in f:
                label, outcome = line.split()
                outcomes[label] = outcome == "ok"
    return result.stdout.decode("utf-8", "replace"), outcomes


def stem_of(name):
    return name[:-4]


def read_colors(path):
    with open(path) as f:
        numbers = [int(line) for line in f]
    return [tuple(numbers[i:i + 3]) for i in range(0, len(numbers), 3)]


def same_file(files, made, reference):
    made, reference = os.path.join(files, made), os.path.join(files, reference)
    return os.path.exists(made) and open(made, "rb").read() == open(reference, "rb").read()


def check_loaded(failures, program, files, name, choices):
    """What GIMP holds against the converter's BMP file of the same file: the
    colour map as GIMP reports it, the indices as its export holds them. The
    exports against the converter's PIC file of that BMP file."""
    stem = stem_of(name)
    converted = stem + "-converter.bmp"
    failures.check(succeeded(converter(program, files, name, converted)), "the converter did not convert " + name)
    expected = read_bmp(os.path.join(files, converted))
    failures.check(read_colors(os.path.join(files, stem + ".colours")) == expected[3],
                   "%s: GIMP's colour map differs from the converter's palette" % name)
    exported = stem + "-remembered.PIC"
    failures.check(succeeded(converter(program, files, exported, stem + "-exported.bmp")),
                   "the converter did not convert GIMP's export " + exported)
    held = read_bmp(os.path.join(files, stem + "-exported.bmp"))
    failures.check(held[:3] == expected[:3], "%s: GIMP's pixel indices (%d x %d) differ from the converter's "
                   "(%d x %d)" % ((name,) + held[:2] + expected[:2]))
    converter(program, files, converted, stem + "-with-converter.pic")
    converter(program, files, "-d", converted, stem + "-without-converter.pic")
    had_palette = "Image has palette" in converter(program, files, "-q", name)
    outputs = {"remembered.PIC": "with" if had_palette else "without"}
    if choices:
        outputs.update({"with.pic": "with", "without.pic": "without", "last.pic": "without"})
    for output, kind in outputs.items():
        failures.check(same_file(files, "%s-%s" % (stem, output), "%s-%s-converter.pic" % (stem, kind)),
                       "%s: the export %s is not what the converter writes (%s palette)" % (name, output, kind))


def check_refusals(failures, files, output, empty):
    expected = {
        "no-image.pic": "The file holds no image chunk",
        "negative-size.pic": "the image chunk declares 32768 x 2 pixels",
        "empty-image.pic": "The image is 0 x 5 pixels",
        "too-wide.pic": "The image is 40000 x 1 pixels; a PIC file holds at most 32767 x 32767",
        "noise.pic": "The picture cannot be stored in a PIC file: compressed, it needs",
        "rgb.pic": "The layer is RGB; a PIC file holds an indexed picture",
    }
    for name, text in expected.items():
        failures.check(text in output, "%s: GIMP's output does not say '%s'" % (name, text))
    for name in ("too-wide.pic", "noise.pic", "rgb.pic"):
        with open(os.path.join(files, name), "rb") as f:
            failures.check(f.read() == b"keep me", name + ": a refused export touched the file already there")
    # One message for the file of forty unknown chunks, and one for the
    # fixture of one, never one per chunk.
    failures.check(output.count(UNKNOWN_TEXT) == 2, "the unknown-chunk text appears %d times, not twice" %
                   output.count(UNKNOWN_TEXT))
    failures.check("(and 39 more chunks of unknown tags after it: 0x6242" in output,
                   "the message for forty unknown chunks does not count the rest")


def write_unnamed_pictures(files):
    """PIC files whose names do not say so, which GIMP must know by their
    bytes: the samples with and without a palette chunk, loaded through
    GIMP's own choice of loader; one whose bytes do not say so either; and
    names that cannot be opened, handed to our loader directly (GIMP's own
    file-load tests for those itself)."""
    for stem in ("valley", "cottage"):
        shutil.copy(os.path.join(files, stem + ".pic"), os.path.join(files, stem + "-by-content"))
    # An image chunk first whose stream does not start with the code width 11.
    with open(os.path.join(files, "not-by-content"), "wb") as f:
        f.write(b"X0\x05\x00\x01\x00\x01\x00\x09")
    os.makedirs(os.path.join(files, "folder.pic"))
    cases = [("load-by-content-" + stem, '(case-load-and-delete "%s-by-content" "%s-by-content")' % (stem, stem))
             for stem in ("valley", "cottage")]
    refused = [("load-not-by-content", '(case-load-only "not-by-content")')]
    refused += [("open-" + name, '(file-fenwolds-pic-load RUN-NONINTERACTIVE "%s" "%s")' % (name, name))
                for name in ("missing.pic", "folder.pic")]
    return cases, refused


def check_unnamed_pictures(failures, files, output):
    for stem in ("valley", "cottage"):
        failures.check(same_file(files, stem + "-by-content-remembered.PIC", stem + "-remembered.PIC"),
                       "%s-by-content: GIMP did not open it as %s.pic" % (stem, stem))
    for name, reason in (("missing.pic", "No such file or directory"), ("folder.pic", "Is a directory")):
        text = "The file cannot be opened for reading: " + reason
        failures.check(text in output, "%s: GIMP's output does not say '%s'" % (name, text))
    # GIMP's own refusal, which names no file: no other case loads a file
    # that no loader claims.
    failures.check("procedure 'gimp-file-load':\nUnknown file type" in output,
                   "not-by-content: GIMP did not refuse a file that is no PIC picture by its bytes or its name")


def read_pic(failures, program, files, pic):
    """The picture in a PIC file, as read_bmp gives it, through the converter."""
    bmp = pic[:-4] + "-check.bmp"
    failures.check(succeeded(converter(program, files, pic, bmp)), "the converter did not convert " + pic)
    return read_bmp(os.path.join(files, bmp))


def check_guide(failures, program, files, index):
    def pixels_of(pic):
        return read_pic(failures, program, files, pic)

    def painted(width, pixels):
        return [i for i in range(len(pixels)) if 10 <= i % width < 50 and 20 <= i // width < 50]

    width, height, original, table = pixels_of("valley.pic")
    inside = painted(width, original)
    expected = bytearray(original)
    for i in inside:
        expected[i] = index

    # The GIMP route.
    result = pixels_of("guide-painted.pic")
    failures.check(result[2] == bytes(expected) and result[3] == table,
                   "guide, GIMP route: the exported picture is not the original painted with index %d" % index)

    # The BMP route: the 8-bit save keeps the indices; the check before
    # copying the file into the game: its details, and its BMP file again.
    out = converter(program, files, "bmp-route-edited.bmp", "bmp-route-edited.pic")
    failures.check(succeeded(out), "guide, BMP route: the 8-bit save does not convert: " + out[-200:])
    query = converter(program, files, "-q", "bmp-route-edited.pic")
    failures.check("Width,Height: 320,200" in query and "Image has palette" in query,
                   "guide, BMP route: the query does not report 320 x 200 with a palette")
    result = pixels_of("bmp-route-edited.pic")
    failures.check(result[2] == bytes(expected) and result[3] == table,
                   "guide, BMP route: the converted picture is not the original painted with index %d" % index)
    out = converter(program, files, "bmp-route-24.bmp", "bmp-route-24.pic")
    failures.check("Image bit depth doesn't match request." in out and not os.path.exists(
        os.path.join(files, "bmp-route-24.pic")), "guide, BMP route: the 24-bit save was not refused")
    # The guide's check: the new indices in the original's colours. Right
    # after an 8-bit save; scrambled after a save that reordered the colour
    # map, though that one converted with success.
    out = converter(program, files, "-u", "valley.pic", "bmp-route-edited.pic", "check.bmp")
    check = read_bmp(os.path.join(files, "check.bmp"))
    failures.check(succeeded(out) and check[2] == bytes(expected) and check[3] == table,
                   "guide, BMP route: the check of the 8-bit save does not show the painted picture")
    out = converter(program, files, "bmp-route-reordered.bmp", "bmp-route-reordered.pic")
    failures.check(succeeded(out), "guide, BMP route: the reordered save does not convert")
    converter(program, files, "-u", "valley.pic", "bmp-route-reordered.pic", "check-reordered.bmp")
    scrambled = read_bmp(os.path.join(files, "check-reordered.bmp"))
    changed = sum(1 for a, b in zip(scrambled[2], expected) if scrambled[3][a] != table[b])
    failures.check(changed > len(expected) // 2,
                   "guide, BMP route: the check of a reordered save shows %d of %d pixels in other colours, "
                   "not a scrambled picture" % (changed, len(expected)))

    # A palette-less picture with the palette of another PIC file: what the
    # converter makes with -u, and, without asking, still no palette chunk.
    converter(program, files, "-u", "valley.pic", "cottage.pic", "cottage-valley-converter.pic")
    converter(program, files, "-d", "cottage-valley-converter.pic", "cottage-valley-converter-without.pic")
    for made, reference in (("guide-cottage-valley-palette.pic", "cottage-valley-converter.pic"),
                            ("guide-cottage-valley.pic", "cottage-valley-converter-without.pic")):
        failures.check(same_file(files, made, reference),
                       "guide, palette from another picture: %s is not %s" % (made, reference))


def six_bits(color):
    return tuple(component >> 2 for component in color)


def twice_index(table, pixels):
    """The higher index of the first colour that two entries hold, both used
    in the picture when it has such a pair."""
    used = set(pixels)
    pairs = [(i, j) for j in range(256) for i in range(j) if six_bits(table[i]) == six_bits(table[j])]
    return max([(i in used and j in used, -j, j) for i, j in pairs])[2]


def overlap(one, other):
    return all(a < b + d and b < a + c for a, b, c, d in zip(one[:2], other[:2], one[2:], other[2:]))


def rgb_blocks(width, height, pixels, table):
    """The blocks the RGB route paints, (index, (x, y, width, height)) each:
    one in a colour the palette holds once, and one in a colour it holds
    twice, laid where the original has most pixels of both its entries."""
    first = (10, 20, 40, 30)
    twice = twice_index(table, pixels)
    lower = next(i for i in range(256) if six_bits(table[i]) == six_bits(table[twice]))

    def both(block):
        inside = [pixels[y * width + x] for y in range(block[1], block[1] + block[3])
                  for x in range(block[0], block[0] + block[2])]
        return min(inside.count(lower), inside.count(twice))

    places = [(x, y, 30, 20) for y in range(0, height - 19, 10) for x in range(0, width - 29, 10)]
    second = max((both(place), place) for place in places if not overlap(place, first))[1]
    return (unique_index(table), first), (twice, second)


def both_entries_in(picture, block):
    """How many pixels of the original inside the block hold the lower and the
    higher entry of the block's colour."""
    width, _, pixels, table = picture
    index, (left, top, block_width, block_height) = block
    inside = [pixels[y * width + x] for y in range(top, top + block_height) for x in range(left, left + block_width)]
    entries = [i for i in range(256) if six_bits(table[i]) == six_bits(table[index])]
    return [inside.count(entry) for entry in entries]


def scheme_blocks(blocks):
    return "'(%s)" % " ".join("(%d %d %d %d %d)" % ((index,) + block) for index, block in blocks)


def rgb_painted(width, original, table, blocks):
    """The indices expected of the painted picture, and how many of its pixels
    took the lowest of several entries: in a block, where the original's
    index there shows the block's colour it stays, elsewhere the colour's
    lowest entry is taken."""
    expected = bytearray(original)
    lowest = 0
    for index, (left, top, block_width, block_height) in blocks:
        entries = [i for i in range(256) if six_bits(table[i]) == six_bits(table[index])]
        for y in range(top, top + block_height):
            for x in range(left, left + block_width):
                at = y * width + x
                if six_bits(table[original[at]]) != six_bits(table[index]):
                    expected[at] = entries[0]
                    lowest += len(entries) > 1
    return bytes(expected), lowest


def lowest_note(count):
    return "The export wrote the lowest of several palette entries of one colour for %d pixel%s, where" % (
        count, "" if count == 1 else "s")


def off_palette(table):
    """A colour no entry shows, and the entry nearest to it."""
    shown = set(six_bits(entry) for entry in table)
    color = next((v, 255 - v, 90) for v in range(0, 256, 4) if six_bits((v, 255 - v, 90)) not in shown)
    distances = [sum((a - b) ** 2 for a, b in zip(color, entry)) for entry in table]
    return color, distances.index(min(distances))


def rgb_route_cases(program, files):
    """The RGB route's cases, and what check_rgb_route needs to judge them."""
    valley = read_bmp(os.path.join(files, "bmp-route.bmp"))
    converter(program, files, "cottage.pic", "rgb-cottage.bmp")
    cottage = read_bmp(os.path.join(files, "rgb-cottage.bmp"))
    blocks = rgb_blocks(*valley)
    cottage_blocks = rgb_blocks(*cottage)
    color, _ = off_palette(valley[3])
    translucent = valley[3][blocks[0][0]]
    # Valley's chunks, palette and image, again and again: more bytes than an
    # image keeps, yet the picture is valley.
    with open(os.path.join(files, "valley.pic"), "rb") as f:
        data = f.read()
    with open(os.path.join(files, "valley-padded.pic"), "wb") as f:
        f.write(data * (1 + (1 << 20) // len(data)))
    for name in ("rgb-off-palette.pic", "rgb-not-kept.pic"):
        with open(os.path.join(files, name), "wb") as f:
            f.write(b"keep me")
    cases = [("rgb-route", '(case-rgb-export "valley.pic" #f %s "rgb-route.pic")' % scheme_blocks(blocks)),
             ("rgb-route-xcf", '(case-rgb-through-xcf "valley.pic" %s "rgb-route-xcf.pic")' % scheme_blocks(blocks)),
             ("guide-custom-palette", "(guide-custom-palette)"),
             ("rgb-route-cottage", '(case-rgb-export "cottage.pic" PRECISION-FLOAT-LINEAR %s "rgb-route-cottage.pic")'
              % scheme_blocks(cottage_blocks))]
    refused = [("rgb-off-palette", '(case-rgb-pixels "valley.pic" #f \'((7 3 %d %d %d) (9 4 %d %d %d)) '
                '"rgb-off-palette.pic")' % (color + color)),
               ("rgb-translucent", '(case-rgb-pixels "valley.pic" #t \'((5 9 %d %d %d 128)) "rgb-translucent.pic")'
                % translucent),
               ("rgb-damaged-record", '(case-rgb-damaged-record "rgb-damaged-record.pic")'),
               ("rgb-not-kept", '(case-rgb-pixels "valley-padded.pic" #t \'() "rgb-not-kept.pic")')]
    return cases, refused, (valley, blocks, cottage, cottage_blocks)


def check_rgb_route(failures, program, files, output, pictures):
    valley, blocks, cottage, cottage_blocks = pictures
    expected, lowest = rgb_painted(valley[0], valley[2], valley[3], blocks)
    # Inside the block of a colour held twice, the original decides where it
    # has either entry, the higher one included, and nothing decides elsewhere.
    counts = both_entries_in(valley, blocks[1])
    failures.check(len(counts) == 2 and min(counts) > 0 and lowest > 0,
                   "RGB route: the block of a colour held twice covers %s pixels of its entries and %d others" %
                   (counts, lowest))
    for made in ("rgb-route.pic", "rgb-route-xcf.pic"):
        result = read_pic(failures, program, files, made)
        failures.check(result[2] == expected and result[3] == valley[3],
                       "RGB route, %s: not the original's indices and palette with the blocks painted" % made)
    # Each export that took the lowest entry somewhere says so once, with the count.
    notes = [lowest_note(lowest)] * 2
    expected, lowest = rgb_painted(cottage[0], cottage[2], cottage[3], cottage_blocks)
    notes += [lowest_note(lowest)] if lowest else []
    for note in set(notes):
        failures.check(output.count(note) == notes.count(note),
                       "RGB route: '%s' is said %d times, not %d" % (note, output.count(note), notes.count(note)))
    result = read_pic(failures, program, files, "rgb-route-cottage.pic")
    with open(os.path.join(files, "rgb-route-cottage.pic"), "rb") as f:
        first_tag = f.read(2)
    failures.check(result[2] == expected and result[3] == cottage[3] and first_tag == b"X0",
                   "RGB route, cottage in float precision: not its indices with the blocks, without a palette")

    color, nearest = off_palette(valley[3])
    texts = {
        "rgb-off-palette.pic": "The layer has 2 pixels in colours that the palette of the picture it was opened "
        "from lacks, the first at x 7, y 3 in %d, %d, %d, nearest to palette index %d in %d, %d, %d;" % (
            color + (nearest,) + valley[3][nearest]),
        "rgb-translucent.pic": "The layer has 1 pixel not fully opaque, the first at x 5, y 9 with alpha 128;",
        "rgb-damaged-record.pic": "The image's record of the PIC picture it was opened from cannot be read "
        "(The file holds no image chunk",
        # Too large to keep: exported as any RGB image, so GIMP must convert it.
        "rgb-not-kept.pic": "The layer is RGB with alpha; a PIC file holds an indexed picture",
    }
    for name, text in texts.items():
        failures.check(text in output, "RGB route, %s: GIMP's output does not say '%s'" % (name, text))
    padded = os.path.getsize(os.path.join(files, "valley-padded.pic"))
    failures.check("The file is %d bytes, more than the 1048576 that an image keeps" % padded in output,
                   "RGB route: opening a file too large to keep does not say so")
    for name in ("rgb-off-palette.pic", "rgb-not-kept.pic"):
        with open(os.path.join(files, name), "rb") as f:
            failures.check(f.read() == b"keep me", name + ": a refused export touched the file already there")
    for name in ("rgb-translucent.pic", "rgb-damaged-record.pic"):
        failures.check(not os.path.exists(os.path.join(files, name)), name + ": a refused export left a file")

    # The guide's warning: GIMP's own conversion with the picture's palette
    # renumbers it (22 % of valley's pixels with GIMP 2.10.34).
    converted = read_pic(failures, program, files, "guide-custom-palette.pic")
    changed = sum(1 for a, b in zip(converted[2], valley[2]) if a != b)
    failures.check(converted[3] == valley[3] and changed > len(valley[2]) // 10,
                   "guide, custom palette: GIMP's conversion changed %d of %d indices, not the many the guide "
                   "warns of" % (changed, len(valley[2])))


def check_default_palette(failures, program, files):
    """The installed GIMP palette is the game's: the palette cottage.pic shows."""
    converter(program, files, "-u", "cottage.pic", "valley.pic", "valley-default-converter.pic")
    failures.check(same_file(files, "valley-default-palette.pic", "valley-default-converter.pic"),
                   "the installed GIMP palette is not the game's default palette")


def write_short_bmp(path):
    """The picture of case-short-color-map: 4 x 2 pixels, 8 bits, a colour
    table of three entries (blue, green, red, 0 each), rows bottom-up."""
    table = bytes([0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0])
    pixels = bytes([2, 0, 0, 1, 0, 1, 2, 1])
    offset = 14 + 40 + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, 4, 2, 1, 8, 0, len(pixels), 2835, 2835, 3, 0)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)


def main():
    plugin, palette, program, source, work = sys.argv[1:6]
    samples_only = sys.argv[6:] == ["samples"]
    program, source, work = os.path.abspath(program), os.path.abspath(source), os.path.abspath(work)
    home, files, pictures, empty = set_up(plugin, palette, source, work)
    for name in ("too-wide.pic", "noise.pic", "rgb.pic"):
        with open(os.path.join(files, name), "wb") as f:
            f.write(b"keep me")
    write_short_bmp(os.path.join(files, "short.bmp"))
    converter(program, files, "valley.pic", "bmp-route.bmp")
    index = unique_index(read_bmp(os.path.join(files, "bmp-route.bmp"))[3])
    # The palette choices once for a picture with a palette and once for one without.
    with_choices = ("valley.pic", "cottage.pic")

    cases = [("load-" + stem_of(name), '(%s "%s" "%s")' % (
        "case-palette-choices" if name in with_choices else "case-load-and-delete", stem_of(name), name))
        for name in pictures]
    cases += [("load-unknown-chunk", '(case-load-only "%s")' %
               os.path.join(source, "tests", "fixtures", "pic", "unknown-chunk.pic"))]
    refused = [("load-" + stem_of(name), '(case-load-only "%s")' % name) for name in empty]
    refused += [("too-wide", "(case-too-wide)"), ("noise", "(case-noise)"), ("rgb", "(case-rgb)")]
    cases += [("short-colour-map", "(case-short-color-map)"),
              ("guide-gimp-route", "(guide-gimp-route %d)" % index), ("guide-bmp-route", "(guide-bmp-route %d)" % index),
              ("guide-palette-from-another", "(guide-palette-from-another)"),
              ("guide-default-palette", "(guide-default-palette)")]
    unnamed_cases, unnamed_refused = write_unnamed_pictures(files)
    cases += unnamed_cases
    refused += unnamed_refused
    rgb_cases, rgb_refused, rgb_pictures = rgb_route_cases(program, files)
    cases += rgb_cases
    refused += rgb_refused
    if samples_only:
        pictures = [name for name in pictures if name.islower() and os.path.exists(os.path.join(source, "samples", name))]
        cases = [case for case in cases if case[0] in ["load-" + stem_of(name) for name in pictures] +
                 ["guide-default-palette"]]
        refused = []
    output, outcomes = run_gimp(home, files, cases + refused)
    with open(os.path.join(work, "gimp-output.txt"), "w") as f:
        f.write(output)

    failures = Failures()
    for label, _ in cases:
        failures.check(outcomes.get(label) is True, "case %s did not succeed (GIMP's output: %s)" %
                       (label, os.path.join(work, "gimp-output.txt")))
    for label, _ in refused:
        failures.check(outcomes.get(label) is False, "case %s was not refused" % label)
    for name in pictures:
        check_loaded(failures, program, files, name, name in with_choices)
    if samples_only:
        check_default_palette(failures, program, files)
        failures.finish("GIMP loaded the %d samples as the converter reads them and exported them as it writes "
                        "them; the default palette is the game's" % len(pictures))
        return
    check_refusals(failures, files, output, empty)
    out = converter(program, files, "short.bmp", "short-converter.pic")
    failures.check(succeeded(out) and same_file(files, "short.pic", "short-converter.pic"),
                   "a three-colour map is not padded as the converter pads a short BMP colour table")
    check_unnamed_pictures(failures, files, output)
    check_guide(failures, program, files, index)
    check_rgb_route(failures, program, files, output, rgb_pictures)
    check_default_palette(failures, program, files)
    failures.finish("GIMP loaded %d pictures as the converter reads them and exported them as it writes them; "
                    "%d refusals and the guide's steps checked" % (len(pictures), len(refused)))


if __name__ == "__main__":
    main()
