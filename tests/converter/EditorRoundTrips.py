"""The modder's round trip through other editors, run at test time: each
sample extracted with the converter to an 8-bit BMP file, a small block
painted in a colour of its palette by ImageMagick and netpbm (GIMP's edits:
tests/desktop/GimpEditorSaves.py), and the save converted back with -m onto
a copy of the sample it came from. Every save must give back the original's
indices plus the block, in the original's palette (none with -d), and say
how many pixels differ within which rectangle; a dithered save is refused
with its first stray pixel, writing nothing; and the notes appear where a
conversion changed what the user did not paint, and nowhere else.

  EditorRoundTrips.py native <cantrel> <source folder> <work folder>
  EditorRoundTrips.py windows <Cantrel.exe> <cantrel> <wine-run> <source folder> <work folder>

With "windows", every command line runs in two folders holding the same
files, once with the native cantrel and once with Cantrel.exe under Wine:
both must print and leave exactly the same, and what Cantrel.exe did is
checked as the native program's is. What a run must print and write is
worked out here from the pictures, never taken from a converter's run.
"""

import os
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
from PicTestFiles import Failures, read_bmp  # noqa: E402

# The first start of Wine in a new prefix builds the prefix.
TIMEOUT_SECONDS = 600
DONE = "Successful Conversion\r\n"

# name, (bits per pixel, compression) the editor writes, its commands. The
# ImageMagick saves: drawn on (32 bits with an alpha mask), a colour map of
# its own (RLE8), 24 bits; the netpbm ones: a colour map of ppmtobmp's own,
# 24 bits. ImageMagick's own binary, whatever else answers to "convert".
DRAW = "convert-im6.q16 {bmp} +antialias -fill 'rgb({r},{g},{b})' -draw 'rectangle {left},{top} {right},{bottom}'"
PEER_EDITS = (
    ("im-draw.bmp", (32, 3), DRAW + " im-draw.bmp"),
    ("im-palette.bmp", (8, 1), DRAW + " -type Palette im-palette.bmp"),
    ("im-24.bmp", (24, 0), DRAW + " -type TrueColor BMP3:im-24.bmp"),
    ("nb-map.bmp", (8, 0), "bmptopnm {bmp} > base.ppm\n"
                           "ppmmake rgb:{r:02x}/{g:02x}/{b:02x} {width} {height} > block.ppm\n"
                           "pnmpaste block.ppm {left} {top} base.ppm > painted.ppm\n"
                           "ppmtobmp painted.ppm > nb-map.bmp"),
    ("nb-24.bmp", (24, 0), "ppmtobmp -bpp 24 painted.ppm > nb-24.bmp"),
)
# Fewer colours than the picture has, dithered: colours the palette lacks.
DITHERED = ("im-dithered.bmp", (4, 0), "convert-im6.q16 {bmp} -colors 16 im-dithered.bmp")
# The save that renumbered the colour map, for the conversions without -m.
RENUMBERED = "nb-map.bmp"


def banner(source):
    """The banner every run prints first, from the end-to-end tests' notation."""
    with open(os.path.join(source, "tests", "e2e", "common", "banner.expected")) as f:
        text = f.read().replace("\n", "")
    return text.replace("\\r", "\r").replace("\\n", "\n").encode("ascii")


def run(command, folder, words):
    """Runs a converter (a command as a list) in folder; what it printed."""
    return subprocess.run(command + list(words), cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=TIMEOUT_SECONDS).stdout


def shell(folder, script):
    """Commands as a user types them; True when all of them succeeded."""
    result = subprocess.run(["sh", "-ec", script], cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=300)
    if result.returncode != 0:
        print(result.stdout.decode("utf-8", "replace"))
    return result.returncode == 0


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def bmp_kind(data):
    """(bits per pixel, compression) of a BMP file."""
    return struct.unpack_from("<H", data, 28)[0], struct.unpack_from("<I", data, 30)[0]


def shown(color):
    """A colour as the game shows it: 6 bits a component."""
    return tuple(c >> 2 for c in color)


class Sample:
    """A sample, extracted with `cantrel X.pic`, and the block its edits
    paint: in a colour that the palette holds at one index only and that no
    pixel of the block has, so that every painted pixel must come back as
    that index and differ from the original."""

    def __init__(self, cantrel, source, folder, name, block, drop):
        self.name, self.pic, self.bmp, self.block, self.drop = name, name + ".pic", name + ".bmp", block, drop
        self.folder = folder
        os.makedirs(folder)
        shutil.copy(os.path.join(source, "samples", self.pic), folder)
        if not run(cantrel, folder, [self.pic]).endswith(DONE.encode("ascii")):
            raise SystemExit("%s: cantrel %s does not convert it" % (name, self.pic))
        self.pic_bytes = read_file(os.path.join(folder, self.pic))
        self.width, self.height, self.indices, self.table = read_bmp(os.path.join(folder, self.bmp))
        left, top, right, bottom = block
        rows = range(top, bottom + 1)
        inside = {self.indices[y * self.width + x] for y in rows for x in range(left, right + 1)}
        colors = [shown(color) for color in self.table]
        self.index = next(i for i in range(256) if colors.count(colors[i]) == 1 and i not in inside)
        painted = bytearray(self.indices)
        for y in rows:
            painted[y * self.width + left: y * self.width + right + 1] = bytes([self.index]) * (right - left + 1)
        self.painted = bytes(painted)

    def shared_colors_in_use(self):
        """Colours the palette holds at several indices, of which the picture uses more than one."""
        used = set(self.indices)
        return {shown(self.table[i]) for i in used
                if sum(1 for j in used if shown(self.table[j]) == shown(self.table[i])) > 1}

    def words(self, edited):
        """The command line that puts an edited save back over the original."""
        return ["-m", self.pic] + (["-d"] if self.drop else []) + [edited, self.pic]

    def fields(self):
        """The words the editors' commands are written with."""
        left, top, right, bottom = self.block
        r, g, b = self.table[self.index]
        return dict(bmp=self.bmp, r=r, g=g, b=b, left=left, top=top, right=right, bottom=bottom,
                    width=right - left + 1, height=bottom - top + 1)

    def kept_save(self):
        """The extraction painted in its own indices, as an editor that keeps
        the colour map saves it: rows bottom-up, padded to 4 bytes."""
        data = bytearray(read_file(os.path.join(self.folder, self.bmp)))
        offset = struct.unpack_from("<I", data, 10)[0]
        stride = (self.width + 3) // 4 * 4
        for y in range(self.height):
            at = offset + (self.height - 1 - y) * stride
            data[at: at + self.width] = self.painted[y * self.width: (y + 1) * self.width]
        return bytes(data)


def make_edits(failures, sample, edits):
    """Runs the editors' commands in the sample's folder; their saves."""
    made = [(name, kind) for name, kind, commands in edits
            if failures.check(shell(sample.folder, commands.format(**sample.fields())),
                              "%s: the commands of %s failed" % (sample.name, name))]
    return collect_saves(failures, sample, made)


def collect_saves(failures, sample, kinds):
    """The saves an editor left in the sample's folder, by name, each checked
    to be of the kind (bits per pixel, compression) the editor is known to
    write; a missing one fails."""
    saves = {}
    for name, kind in kinds:
        path = os.path.join(sample.folder, name)
        if not failures.check(os.path.exists(path), "%s: no %s was saved" % (sample.name, name)):
            continue
        saves[name] = read_file(path)
        failures.check(bmp_kind(saves[name]) == kind, "%s: %s is %d bits, compression %d, not %d bits, compression "
                       "%d: the case no longer tests what it says" % ((sample.name, name) + bmp_kind(saves[name]) + kind))
    return saves


class Picture:
    """What a PIC file written by a case must hold. A palette chunk keeps 6
    bits of each component, and its file reads back as that times 4."""

    def __init__(self, indices, table, palette_chunk):
        self.indices, self.palette_chunk = indices, palette_chunk
        self.table = [tuple(c >> 2 << 2 for c in color) for color in table] if palette_chunk else table


class Case:
    """One command line in a folder of inputs: what it must print after the
    banner, and the PIC files it must write; every other input stays as it
    was, and nothing else appears."""

    def __init__(self, label, inputs, words, printed, outputs):
        self.label, self.inputs, self.words, self.printed, self.outputs = label, inputs, words, printed, outputs


def differ_note(sample, indices):
    """The note on the pixels whose index differs from the original's."""
    at = [i for i in range(len(indices)) if indices[i] != sample.indices[i]]
    xs, ys = [i % sample.width for i in at], [i // sample.width for i in at]
    return "%s: %d pixel%s differ%s from the picture it replaced, within x %d to %d, y %d to %d\r\n" % (
        sample.pic, len(at), "" if len(at) == 1 else "s", "s" if len(at) == 1 else "", min(xs), max(xs), min(ys),
        max(ys))


def changed_colors(indices, colors, palette, elsewhere):
    """Of the indices used, how many show another colour in palette than in
    colours; with elsewhere, only those whose colour palette holds at
    another index."""
    held = [shown(color) for color in palette]
    return sum(1 for i in set(indices)
               if shown(colors[i]) != held[i] and (not elsewhere or shown(colors[i]) in held))


def round_trip(sample, edited, data):
    return Case("%s, %s with -m" % (sample.name, edited), {sample.pic: sample.pic_bytes, edited: data},
                sample.words(edited), differ_note(sample, sample.painted) + DONE,
                {sample.pic: Picture(sample.painted, sample.table, not sample.drop)})


def refusal(failures, sample, edited, data):
    """A save in colours the palette lacks: the reason gives how many pixels,
    the first (top row first) with its colour, and the palette's nearest
    entry (least sum of squared differences, the lowest index of equals)."""
    width, height, indices, table = read_bmp(os.path.join(sample.folder, edited))
    palette = {shown(color) for color in sample.table}
    stray = [i for i in range(width * height) if shown(table[indices[i]]) not in palette]
    if not failures.check(stray, "%s: %s holds only colours of the palette: no refusal to test" % (sample.name,
                                                                                                   edited)):
        return []
    color = table[indices[stray[0]]]
    distances = [sum((a - b) ** 2 for a, b in zip(color, entry)) for entry in sample.table]
    nearest = distances.index(min(distances))
    reason = ("Unable to map input file {edited} onto the palette of {pic}\r\n   Colours: {count} pixel{s} of colours "
              "that {pic} does not hold, the first at x {x}, y {y}: red {c[0]}, green {c[1]}, blue {c[2]}; its "
              "nearest entry is index {nearest}: red {e[0]}, green {e[1]}, blue {e[2]}\r\n").format(
        edited=edited, pic=sample.pic, count=len(stray), s="" if len(stray) == 1 else "s", x=stray[0] % width,
        y=stray[0] // width, c=color, nearest=nearest, e=sample.table[nearest])
    return [Case("%s, %s refused" % (sample.name, edited), {sample.pic: sample.pic_bytes, edited: data},
                 sample.words(edited), "Conversion Errors (use -? for help):\r\n" + reason, {})]


def without_map(sample, data):
    """Conversions without -m. A renumbered save over the original, and one
    given the original's palette with -u, say that indices show other
    colours; a save that kept the colour map, to a new file, says nothing."""
    _, _, indices, table = read_bmp(os.path.join(sample.folder, RENUMBERED))
    over = ""
    if sample.pic_bytes[:2] != b"M0":
        over += "%s: the picture it replaced had no palette chunk, and this one has one; -d leaves it out\r\n" % (
            sample.pic)
    over += ("%s: %d of the indices the picture uses show other colours than in the picture it replaced; -m maps "
             "the colours onto that picture's indices\r\n") % (sample.pic, changed_colors(indices, table, sample.table,
                                                                                      False))
    over += differ_note(sample, indices)
    use = ("%s: %d of the indices it uses show other colours in %s, which holds those colours at other indices; -m "
           "maps the colours onto its indices\r\n") % (RENUMBERED, changed_colors(indices, table, sample.table, True),
                                                       sample.pic)
    inputs = {sample.pic: sample.pic_bytes, RENUMBERED: data}
    return [
        Case("%s, %s over the original" % (sample.name, RENUMBERED), inputs, [RENUMBERED, sample.pic], over + DONE,
             {sample.pic: Picture(indices, table, True)}),
        Case("%s, -u with %s" % (sample.name, RENUMBERED), inputs, ["-u", sample.pic, RENUMBERED, "new.pic"],
             use + DONE, {"new.pic": Picture(indices, sample.table, True)}),
        Case("%s, a kept colour map to a new file" % sample.name, {"kept.bmp": sample.kept_save()},
             ["kept.bmp", "new.pic"], DONE, {"new.pic": Picture(sample.painted, sample.table, True)}),
    ]


def samples(failures, cantrel, source, folder):
    """valley.pic has a palette of its own that holds colours at two indices
    and uses both; cottage.pic has no palette chunk (the default palette),
    so its saves go back with -d."""
    valley = Sample(cantrel, source, os.path.join(folder, "valley"), "valley", (10, 20, 49, 49), False)
    cottage = Sample(cantrel, source, os.path.join(folder, "cottage"), "cottage", (30, 8, 45, 19), True)
    failures.check(len(valley.shared_colors_in_use()) >= 16,
                   "valley.pic uses both entries of only %d shared colours" % len(valley.shared_colors_in_use()))
    failures.check(valley.pic_bytes[:2] == b"M0" and cottage.pic_bytes[:2] == b"X0",
                   "valley.pic must start with its palette chunk, cottage.pic with its image chunk")
    return valley, cottage


def peer_cases(failures, sample):
    """The ImageMagick and netpbm saves of one sample, and their cases."""
    saves = make_edits(failures, sample, PEER_EDITS + (DITHERED,))
    cases = [round_trip(sample, name, saves[name]) for name, _, _ in PEER_EDITS if name in saves]
    if DITHERED[0] in saves:
        cases += refusal(failures, sample, DITHERED[0], saves[DITHERED[0]])
    if RENUMBERED in saves:
        cases += without_map(sample, saves[RENUMBERED])
    return cases


def fill(folder, inputs):
    os.makedirs(folder)
    for name, data in inputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def files_of(folder):
    return {name: read_file(os.path.join(folder, name)) for name in os.listdir(folder)}


def first_difference(ours, theirs, width):
    at = next((i for i in range(min(len(ours), len(theirs))) if ours[i] != theirs[i]), min(len(ours), len(theirs)))
    return "x %d, y %d" % (at % width, at // width)


class Checker:
    """Judges what one case's run printed and left in its folder; reads the
    PIC files it wrote through the native converter's BMP files of them."""

    def __init__(self, failures, cantrel, banner_text, folder):
        self.failures, self.cantrel, self.banner, self.folder = failures, cantrel, banner_text, folder
        os.makedirs(folder)

    def read_pic(self, data):
        with open(os.path.join(self.folder, "check.pic"), "wb") as f:
            f.write(data)
        run(self.cantrel, self.folder, ["check.pic", "check.bmp"])
        picture = read_bmp(os.path.join(self.folder, "check.bmp"))
        os.remove(os.path.join(self.folder, "check.bmp"))
        return picture

    def check(self, case, printed, folder):
        check = self.failures.check
        if check(printed.startswith(self.banner), "%s: the banner is not the first thing printed: %r" % (
                case.label, printed[:200])):
            printed = printed[len(self.banner):].decode("latin-1")
            check(printed == case.printed, "%s: printed after the banner\n%r\n  not\n%r" % (
                case.label, printed, case.printed))
        files = files_of(folder)
        check(set(files) == set(case.inputs) | set(case.outputs),
              "%s: the folder holds %s" % (case.label, sorted(files)))
        for name, data in case.inputs.items():
            if name not in case.outputs:
                check(files.get(name) == data, "%s: %s was changed" % (case.label, name))
        for name, picture in case.outputs.items():
            if name not in files:
                continue
            width, _, indices, table = self.read_pic(files[name])
            check(indices == picture.indices, "%s: the indices of %s differ, first at %s" % (
                case.label, name, first_difference(indices, picture.indices, width)))
            check(table == picture.table, "%s: the palette of %s differs" % (case.label, name))
            check((files[name][:2] == b"M0") == picture.palette_chunk, "%s: %s %s a palette chunk" % (
                case.label, name, "lacks" if picture.palette_chunk else "has"))


def run_native(checker, cantrel, cases, work):
    for number, case in enumerate(cases):
        folder = os.path.join(work, "runs", str(number))
        fill(folder, case.inputs)
        checker.check(case, run(cantrel, folder, case.words), folder)


def run_windows(failures, checker, windows, cantrel, cases, work):
    for number, case in enumerate(cases):
        native = os.path.join(work, "runs", str(number), "native")
        other = os.path.join(work, "runs", str(number), "windows")
        fill(native, case.inputs)
        fill(other, case.inputs)
        printed = run(cantrel, native, case.words)
        printed_there = run(windows, other, case.words)
        failures.check(printed_there == printed, "%s: Cantrel.exe printed\n%r\n  cantrel\n%r" % (
            case.label, printed_there, printed))
        failures.check(files_of(other) == files_of(native),
                       "%s: Cantrel.exe leaves other files than cantrel (see %s)" % (case.label, os.path.dirname(other)))
        checker.check(case, printed_there, other)


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode == "native" and len(sys.argv) == 5:
        windows, cantrel, source, work = None, [os.path.abspath(sys.argv[2])], sys.argv[3], sys.argv[4]
    elif mode == "windows" and len(sys.argv) == 7:
        windows = [os.path.abspath(sys.argv[4]), os.path.abspath(sys.argv[2])]
        cantrel, source, work = [os.path.abspath(sys.argv[3])], sys.argv[5], sys.argv[6]
    else:
        raise SystemExit(__doc__)
    source, work = os.path.abspath(source), os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    failures = Failures()
    cases = []
    for sample in samples(failures, cantrel, source, os.path.join(work, "samples")):
        cases += peer_cases(failures, sample)
    checker = Checker(failures, cantrel, banner(source), os.path.join(work, "check"))
    if windows is None:
        run_native(checker, cantrel, cases, work)
    else:
        run_windows(failures, checker, windows, cantrel, cases, work)
    failures.finish("%d command lines on the ImageMagick and netpbm saves of 2 samples%s" % (
        len(cases), "" if windows is None else ", Cantrel.exe under Wine as cantrel"))


if __name__ == "__main__":
    main()
