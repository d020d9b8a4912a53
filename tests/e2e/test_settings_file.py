"""The settings file reaches the database slots, or leaves them empty; Edit3 names the user's
destination whatever the settings file gave."""
import random
import shutil
import unittest

from harness import World, SETTINGS_FOLDER

DB_SLOTS = ["Edit4", "Edit5", "Edit6", "Edit7", "Edit8"]  # Host, User, Pswd, DBName, Connector

# A provider that is not installed fails the query at once instead of waiting for a server.
SETTINGS = ("[Common]\r\nConnector=Kestrane.Absent.1\r\nHost=db.example\r\nUser=sa\r\n"
            "Pswd=s3cret\r\nDBName=Tavirel\r\nSvrCat=SVRCAT-7F3\r\n")
VALUES = ["db.example", "sa", "s3cret", "Tavirel", "Kestrane.Absent.1"]


class SettingsFileTest(unittest.TestCase):
    def run_world(self, world):
        run = world.run()
        # No file server here: the update stops at the missing source folder.
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertIsNotNone(run.settled, "the window never showed")
        return run

    def slots(self, run):
        return [run.text(name, run.settled) for name in DB_SLOTS]

    def assert_destination(self, run, user):
        self.assertEqual(run.text("Edit3", run.settled), f"C:\\Users\\{user}\\AppData\\Local\\tavirel")

    def test_only_the_chosen_root_is_searched(self):
        world = World("settings-roots")
        world.write_settings(SETTINGS, root="Program Files")
        run = self.run_world(world)
        self.assertEqual(self.slots(run), [""] * 5, "both roots: the (x86) one wins though it lacks the file")
        self.assert_destination(run, world.user)

        shutil.rmtree(world.drive_c / "Program Files (x86)")
        # Wine takes the sign-in name from the Unix USER variable, so a run can choose it.
        world.env = {"USER": "Jane Q Doe"}
        run = self.run_world(world)
        self.assertEqual(self.slots(run), VALUES)
        self.assert_destination(run, "Jane Q Doe")
        # SvrCat is read but shown nowhere.
        self.assertFalse([c["name"] for c in run.settled["controls"] if "SVRCAT-7F3" in c["text"]])

    def test_values_as_the_platform_reads_them_and_files_that_are_none(self):
        long_host = "H" * 3000
        cases = [
            ("empty Connector", "[Common]\r\nConnector=\r\nHost=h\r\n", ["h", "", "", "", ""]),
            ("no Common section", "[Other]\r\nConnector=X\r\nHost=h\r\n", ["", "", "", "", "SQLOLEDB.1"]),
            ("a 3000-character value", f"[Common]\r\nConnector=Kestrane.Absent.1\r\nHost={long_host}\r\n",
             ["H" * 2047, "", "", "", "Kestrane.Absent.1"]),
            ("UTF-16 with a byte-order mark",
             "\ufeff[Common]\r\nConnector=Kestrane.Absent.1\r\nHost=h\u00e9\u4e2d\r\nUser=Zo\u00eb\r\n"
             .encode("utf-16-le"), ["h\u00e9\u4e2d", "Zo\u00eb", "", "", "Kestrane.Absent.1"]),
            ("several megabytes of other sections first",
             "".join(f"[Filler{i}]\r\nKey={'f' * 200}\r\n" for i in range(40000)) + SETTINGS, VALUES),
        ]
        world = World("settings-values")
        for name, text, expected in cases:
            with self.subTest(name):
                world.write_settings(text)
                self.assertEqual(self.slots(self.run_world(world)), expected)

        # A folder where the file should be: the file test fails, the slots stay empty.
        settings_file = world.drive_c / "Program Files (x86)" / SETTINGS_FOLDER / "VUZuze16.cnf"
        settings_file.unlink()
        settings_file.mkdir()
        run = self.run_world(world)
        self.assertEqual(self.slots(run), [""] * 5)
        self.assert_destination(run, world.user)
        # Random bytes: the platform's rules decide the values; the run goes on to its end.
        settings_file.rmdir()
        world.write_settings(random.Random(7).randbytes(256 * 1024))
        run = self.run_world(world)
        self.assertTrue(all(len(value) <= 2047 for value in self.slots(run)))


if __name__ == "__main__":
    unittest.main()
