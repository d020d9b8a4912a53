#!/usr/bin/env python3
"""A private X server (Xvfb): the one way the tools and the tests start one.

    tools/xvfb.py COMMAND...    runs COMMAND with DISPLAY set to a private server that ends with it

From Python, `with Xvfb() as display:` gives the display (":N") while the server lives;
Xvfb(existing) hands back an existing display and starts nothing.
"""
import os
import signal
import subprocess
import sys


class Xvfb:
    def __init__(self, existing=None, geometry="1024x768x24"):
        self.existing = existing
        self.geometry = geometry
        self.process = None

    def __enter__(self):
        if self.existing:
            return self.existing
        # The server picks a free display itself and names it on the pipe once it accepts clients.
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", self.geometry,
                                         "-nolisten", "tcp"], pass_fds=(write,),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.wait()
            raise RuntimeError("Xvfb ended before it named its display")
        return ":" + number

    def __exit__(self, *exc):
        if self.process:
            self.process.terminate()
            self.process.wait()


def main(command):
    # A test runner ends a run that outlasts its time with SIGTERM: the server ends with it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    with Xvfb() as display:
        code = subprocess.call(command, env=dict(os.environ, DISPLAY=display))
    return code if code >= 0 else 128 - code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
