"""What a thumbnail costs through gdk-pixbuf-thumbnailer -s 256 and the
loader module, as a file manager makes it for every picture of a folder it
shows, in time and peak resident memory (from /usr/bin/time):
  - map.pic, the 640 x 400 sample;
  - large.pic, 4096 x 4096 pixels that the stream gives every one of;
  - bomb.pic, 11 bytes that declare 32,767 x 32,767 pixels and give one.
Prints, per file, the fastest and slowest of the runs in seconds, their
largest peak in MiB, and the thumbnail's size. Not a test; run it with
  cmake --build --preset bench --target thumbnail_bench
or directly:
  ThumbnailBench.py <loader module> <mime XML> <converter> <source folder> [scratch parent folder]

Environment: CANTREL_BENCH_RUNS (runs per file, default 5). Build the module
optimised and without sanitizers (the bench or release preset).
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "desktop"))
from PicTestFiles import BOMB, use_loader, write_large_picture  # noqa: E402


def measure(label, path, work, runs):
    times, peak, outcome = [], 0, ""
    thumbnail = os.path.join(work, "thumbnail.png")
    for _ in range(runs):
        if os.path.exists(thumbnail):
            os.remove(thumbnail)
        report = os.path.join(work, "time.txt")
        result = subprocess.run(["/usr/bin/time", "-f", "%e %M", "-o", report, "gdk-pixbuf-thumbnailer", "-s", "256",
                                 "file://" + path, thumbnail], capture_output=True)
        with open(report) as f:
            seconds, kilobytes = f.read().split()[-2:]
        times.append(float(seconds))
        peak = max(peak, int(kilobytes))
        if result.returncode != 0:
            outcome = "failed: " + result.stderr.decode("utf-8", "replace").strip()
        else:
            outcome = "%s x %s thumbnail" % thumbnail_size(thumbnail)
    print("%-36s %6.2f - %6.2f s  %8.1f MiB  (%s)" % (label, min(times), max(times), peak / 1024, outcome),
          flush=True)


def thumbnail_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    return int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")


def main():
    if len(sys.argv) < 5:
        print(__doc__.strip(), file=sys.stderr)
        raise SystemExit(2)
    module, mime_xml, program, source = (os.path.abspath(a) for a in sys.argv[1:5])
    parent = sys.argv[5] if len(sys.argv) > 5 else ("/dev/shm" if os.access("/dev/shm", os.W_OK) else None)
    runs = int(os.environ.get("CANTREL_BENCH_RUNS", "5"))
    work = tempfile.mkdtemp(prefix="cantrel-thumbnail-bench.", dir=parent)
    try:
        use_loader(module, mime_xml, os.path.join(work, "loader"))
        files = os.path.join(work, "files")
        os.makedirs(files)
        shutil.copy(os.path.join(source, "samples", "map.pic"), files)
        if write_large_picture(program, files, "large.pic") is None:
            raise SystemExit("the converter did not make large.pic")
        with open(os.path.join(files, "bomb.pic"), "wb") as f:
            f.write(BOMB)
        print("%d runs each; time fastest - slowest, largest peak resident memory" % runs)
        measure("map.pic (640 x 400)", os.path.join(files, "map.pic"), work, runs)
        measure("large.pic (4096 x 4096, full stream)", os.path.join(files, "large.pic"), work, runs)
        measure("bomb.pic (11 bytes, 32767 x 32767)", os.path.join(files, "bomb.pic"), work, runs)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
