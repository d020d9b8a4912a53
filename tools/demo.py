#!/usr/bin/env python3
"""The demo behind tools/demo: one run of Kestrane.exe in a persistent demo world.

With --picture PNG (tools/screenshot), the run is the first in a fresh world of its own, and the
window as it showed while its log was full is written to PNG, cropped to the window's client area.
"""
import argparse
import os
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import demo_world  # noqa: E402
from harness import BUILD  # noqa: E402

BANNER = "UPDATE COMPLETED.!"


def crop_to_window(screenshot, snapshot, picture):
    """The window's client area of the screenshot (its frame is the window manager's, and a private
    X server has none), without the dates that would make every picture's bytes differ."""
    left, top = snapshot["client_origin"]
    width, height = snapshot["client"][2:]
    picture.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", screenshot, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-strip",
                    "-define", "png:exclude-chunks=date,time", f"png24:{picture}"], check=True)


def main(picture=None):
    root = BUILD.parent / ("screenshot" if picture else "demo")
    world = demo_world.make(root, fresh=bool(picture) or not (root / "prefix").exists())
    source = world.server / demo_world.SOURCE.share / demo_world.SOURCE.folder.strip("\\")
    print(f"Demo world in {root}:")
    print(f"  settings file  C:\\Program Files (x86)\\Common Files\\Microsoft Shared\\VUZuze16\\VUZuze16.cnf")
    print(f"  database       {world.work / 'settings.db'} (ODBC data source KestraneSettings, SQLite)")
    print(f"  share          \\\\{demo_world.SOURCE.host}\\{demo_world.SOURCE.share} -> {world.server / 'G'}")
    print(f"  on the share   {', '.join(sorted(p.name for p in source.iterdir()))}")
    display = None if picture else os.environ.get("DISPLAY")
    print("\nRunning Kestrane.exe " + (f"on display {display}" if display else "headless (private Xvfb)") + " ...")
    run = world.run(screenshot_when_log=BANNER, display=display)
    last = run.last
    print("\nActivity log, as the window showed it just before it closed:")
    for line in run.log_lines(last):
        print(f"  | {line}")
    print(f"\nMAP DRIVE : {run.text('Edit1', last)}")
    print(f"SERVER IP : {run.text('Edit2', last)}")
    for box in run.message_boxes:
        print(f"Error report [{box['caption']}]: {box['text']}")
    destination = world.destination()
    print(f"\nRefreshed files in {run.text('Edit3', last)} ({destination}):")
    for path in sorted(destination.iterdir()):
        print(f"  {path.name:<16} {path.stat().st_size:>10,} bytes")
    if run.screenshot:
        print(f"\nScreenshot taken while the log was full: {run.screenshot}")
    print(f"Exit code: {run.exit_code}, {run.seconds:.1f} s from start to exit")
    if picture:
        if not run.screenshot or run.exit_code != 0:
            raise SystemExit("screenshot: the run did not show a full log and end with exit code 0")
        crop_to_window(run.screenshot, last, picture)
        print(f"The window's picture: {picture}")
    else:
        print("Run tools/demo again for a second run in the same world; rm -rf build/demo starts afresh.")
    return run.exit_code


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--picture", type=Path, help="write the window's picture to this PNG (tools/screenshot)")
    sys.exit(main(parser.parse_args().picture))
