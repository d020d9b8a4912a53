#!/usr/bin/env python3
"""The demo behind tools/demo: one run of Kestrane.exe in a persistent demo world."""
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import demo_world  # noqa: E402
from harness import BUILD  # noqa: E402


def main():
    root = BUILD.parent / "demo"
    world = demo_world.make(root, fresh=not (root / "prefix").exists())
    source = world.server / demo_world.SOURCE.share / demo_world.SOURCE.folder.strip("\\")
    print(f"Demo world in {root}:")
    print(f"  settings file  C:\\Program Files (x86)\\Common Files\\Microsoft Shared\\VUZuze16\\VUZuze16.cnf")
    print(f"  database       {world.work / 'settings.db'} (ODBC data source KestraneSettings, SQLite)")
    print(f"  share          \\\\{demo_world.SOURCE.host}\\{demo_world.SOURCE.share} -> {world.server / 'G'}")
    print(f"  on the share   {', '.join(sorted(p.name for p in source.iterdir()))}")
    display = os.environ.get("DISPLAY")
    print("\nRunning Kestrane.exe " + (f"on display {display}" if display else "headless (private Xvfb)") + " ...")
    run = world.run(screenshot_when_log="UPDATE COMPLETED.!", display=display)
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
    print("Run tools/demo again for a second run in the same world; rm -rf build/demo starts afresh.")
    return run.exit_code


if __name__ == "__main__":
    sys.exit(main())
