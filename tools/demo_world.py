"""The demo world: a workstation with everything Kestrane needs, in a private Wine prefix.

The settings file at its fixed place naming an ODBC data source on a SQLite database that holds
vcUpgradeSettings with one row; a file server (the test network provider) offering share G with
the suite's files in \\Tavirel; and the user's destination folder.
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from job_world import JobWorld, Source, fill  # noqa: E402

SUITE_FILES = {  # name: size in bytes; the tav*.exe files are refreshed, the others must not be
    "tavMENU.exe": 1_200_000,
    "tavBOOK.exe": 3_400_000,
    "tavPRINT.exe": 640_000,
    "tavsetup.ini": 2_000,
    "readme.txt": 4_000,
    "other.exe": 90_000,
}
SOURCE = Source(host="fileserver", user="updater", password="Upd4te!", share="G", pattern="tav*.exe",
                folder="\\Tavirel")


def make(root, fresh=True, files=SUITE_FILES):
    """The world under root; fresh=False keeps an existing prefix and the drives it mapped. Its window
    is managed as any other on the desktop it may run on."""
    world = JobWorld("demo", fresh=fresh, root=root, managed=True)
    fill(world.prepare(SOURCE), files)
    return world
