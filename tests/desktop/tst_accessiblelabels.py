#!/usr/bin/env python3
"""A screen reader reads the camera panel: over a real AT-SPI bus, each of the twelve labels
lblExif0..11 has the value it shows as its accessible name and its field as its description.

Starts the real program on a photo made here, on the desktop of
scripts/desktop-session.sh --accessibility (Xvfb, openbox, a session bus and the AT-SPI bus).

    tst_accessiblelabels.py path/to/lumoskop
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

# Each label by its designed place in the camera panel (left, top in twips, 15 to a pixel at
# 100 %): its index, its field, and what it shows for the photo below.
LABELS = {
    (3015, 2700): (0, "Aperture", "f/8.0"),
    (3015, 1680): (1, "Exposure time", "1/250 sec"),
    (3015, 1155): (2, "Focal length", "24.0 mm x 1.5 = 36 mm KB"),
    (3000, 2205): (3, "ISO", "200"),
    (2550, 615): (4, "Lens", "EF24-105mm f/4L IS USM"),
    (2550, 225): (5, "Camera", "Canon Canon EOS 5D Mark IV"),
    (6570, 1680): (6, "Metering mode", "Multi-segment"),
    (4740, 2190): (7, "Exposure compensation", "-0.7 EV"),
    (6570, 1155): (8, "Exposure program", "Aperture-priority AE"),
    (6570, 2700): (9, "Exposure mode", "Auto"),
    (6570, 2190): (10, "White balance", "Auto"),
    (4740, 2700): (11, "Hyperfocal distance", "3.59 m"),
}

TAGS = [
    "-Make=Canon", "-Model=Canon EOS 5D Mark IV", "-LensModel=EF24-105mm f/4L IS USM",
    "-FocalLength=24", "-FocalLengthIn35mmFormat=36", "-ExposureTime=1/250", "-FNumber=8",
    "-ISO=200", "-ExposureCompensation=-0.7", "-ExposureProgram#=3", "-MeteringMode#=5",
    "-WhiteBalance#=0", "-ExposureMode#=0",
]


def make_photo(folder):
    photo = os.path.join(folder, "Bild.jpg")
    subprocess.run(["convert", "-size", "64x48", "gradient:skyblue-darkgreen", photo], check=True)
    subprocess.run(["exiftool", "-q", "-overwrite_original", *TAGS, photo], check=True)
    return photo


def walk(node):
    """Every accessible below node, without descending into the list's thousands of cells."""
    for child in node:
        if child is None:
            continue
        yield child
        if child.getRoleName() not in ("tree", "table", "tree table"):
            yield from walk(child)


def program_app(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def panel_labels(app):
    """The labels found at the designed places, by index: (name, description)."""
    found = {}
    for node in walk(app):
        if node.getRoleName() != "label":
            continue
        parent = node.parent
        here = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        origin = parent.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        place = (here.x - origin.x, here.y - origin.y)
        for (left, top), (index, _, _) in LABELS.items():
            if place == (left // 15, top // 15):
                found[index] = (node.name, node.description)
    return found


def main():
    program = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), QT_SCALE_FACTOR="1")
    process = None
    try:
        photo = make_photo(work)
        process = subprocess.Popen([program, photo], env=env)
        # The panel is filled once ExifTool has written the report and the program has read it;
        # the labels are named one after another, so the wait is for every one that is read
        # below. On a busy machine that may take long: the limit only ends a run that hangs.
        deadline = time.monotonic() + 120
        labels = {}
        while time.monotonic() < deadline:
            if process.poll() is not None:
                print("FAIL: the program ended early")
                return 1
            app = program_app(process.pid)
            if app is not None:
                labels = panel_labels(app)
                if all(labels.get(index) == (shown, field) for (index, field, shown) in LABELS.values()):
                    break
            time.sleep(0.2)
        failed = 0
        for (index, field, shown) in sorted(LABELS.values()):
            name, description = labels.get(index, (None, None))
            problems = []
            if name is None:
                problems.append("not found at its designed place")
            else:
                if name != shown:
                    problems.append("name %r, but it shows %r" % (name, shown))
                if description != field:
                    problems.append("description %r, not %r" % (description, field))
            print("%s: lblExif%d (%s) %r%s" % ("FAIL" if problems else "PASS", index, field, name,
                                               ": " + "; ".join(problems) if problems else ""))
            failed += bool(problems)
        print("%d passed, %d failed" % (12 - failed, failed))
        return 1 if failed else 0
    finally:
        if process is not None and process.poll() is None:
            process.send_signal(signal.SIGTERM)  # closes like "End": no report left behind
            try:
                process.wait(timeout=120)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
