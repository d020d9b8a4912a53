"""[Kestrane] RunsTable in whole runs: each run that attempted the update leaves one row in the
site's database, sent as a statement with typed parameters; a row that cannot be written changes
nothing but the run's record, and a value that names no table stops the update."""
import datetime
import re
import sqlite3
import struct
import sys
import unittest

from harness import KESTRANE, SOURCE
from job_world import DATA_SOURCE, JobWorld, Source, fill
from test_outcome import DATABASE_PASSWORD, EVENT_LOG, SHARE_PASSWORD

sys.path.insert(0, str(SOURCE / "tests" / "fixtures"))
import odbc_world  # noqa: E402
import tds_server  # noqa: E402
from shipped_sql import runs_table_in_sqlite  # noqa: E402

COLUMNS = ("RunAt", "Workstation", "UserName", "ExitCode", "Outcome", "Updated", "UpToDate", "Failed", "SourceFolder",
           "SuiteVersion", "KestraneVersion", "Seconds", "FirstError")
TEXT, WHOLE, MOMENT = tds_server.NVARCHAR, tds_server.INTN, tds_server.DATETIME2N
TYPES = (MOMENT, TEXT, TEXT, WHOLE, TEXT, WHOLE, WHOLE, WHOLE, TEXT, TEXT, TEXT, WHOLE, TEXT)
KESTRANE_VERSION = re.search(r"project\(Kestrane VERSION ([\d.]+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)


def settings(connector, host, database, runs_table):
    return (f"[Common]\r\nConnector={connector}\r\nHost={host}\r\nUser=tav\r\nPswd={DATABASE_PASSWORD}\r\n"
            f"DBName={database}\r\n[Kestrane]\r\nRunsTable={runs_table}\r\n")


def utc_now():
    """Now in UTC to the whole second, as a row's RunAt is compared with it."""
    return datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None, microsecond=0)


def program_of_version(version):
    """A program whose version record says version ("7.6.5.4"): Kestrane.exe with the file version
    of its fixed record rewritten."""
    data = bytearray(KESTRANE.read_bytes())
    at = data.index(struct.pack("<I", 0xFEEF04BD))  # the fixed record's signature
    major, minor, build, revision = map(int, version.split("."))
    struct.pack_into("<II", data, at + 8, major << 16 | minor, build << 16 | revision)
    return bytes(data)


class RunsTableTest(unittest.TestCase):
    def assertNoPassword(self, values):
        for value in values:
            for password in (SHARE_PASSWORD, DATABASE_PASSWORD):
                self.assertNotIn(password, str(value))

    def assertRunTimes(self, run_at, seconds, before, run):
        """RunAt is the run's start in UTC, and Seconds no more than the run took."""
        self.assertLessEqual(before, run_at)
        self.assertLessEqual(run_at, utc_now())
        self.assertTrue(0 <= seconds <= run.seconds, seconds)

    def test_a_run_leaves_its_row_in_a_sqlite_table(self):
        world = JobWorld("runs-sqlite", env=dict(EVENT_LOG))
        share = world.prepare(Source(password=SHARE_PASSWORD),
                              settings=settings("MSDASQL", DATA_SOURCE, "", "main.KestraneRuns"))
        with sqlite3.connect(world.work / "settings.db") as database:
            database.execute(runs_table_in_sqlite())  # the shipped table, the server's stamps included
        database.close()
        fill(share, {"tavBOOK.exe": 100})
        (share / "tavMENU.exe").write_bytes(program_of_version("7.6.5.4"))
        (world.destination() / "tavBOOK.exe").write_bytes(b"kept")
        (world.destination() / "tavBOOK.exe").chmod(0o444)  # read-only here, writable on the share
        before = utc_now()
        run = world.run()
        self.assertEqual(run.exit_code, 3, run.stderr)
        with sqlite3.connect(world.work / "settings.db") as database:
            rows = database.execute(f"SELECT {', '.join(COLUMNS)} FROM KestraneRuns").fetchall()
            [(received, login)] = database.execute("SELECT ReceivedAt, LoginName FROM KestraneRuns").fetchall()
        database.close()
        self.assertEqual(len(rows), 1, rows)
        self.assertEqual(login, "sqlite")
        self.assertLessEqual(before, datetime.datetime.fromisoformat(received))
        row = dict(zip(COLUMNS, rows[0]))
        [(_, _, strings)] = run.event_records()
        workstation = world.wine("cmd", "/c", "echo %COMPUTERNAME%").stdout.strip()
        self.assertEqual({k: v for k, v in row.items() if k not in ("RunAt", "Seconds")}, {
            "Workstation": workstation, "UserName": world.user, "ExitCode": 3,
            "Outcome": "The update completed, but 1 file could not be updated (1 updated).", "Updated": 1,
            "UpToDate": 0, "Failed": 1, "SourceFolder": "G:\\Tavirel", "SuiteVersion": "7.6.5.4",
            "KestraneVersion": KESTRANE_VERSION, "FirstError": "Error copying file tavBOOK.exe: Access denied"})
        self.assertEqual(strings[0], row["Outcome"])  # the record says nothing of a row that was written
        self.assertRunTimes(datetime.datetime.fromisoformat(row["RunAt"]), row["Seconds"], before, run)
        self.assertNoPassword(rows[0])
        self.assertEqual(run.text("Edit11"), SHARE_PASSWORD)  # the run had both passwords at hand
        self.assertEqual(run.text("Edit6"), DATABASE_PASSWORD)

    def test_sql_server_gets_one_parameterised_insert_and_a_row_it_refuses_adds_a_warning(self):
        world = JobWorld("runs-sql-server", env=dict(EVENT_LOG))
        source = Source(password=SHARE_PASSWORD)
        settings_table = tds_server.Table(odbc_world.SETTINGS_COLUMNS, [list(source.row())])
        not_written = "The run's row was not written to dbo.KestraneRuns: [FreeTDS][SQL Server]"
        # name: (the tables the server has, whether it leaves the insert unanswered, the warning that
        # follows the record)
        cases = {
            "written": (["dbo.KestraneRuns"], False, None),
            "no table": ([], False, not_written + "Invalid object name 'dbo.KestraneRuns'."),
            "table held by another session": (["dbo.KestraneRuns"], True, not_written + "Timeout expired."),
        }
        workstation = world.wine("cmd", "/c", "echo %COMPUTERNAME%").stdout.strip()
        for name, (row_tables, silent_calls, warning) in cases.items():
            with self.subTest(name), tds_server.TdsServer({"tav": DATABASE_PASSWORD}, {"Tavirel": settings_table},
                                                          row_tables=row_tables, silent_calls=silent_calls) as server:
                share = world.prepare(source, settings=settings("SQLOLEDB.1", f"127.0.0.1,{server.port}", "Tavirel",
                                                                "dbo.KestraneRuns"))
                fill(share, {"tavA.exe": 100})
                before = utc_now()
                run = world.run(controls=["Memo1", "Button1"], every=True)
                self.assertEqual(run.exit_code, 0, run.stderr)
                self.assertEqual((world.destination() / "tavA.exe").read_bytes(), (share / "tavA.exe").read_bytes())
                # The record comes first, whatever becomes of the row.
                records = [(level, message, strings[0]) for level, message, strings in run.event_records()]
                self.assertEqual(records[0], ("trace", 0x40000064, "The update completed: 1 file updated."))
                self.assertEqual(records[1:], [("warn", 0x8000006E, warning)] if warning else [])
                [call] = server.calls
                self.assertEqual(call.database, "Tavirel")
                statement = next(p.value for p in call.parameters if str(p.value).startswith("INSERT"))
                self.assertEqual(statement, f"INSERT INTO [dbo].[KestraneRuns] ({', '.join(COLUMNS)}) VALUES "
                                            f"({', '.join(f'@P{i}' for i in range(1, 14))})")
                row = call.parameters[-len(COLUMNS):]
                self.assertEqual([p.type for p in row], list(TYPES))
                values = dict(zip(COLUMNS, (p.value for p in row)))
                self.assertEqual({k: v for k, v in values.items() if k not in ("RunAt", "Seconds")}, {
                    "Workstation": workstation, "UserName": world.user, "ExitCode": 0,
                    "Outcome": "The update completed: 1 file updated.", "Updated": 1, "UpToDate": 0, "Failed": 0,
                    "SourceFolder": "G:\\Tavirel", "SuiteVersion": "", "KestraneVersion": KESTRANE_VERSION,
                    "FirstError": ""})
                self.assertRunTimes(values["RunAt"], values["Seconds"], before, run)
                self.assertNoPassword(p.value for p in call.parameters)
                if silent_calls:
                    # The row's own short time-out, while the window answers.
                    self.assertLess(run.seconds, 15)
                    self.assertEqual([s for s in run.snapshots if s["visible"] and not s["answered"]], [])

    def test_no_row_is_tried_on_a_database_that_did_not_answer_the_settings_query(self):
        world = JobWorld("runs-silent", env=dict(EVENT_LOG))
        with tds_server.TdsServer(silent=True) as server:
            share = world.prepare(settings=settings("SQLOLEDB.1", f"127.0.0.1,{server.port}", "Tavirel",
                                                    "dbo.KestraneRuns"))
            fill(share, {"tavA.exe": 100})
            run = world.run(timeout=90)
        self.assertEqual(run.exit_code, 2, run.stderr)
        [(level, message, strings)] = run.event_records()
        self.assertEqual(level, "err")
        self.assertTrue(strings[0].startswith("The settings query failed: "), strings[0])
        self.assertIn(" The run's row was not written to dbo.KestraneRuns: the settings query could not connect to the "
                      "database", strings[0])
        # The settings query's 15-second login alone; a second login for the row would wait as long again.
        self.assertLess(run.seconds, 26)

    def test_a_value_that_names_no_table_stops_the_update_before_it_copies(self):
        world = JobWorld("runs-bad-value", env=dict(EVENT_LOG))
        value = "Runs;DROP TABLE vcUpgradeSettings"
        share = world.prepare(settings=settings("MSDASQL", DATA_SOURCE, "", value))
        fill(share, {"tavMENU.exe": 1000})
        (world.destination() / "tavMENU.exe").write_bytes(b"old version")
        rows_before = (world.work / "settings.db").read_bytes()
        run = world.run()
        self.assertEqual(run.exit_code, 2, run.stderr)
        # Judged when the update begins: not even the drive is touched.
        self.assertEqual(run.log_lines(), [])
        message = (f'The value "{value}" of RunsTable in section [Kestrane] of VUZuze16.cnf is not accepted: use a '
                   "table name or schema.name of letters, digits and _, each part starting with a letter or _ and at "
                   "most 128 characters long.")
        self.assertEqual([(b["caption"], b["text"]) for b in run.message_boxes], [("Kestrane", message)])
        self.assertEqual([(level, strings[0]) for level, _, strings in run.event_records()],
                         [("err", "The update was stopped by an error: " + message)])
        self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), b"old version")
        self.assertEqual((world.work / "settings.db").read_bytes(), rows_before)


if __name__ == "__main__":
    unittest.main()
