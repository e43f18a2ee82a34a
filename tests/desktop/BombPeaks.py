"""The 11-byte PIC file that declares 32,767 x 32,767 pixels, and its BMP
twin (RLE8 data that ends at once), through the programs that must still
take them whole: the converter, which writes what the design has it write
(a BMP file of 1 GiB), and GIMP, whose own needs are its own. Their outcomes
are checked; their peaks are measured and printed, not limited, for the
bounds hold only where a program may follow the data (the thumbnailer and
the loader, tested under an address limit in PixbufLoader.py).

  BombPeaks.py <converter> <plug-in> <palette.gpl> <source folder> <work folder>
"""

import os
import resource
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from GimpBatch import run_gimp, set_up  # noqa: E402
from PicTestFiles import BOMB, Failures, succeeded  # noqa: E402

SIDE = 32767
DATA_ENDS = "its data ends after 1 of %d pixels; the rest is index 0" % (SIDE * SIDE)
# An 8-bit BMP file: 54 header bytes, 256 colours, rows padded to 4 bytes.
BOMB_BMP_SIZE = 54 + 1024 + ((SIDE + 3) // 4 * 4) * SIDE


def measured(arguments, folder, env=None):
    """Runs a program to its end; its output and its peak resident memory in
    MiB, its waited-for children included (GIMP runs its plug-ins so)."""
    process = subprocess.Popen(arguments, cwd=folder, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT)
    output = process.stdout.read()
    _, _, usage = os.wait4(process.pid, 0)
    return output.decode("latin-1"), usage.ru_maxrss / 1024


def main():
    program, plugin, palette, source, work = sys.argv[1:6]
    failures = Failures()
    home, files, _, _ = set_up(plugin, palette, source, work)
    with open(os.path.join(files, "bomb.pic"), "wb") as f:
        f.write(BOMB)
    shutil.copy(os.path.join(source, "fuzz", "bitmap", "seeds", "rle8-ends-at-once-32767x32767.bmp"),
                os.path.join(files, "twin.bmp"))
    peaks = []

    # GIMP first, so that the peak of this process's children so far is
    # GIMP's own (its start and the plug-in's load), run_gimp waiting for it.
    gimp_output, outcomes = run_gimp(home, files, [
        ("bomb", '(if (= (car (gimp-image-width (case-load "bomb.pic"))) %d) #t (error "width"))' % SIDE)])
    peaks.append(("GIMP, opening bomb.pic", resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024))
    failures.check(outcomes.get("bomb", False), "GIMP did not open bomb.pic at its size:\n" + gimp_output[-2000:])
    shown = gimp_output.count("ata ends after 1 of %d pixels" % (SIDE * SIDE))
    failures.check(shown == 1, "GIMP showed the note that the data ends early %d times, not once" % shown)

    output, peak = measured([program, "bomb.pic", "bomb.bmp"], files)
    peaks.append(("converter, bomb.pic to BMP", peak))
    failures.check(succeeded(output), "bomb.pic did not convert to BMP:\n" + output)
    failures.check(("bomb.pic: " + DATA_ENDS + "\r\n") in output, "bomb.pic: no note that its data ends early")
    written = os.path.join(files, "bomb.bmp")
    failures.check(os.path.exists(written) and os.path.getsize(written) == BOMB_BMP_SIZE,
                   "bomb.bmp is not the whole picture of %d bytes" % BOMB_BMP_SIZE)
    if os.path.exists(written):
        os.remove(written)

    output, peak = measured([program, "twin.bmp", "twin.pic"], files)
    peaks.append(("converter, twin.bmp to PIC", peak))
    failures.check(succeeded(output), "twin.bmp did not convert to PIC:\n" + output)
    failures.check("data ends" not in output, "twin.bmp: a BMP file's RLE data may end early, yet it got a note")
    query, _ = measured([program, "-q", "twin.pic"], files)
    failures.check(("Width,Height: %d,%d" % (SIDE, SIDE)) in query, "twin.pic is not the whole picture:\n" + query)

    for what, peak in peaks:
        print("peak memory: %s: %.0f MiB" % (what, peak))
    failures.finish("the bomb through the converter and GIMP")


if __name__ == "__main__":
    main()
