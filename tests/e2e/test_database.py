"""Whole runs that read the upgrade settings from real databases: SQLite through its ODBC driver as
a data source, and a stand-in SQL Server through FreeTDS; the slots are read from the window."""
import sys
import unittest
from pathlib import Path

from harness import World

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "fixtures"))
import odbc_world  # noqa: E402
import tds_server  # noqa: E402

ROW = ("fs01", "upd", "s3cret", "G", "tav*.exe", "\\Tavirel")  # in the query's column order
SLOTS = ("Edit9", "Edit10", "Edit11", "Edit12", "Edit13", "Edit14", "Edit1", "Edit2")
PASSWORD = 'Tav;el="x\'}'  # a database password holding ";", both quote marks and "}"


def settings(connector, host, user="", password="", database=""):
    return (f"[Common]\r\nConnector={connector}\r\nHost={host}\r\nUser={user}\r\nPswd={password}\r\n"
            f"DBName={database}\r\n")


class DatabaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One prefix for every run: the settings file and the databases change between runs.
        cls.world = World("database")
        odbc = cls.world.root / "odbc"
        cls.sqlite = odbc / "settings.db"
        odbc.mkdir(parents=True, exist_ok=True)
        cls.world.env.update(odbc_world.write_odbc_config(odbc, {"KestraneE2E": cls.sqlite}))
        cls.server = tds_server.TdsServer({"tav": PASSWORD}, {
            "Updates": tds_server.Table(odbc_world.SETTINGS_COLUMNS, [list(ROW)]),
        })
        cls.server.start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def slots(self, run):
        """The slots as the window showed them once it was visible. This world has no file
        server: every run's update stops at the missing source folder, with exit code 2."""
        self.assertEqual(run.exit_code, 2, run.stderr)
        shown = run.settled
        self.assertIsNotNone(shown, run.stderr)
        return tuple(run.text(name, shown) for name in SLOTS)

    def test_settings_from_a_sqlite_data_source(self):
        odbc_world.create_settings_database(self.sqlite, [ROW, ("fs02", "x", "x", "H", "*", "\\x")])
        self.world.write_settings(settings("MSDASQL", "KestraneE2E", "tav", "pw", "TavDB"))
        run = self.world.run()
        self.assertEqual(self.slots(run), ("fs01", "upd", "s3cret", "G", "tav*.exe", "\\Tavirel", "G:\\Tavirel",
                                           "KestraneE2E"))
        # The table gone: the driver's text, the summary still filled.
        odbc_world.create_settings_database(self.sqlite, [ROW], table="vcOtherSettings")
        run = self.world.run()
        self.assertEqual(self.slots(run), ("Error: [SQLite]no such table: vcUpgradeSettings (1)", "", "", "", "", "",
                                           ":", "KestraneE2E"))

    def test_settings_from_sql_server_through_freetds(self):
        host = f"127.0.0.1,{self.server.port}"
        self.world.write_settings(settings("SQLOLEDB.1", host, "tav", PASSWORD, "Updates"))
        run = self.world.run()
        self.assertEqual(self.slots(run), ROW + ("G:\\Tavirel", host))
        self.world.write_settings(settings("SQLOLEDB.1", host, "tav", "wrong", "Updates"))
        run = self.world.run()
        self.assertEqual(self.slots(run), ("Error: [FreeTDS][SQL Server]Login failed for user 'tav'", "", "", "", "",
                                           "", ":", host))

    def test_without_settings_file_the_provider_is_missing(self):
        self.world.write_settings("").unlink()
        run = self.world.run()
        self.assertEqual(self.slots(run), ("Error: Provider cannot be found. It may not be properly installed", "", "",
                                           "", "", "", ":", ""))


if __name__ == "__main__":
    unittest.main()
