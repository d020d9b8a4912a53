"""The demo world: what a workstation gives Kestrane, in a private Wine prefix.

The settings file at its fixed place, naming an ODBC data source on a SQLite database that holds
vcUpgradeSettings with one row; a share folder with a few suite files, served as drive G: by the
test network provider; and the user's destination folder.
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import World  # noqa: E402

SUITE_FILES = {  # name: size in bytes; tav*.exe are refreshed, the others must not be
    "tavMENU.exe": 1_200_000,
    "tavBOOK.exe": 3_400_000,
    "tavPRINT.exe": 640_000,
    "tavsetup.ini": 2_000,
    "readme.txt": 4_000,
    "other.exe": 90_000,
}


def make(root, fresh=True):
    world = World("demo", fresh=fresh, root=root)
    world.write_settings("[Common]\r\nConnector=MSDASQL\r\nHost=KestraneDemo\r\nUser=\r\nPswd=\r\nDBName=\r\n")
    world.destination().mkdir(parents=True, exist_ok=True)
    share = world.root / "share" / "Tavirel"
    share.mkdir(parents=True, exist_ok=True)
    for index, (name, size) in enumerate(SUITE_FILES.items()):
        path = share / name
        if not path.exists() or path.stat().st_size != size:
            pattern = bytes((index * 31 + i) % 251 for i in range(251))
            path.write_bytes((pattern * (size // 251 + 1))[:size])
    return world
