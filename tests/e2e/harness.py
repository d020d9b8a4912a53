"""Whole runs of Kestrane.exe under Wine + Xvfb, watched by the inspector.

A World is one private Wine prefix (a copy of the build tree's template prefix) in which a test
places what the program reads (settings file, database, share) before it runs the program once or
more. Each run starts a private Xvfb, the inspector and the program, and returns what the
inspector saw: every change of the window's controls and message boxes, until the window closed.
"""
import ast
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

BUILD = Path(os.environ.get("KESTRANE_BUILD_DIR", Path(__file__).resolve().parents[2] / "build" / "windows"))
SOURCE = Path(os.environ.get("KESTRANE_SOURCE_DIR", Path(__file__).resolve().parents[2]))
TOOLS = SOURCE / "tools"
KESTRANE = BUILD / "app" / "Kestrane.exe"
INSPECTOR = BUILD / "tests" / "e2e" / "inspector.exe"
HOLDER = BUILD / "tests" / "e2e" / "holder.exe"
SCANNER = BUILD / "tests" / "e2e" / "scanner.exe"
# The program built with a turn wait of seconds instead of minutes (short_turn_wait.cpp).
SHORT_TURN_WAIT = BUILD / "tests" / "e2e" / "short-turn-wait" / "Kestrane.exe"
TEMPLATE = BUILD / "wine" / "template"  # one boot per build tree; every prefix copies it
SETTINGS_FOLDER = "Common Files/Microsoft Shared/VUZuze16"
# A launcher for run(): Wine as root reads every folder whatever its permissions; without the two
# capabilities that let root pass them it meets a folder's permissions as any user would, while the
# prefix still belongs to it.
WITHOUT_FILE_RIGHTS = ("setpriv", "--inh-caps=-dac_override,-dac_read_search",
                       "--bounding-set=-dac_override,-dac_read_search")

# What follows the part of a string that Wine printed when it shortened the string.
SHORTENED = "..."

sys.path.insert(0, str(TOOLS))
from xvfb import Xvfb  # noqa: E402


def unix_to_windows(path):
    """The Z: path under which Wine shows a Unix path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def captured(command, env, check=True, timeout=None):
    """Runs command and returns it ended, its standard output and error as text. They go through files:
    a Wine server that the command starts inherits them, and a pipe it holds would end only once the
    idle server had lingered out, seconds after the command."""
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        ended = subprocess.run(list(map(str, command)), env=env, stdout=out, stderr=err, timeout=timeout)
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(ended.args, ended.returncode, out.read(), err.read())
    if check:
        result.check_returncode()
    return result


@dataclass
class Run:
    exit_code: int
    seconds: float
    snapshots: list
    screenshot: Path | None = None
    stderr: str = ""
    companions_running: list = field(default_factory=list)  # which companions outlived the program

    def event_records(self):
        """The event-log records the run wrote, as Wine's stub prints them on the eventlog channel
        (the run needs WINEDEBUG with "+eventlog,fixme+advapi"): each as (level, message id,
        strings), level being "err", "warn" or "trace". Wine shortens a string past about 300
        characters of its printed form: such a string is the part printed, followed by SHORTENED."""
        records = []
        for line in self.stderr.splitlines():
            if ":fixme:advapi:ReportEventW (" in line:
                fields = line.split("(", 1)[1].split(",")
                records.append((None, int(fields[3], 16), []))
            elif ":eventlog:ReportEventW " in line and records:
                level = line.split(":")[1]
                printed = line.split("ReportEventW ", 1)[1]
                if printed.startswith('L"') and printed.endswith('"' + SHORTENED):
                    text = ast.literal_eval(printed[1:-len(SHORTENED)]) + SHORTENED
                elif printed.startswith('L"') and printed.endswith('"'):
                    text = ast.literal_eval(printed[1:])
                else:
                    text = printed
                _, message, strings = records[-1]
                records[-1] = (level, message, strings + [text])
        return records

    @property
    def shown(self):
        """Snapshots taken while the window was visible and answering."""
        return [s for s in self.snapshots if s["visible"] and s["answered"]]

    @property
    def settled(self):
        """The window as the user sees it before the first tick: the last snapshot showing it
        visible with "START COPY" (Wine may report a stale rectangle for the very first one)."""
        waiting = [s for s in self.shown if self.text("Button1", s) == "START COPY"]
        return waiting[-1] if waiting else None

    @property
    def answered(self):
        """Snapshots in which the window answered with its controls: a window met halfway through
        its destruction has none left and tells nothing."""
        return [s for s in self.snapshots if s["answered"] and s["controls"]]

    @property
    def last(self):
        """The last snapshot in which the window answered: what it showed before it closed."""
        return self.answered[-1] if self.answered else None

    def control(self, name, snapshot=None):
        snapshot = snapshot or self.last
        return next(c for c in snapshot["controls"] if c["name"] == name)

    def text(self, name, snapshot=None):
        return self.control(name, snapshot)["text"]

    def log_lines(self, snapshot=None):
        """The activity log as lines; every appended line ends in CR LF."""
        text = self.text("Memo1", snapshot)
        assert text == "" or text.endswith("\r\n"), repr(text)
        return text.split("\r\n")[:-1]

    def longest_log(self):
        """The log lines of the snapshot that showed the most: a window closed by a tick that fell
        due during a long step goes right after the step, often before its last look."""
        logs = [self.log_lines(s) for s in self.answered]
        return max(logs, key=len, default=[])

    @property
    def message_boxes(self):
        """Every message box seen during the run (by caption and text), as it first showed."""
        seen = {}
        for s in self.snapshots:
            for box in s["message_boxes"]:
                seen.setdefault((box["caption"], box["text"]), box)
        return list(seen.values())


class Releaser:
    """Creates path once condition holds for the snapshots the inspector has written so far."""

    def __init__(self, out, path, condition):
        Path(path).unlink(missing_ok=True)
        self.out, self.path, self.condition = out, Path(path), condition
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self._watch, daemon=True)
        self.thread.start()

    def _watch(self):
        while not self.stopped.wait(0.05):
            text = self.out.read_text(encoding="utf-8") if self.out.exists() else ""
            # The inspector may be writing its last line: only whole lines count.
            snapshots = [json.loads(line) for line in text.split("\n")[:-1] if line]
            if self.condition(snapshots):
                self.path.touch()
                return

    def stop(self):
        self.stopped.set()
        self.thread.join()


@dataclass
class Together:
    """Runs started at once: their exit codes and standard errors in the order they were started,
    and what the inspector saw of all their windows."""
    exit_codes: list
    seconds: float
    snapshots: list
    screenshot: Path | None
    stderr: list
    companions_running: list  # which companions outlived the programs

    @property
    def windows(self):
        """One Run per program window, in the order they first showed; the exit code that goes with
        a window is not known (None)."""
        processes = list(dict.fromkeys(s["process"] for s in self.snapshots))
        return [Run(None, self.seconds, [s for s in self.snapshots if s["process"] == p]) for p in processes]


@dataclass
class World:
    name: str
    dpi: int = 96
    env: dict = field(default_factory=dict)
    fresh: bool = True  # False keeps an existing prefix, and with it the drives it has mapped
    root: Path = None
    # Whether a window manager may manage the program's windows (on a real desktop); a private Xvfb has
    # none to wait for.
    managed: bool = False

    def __post_init__(self):
        self.root = Path(self.root or BUILD / "wine" / "e2e" / self.name)
        if self.fresh:
            shutil.rmtree(self.root, ignore_errors=True)
        self.prefix = self.root / "prefix"
        self.work = self.root / "work"
        self.work.mkdir(parents=True, exist_ok=True)
        subprocess.run([TOOLS / "wine-prefix", self.prefix], check=True, env=self.base_env())
        if self.dpi != 96:
            self.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                      "/d", str(self.dpi), "/f")

    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    @property
    def user(self):
        """The prefix user's name, as Wine takes it from the Unix account."""
        return next(p.name for p in (self.drive_c / "users").iterdir() if p.name.lower() != "public")

    def base_env(self):
        env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all", WINEARCH="win64",
                   KESTRANE_WINE_TEMPLATE=str(TEMPLATE), KESTRANE_WINE_UNMANAGED="0" if self.managed else "1")
        env.update(self.env)
        return env

    def wine(self, *args, check=True):
        return captured(["wine", *args], self.base_env(), check)

    def write_settings(self, text, root="Program Files (x86)", encoding="utf-8"):
        """Writes the settings file under the given Program Files root; text is the file's content
        (str, written in encoding) or bytes."""
        folder = self.drive_c / root / SETTINGS_FOLDER
        folder.mkdir(parents=True, exist_ok=True)
        path = folder / "VUZuze16.cnf"
        path.write_bytes(text if isinstance(text, bytes) else text.encode(encoding))
        return path

    def destination_in_windows(self):
        """The destination folder as the program forms it from the sign-in name."""
        return f"C:\\Users\\{self.user}\\AppData\\Local\\tavirel"

    def destination(self):
        """The per-user destination folder as a Unix path (not created)."""
        return self.drive_c / "users" / self.user / "AppData" / "Local" / "tavirel"

    def run(self, timeout=90, screenshot_when_log=None, action=None, program=None, args=(), display=None,
            controls=None, launcher=(), every=False, companions=(), act_after_ms=0, release=None):
        """Runs the program once and watches it; screenshot_when_log (text, "" for at once)
        takes a screenshot as soon as the log holds that text; action ("click" or "close") acts
        as the user as soon as the window shows, or act_after_ms after it showed. display: an X display to use instead of a
        private Xvfb. controls: the names of the only controls to watch, so that a busy program
        is seen more often. launcher: a command that starts inspector and program (and with them
        the prefix's server, which opens their files), such as WITHOUT_FILE_RIGHTS. every: keep
        every look at the window, also those that saw nothing change. companions: Windows command
        lines (program first) of holder.exe, started before the program and given a ready file to
        create as their first argument; the program starts once all are ready, and they are ended
        after it. release: (path, condition): path is created as soon as condition holds for the
        snapshots seen so far, for a stand-in that holds the run in a state until the test has
        seen what it needs there."""
        together = self._run(1, timeout, screenshot_when_log, action, program, args, display, controls, launcher,
                             every, companions, act_after_ms, release)
        return Run(together.exit_codes[0], together.seconds, together.snapshots, together.screenshot,
                   together.stderr[0], together.companions_running)

    def run_together(self, count, timeout=90, **options):
        """Starts count runs of the program at once in this prefix and watches all their windows;
        the options are run()'s."""
        return self._run(count, timeout, **options)

    def _run(self, count, timeout, screenshot_when_log=None, action=None, program=None, args=(), display=None,
             controls=None, launcher=(), every=False, companions=(), act_after_ms=0, release=None):
        out = self.work / f"inspect-{time.monotonic_ns()}.jsonl"
        bmp = self.work / "screen.bmp"
        inspector_args = [INSPECTOR, unix_to_windows(out), "--timeout", str(timeout)]
        if action:
            inspector_args += ["--action", action, "--act-after", str(act_after_ms)]
        if controls:
            inspector_args += ["--controls", ",".join(controls)]
        if every:
            inspector_args += ["--every", "yes"]
        if screenshot_when_log is not None:
            bmp.unlink(missing_ok=True)
            inspector_args += ["--screenshot", unix_to_windows(bmp)]
            if screenshot_when_log:
                inspector_args += ["--when-log", screenshot_when_log]
        # A Wine session started by a set-up command without a display (regedit, reg) would
        # leave the program without a window driver: end it, so the run starts one of its own.
        subprocess.run(["wineserver", "-k"], env=self.base_env(), stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.base_env(), stderr=subprocess.DEVNULL)
        with Xvfb(display) as display:
            env = dict(self.base_env(), DISPLAY=display)
            inspector = subprocess.Popen([*launcher, "wine", *map(str, inspector_args)], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # On a busy machine Wine may take seconds to start the inspector: a short run would be over
            # before it looked. It opens its output first thing.
            deadline = time.monotonic() + 60
            while not out.exists() and inspector.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            started = [self._start_companion(list(map(str, command)), env, launcher) for command in companions]
            start = time.monotonic()
            releasing = Releaser(out, *release) if release else None
            programs = [subprocess.Popen([*launcher, "wine", str(program or KESTRANE), *args], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
                        for _ in range(count)]
            stderr = []
            try:
                for running in programs:
                    stderr.append(running.communicate(timeout=max(0.0, start + timeout - time.monotonic()))[1])
            finally:
                for running in programs:
                    if running.poll() is None:
                        running.kill()
            seconds = time.monotonic() - start
            if releasing:
                releasing.stop()
            companions_running = [c.poll() is None for c in started]
            for companion in started:
                companion.kill()
                companion.wait()
            try:
                inspector.wait(timeout=15)
            except subprocess.TimeoutExpired:
                inspector.kill()
        snapshots = [json.loads(line) for line in out.read_text(encoding="utf-8").splitlines() if line]
        screenshot = None
        if bmp.exists():
            screenshot = bmp.with_name(f"screen-{self.name}.png")
            subprocess.run(["convert", bmp, screenshot], check=True)
        return Together([p.returncode for p in programs], seconds, snapshots, screenshot, stderr, companions_running)

    def _start_companion(self, command, env, launcher):
        ready = self.work / f"ready-{time.monotonic_ns()}"
        companion = subprocess.Popen([*launcher, "wine", command[0], unix_to_windows(ready), *command[1:]], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while not ready.exists():
            if companion.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"{command[0]} did not get ready (exit {companion.poll()})")
            time.sleep(0.05)
        return companion
