#!/usr/bin/env python3
"""The demo behind tools/demo: one run of Kestrane.exe in a persistent demo world."""
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import BUILD, World  # noqa: E402


def main():
    world = World("demo", fresh=False, root=BUILD.parent / "demo")
    print(f"Wine prefix: {world.prefix}")
    display = os.environ.get("DISPLAY")
    print("Running Kestrane.exe " + (f"on display {display}" if display else "headless (private Xvfb)") + " ...")
    run = world.run(screenshot_when_log="UPDATE COMPLETED.!", display=display)
    last = run.last
    print("\nActivity log, as the window showed it before it closed:")
    for line in run.log_lines(last):
        print(f"  | {line}")
    print(f"\nMAP DRIVE : {run.text('Edit1', last)}")
    print(f"SERVER IP : {run.text('Edit2', last)}")
    for box in run.message_boxes:
        print(f"Message box [{box['caption']}]: {box['text']}")
    if run.screenshot:
        print(f"\nScreenshot: {run.screenshot}")
    print(f"Exit code: {run.exit_code} after {run.seconds:.1f} s")
    return run.exit_code


if __name__ == "__main__":
    sys.exit(main())
