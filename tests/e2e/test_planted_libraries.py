"""A library planted beside Kestrane.exe under a system library's name is never loaded.

Windows looks for a library that is not a known one beside the program first; Wine does the same
when told to prefer native libraries, which is how these runs stand for Windows."""
import shutil
import unittest

from harness import BUILD, KESTRANE
from job_world import JobWorld, fill

PLANTED = BUILD / "tests" / "fixtures" / "planted"
LIBRARIES = ("mpr", "odbc32", "wintrust", "crypt32")


def planted_world(name):
    """A whole-run world whose program runs from a download folder that also holds a planted
    library of each name it loads from the system folder; returns the world, the share and the
    program's path."""
    world = JobWorld(name, env={"WINEDLLOVERRIDES": ",".join(LIBRARIES) + "=n,b"})
    share = world.prepare()
    fill(share, {"tavMENU.exe": 5000, "tavBOOK.exe": 7000})
    downloads = world.drive_c / "users" / world.user / "Downloads"
    downloads.mkdir(parents=True, exist_ok=True)
    shutil.copy(KESTRANE, downloads)
    for library in LIBRARIES:
        shutil.copy(PLANTED / f"{library}.dll", downloads)
    return world, share, downloads / KESTRANE.name


def planted_loaded(program):
    return sorted(p.name for p in program.parent.glob("*.loaded"))


class PlantedLibrariesTest(unittest.TestCase):
    def test_a_run_beside_planted_libraries_does_its_job_with_the_system_ones(self):
        world, share, program = planted_world("planted-libraries")
        run = world.run(program=program)
        self.assertEqual(planted_loaded(program), [])
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines()[-2], "UPDATE COMPLETED.!")
        for name in ("tavMENU.exe", "tavBOOK.exe"):
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes())

    def test_a_system_library_missing_from_the_system_folder_ends_the_start(self):
        world, share, program = planted_world("planted-no-system-odbc")
        # The world's prefix links the template's files: unlinking one leaves the template whole.
        (world.drive_c / "windows" / "system32" / "odbc32.dll").unlink()
        # The start-up failure box names the library it could not load from the system folder; the
        # inspector answers it, as a user would.
        run = world.run(program=program, action="close", timeout=60)
        self.assertEqual(planted_loaded(program), [])
        self.assertEqual(run.exit_code, 1, run.stderr)
        [box] = run.message_boxes
        self.assertEqual((box["caption"], box["stop_icon"]), ("Application Error", True))
        self.assertTrue(box["text"].lower().startswith("exception: c:\\windows\\system32\\odbc32.dll: "), box["text"])
        self.assertEqual(list(world.destination().iterdir()), [])


if __name__ == "__main__":
    unittest.main()
