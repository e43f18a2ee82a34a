"""The modder's round trip through GIMP, in batch mode: each sample's 8-bit
BMP extraction opened, converted to RGB, painted with a colour of its
palette and exported as a 24-bit BMP file; then converted to indexed with an
optimum palette, which renumbers the colour map, and exported again. Both
saves must convert back with -m onto the sample they came from as the
ImageMagick and netpbm saves do (tests/converter/EditorRoundTrips.py).

  GimpEditorSaves.py <converter> <source folder> <work folder>
"""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "converter"))
import EditorRoundTrips as trips  # noqa: E402

# GIMP's own plug-ins the batch calls. GIMP looks in no other folder, and
# its first start queries only these.
SYSTEM_PLUG_INS = ("script-fu", "file-bmp")

# The saves, and their kinds: GIMP writes an RGB image as 24 bits when asked
# for R8 G8 B8 (its BMP export's RGB format 3) and as 16 bits with masks for
# R5 G6 B5 (format 0), rounding each component to those bits; an indexed
# one as 8 bits.
SAVES = (("gimp-24.bmp", (24, 0)), ("gimp-indexed.bmp", (8, 0)), ("gimp-565.bmp", (16, 3)))

EDIT = """
(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE "{bmp}" "{bmp}")))
       (layer (lambda () (car (gimp-image-get-active-drawable image)))))
  (gimp-image-convert-rgb image)
  (gimp-context-set-foreground (list {r} {g} {b}))
  (gimp-image-select-rectangle image CHANNEL-OP-REPLACE {left} {top} {width} {height})
  (gimp-drawable-edit-fill (layer) FILL-FOREGROUND)
  (gimp-selection-none image)
  (file-bmp-save2 RUN-NONINTERACTIVE image (layer) "gimp-24.bmp" "gimp-24.bmp" 0 0 3)
  (file-bmp-save2 RUN-NONINTERACTIVE image (layer) "gimp-565.bmp" "gimp-565.bmp" 0 0 0)
  (gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 256 FALSE FALSE "")
  (file-bmp-save2 RUN-NONINTERACTIVE image (layer) "gimp-indexed.bmp" "gimp-indexed.bmp" 0 0 3))
"""


def gimp_home(work):
    """A scratch HOME whose GIMP knows only the plug-ins the batch needs."""
    home = os.path.join(work, "home")
    plug_ins = os.path.join(work, "plug-ins")
    gimp_folder = os.path.join(home, ".config", "GIMP", "2.10")
    os.makedirs(gimp_folder)
    os.makedirs(plug_ins)
    system = subprocess.run(["gimptool-2.0", "--gimpplugindir"], capture_output=True, text=True).stdout.strip()
    for name in SYSTEM_PLUG_INS:
        os.symlink(os.path.join(system or "/usr/lib/gimp/2.0", "plug-ins", name), os.path.join(plug_ins, name))
    with open(os.path.join(gimp_folder, "gimprc"), "w") as f:
        f.write('(plug-in-path "%s")\n' % plug_ins)
    return home


def edit_in_gimp(failures, home, sample):
    """The edits of one sample, in one GIMP run in the sample's folder."""
    with open(os.path.join(sample.folder, "edit.scm"), "w") as f:
        f.write(EDIT.format(**sample.fields()))
    env = dict(os.environ, HOME=home, LANG="C", LC_ALL="C")
    env.pop("GIMP2_DIRECTORY", None)
    result = subprocess.run(["gimp-console-2.10", "-i", "-f", "--batch-interpreter", "plug-in-script-fu-eval",
                             "-b", '(load "edit.scm")', "-b", "(gimp-quit 0)"], cwd=sample.folder, env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    saves = trips.collect_saves(failures, sample, SAVES)
    if len(saves) < len(SAVES):
        print(result.stdout.decode("utf-8", "replace"))
    else:
        # Else the indexed save would test nothing that the 8-bit extraction does not.
        _, _, indices, table = trips.read_bmp(os.path.join(sample.folder, SAVES[1][0]))
        failures.check(trips.changed_colors(indices, table, sample.table, False) > 0,
                       "%s: GIMP's optimum palette kept the colour map's order" % sample.name)
    return saves


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    cantrel, source, work = ([os.path.abspath(sys.argv[1])],) + tuple(os.path.abspath(a) for a in sys.argv[2:])
    shutil.rmtree(work, ignore_errors=True)
    failures = trips.Failures()
    home = gimp_home(work)
    cases = []
    for sample in trips.samples(failures, cantrel, source, os.path.join(work, "samples")):
        saves = edit_in_gimp(failures, home, sample)
        cases += [trips.round_trip(sample, name, data) for name, data in saves.items()]
    checker = trips.Checker(failures, cantrel, trips.banner(source), os.path.join(work, "check"))
    trips.run_native(checker, cantrel, cases, work)
    failures.finish("%d GIMP saves of 2 samples converted back onto their originals" % len(cases))


if __name__ == "__main__":
    main()
