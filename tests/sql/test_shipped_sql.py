"""The SQL the release ships, without a SQL Server: every script parses as T-SQL (Debian's sqlfluff,
dialect tsql, reading sqlcmd's :setvar lines and $(variables) by the repository's .sqlfluff), the
runs table holds exactly the columns the program's INSERT names, as wide as the program cuts them,
and the attention query's logic, run by SQLite, lists the workstations it should and no other.
Every sqlcmd line shown stops on an error."""
import re
import sqlite3
import subprocess
import sys
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "fixtures"))
from shipped_sql import DEPLOY, attention_in_sqlite, read, runs_table_create, runs_table_in_sqlite  # noqa: E402

SCRIPTS = sorted(DEPLOY.glob("*.sql"))
SERVER_STAMPED = {"RunId", "ReceivedAt", "LoginName"}


def program_columns():
    """(name, width) of each column of the program's INSERT, in its order, from app/run_row.cpp;
    width 0 for a column that holds no text."""
    source = (SOURCE / "app" / "run_row.cpp").read_text(encoding="utf-8")
    return [(name, int(width)) for name, width in re.findall(r'\{u"(\w+)", (\d+), \[\]\(const RunRow', source)]


def table_columns():
    """{name: declared type} of the runs table's columns."""
    return {name: kind for name, kind in re.findall(r"(?m)^ +(\w+) (\w+(?:\(\w+\))?)", runs_table_create())
            if name != "CONSTRAINT"}


def listed_columns(text):
    return [name.strip() for name in text.split(",")]


class ShippedSqlTest(unittest.TestCase):
    def test_every_script_parses_as_t_sql(self):
        # As shipped, from the repository's root: its .sqlfluff has sqlfluff read each :setvar line
        # and $(variable) as sqlcmd does.
        self.assertEqual([p.name for p in SCRIPTS], ["KestraneAttention.sql", "KestraneRuns.sql", "vcUpgradeSettings.sql"])
        for script in SCRIPTS:
            with self.subTest(script.name):
                parsed = subprocess.run(["sqlfluff", "parse", "--dialect", "tsql", script.relative_to(SOURCE)],
                                        cwd=SOURCE, capture_output=True, text=True)
                self.assertEqual(parsed.returncode, 0, parsed.stdout[-2000:] + parsed.stderr)
                self.assertNotIn("unparsable", parsed.stdout)
                self.assertIn("batch", parsed.stdout)
                # sqlcmd stops at a variable that has no value: each has its default in the script.
                text = read(script.name)
                self.assertEqual(set(re.findall(r"\$\((\w+)\)", text)), set(re.findall(r"(?m)^:setvar (\w+) ", text)))

    def test_the_runs_table_holds_what_the_program_sends_as_wide_as_it_cuts(self):
        script = read("KestraneRuns.sql")
        columns = table_columns()
        sent = program_columns()
        self.assertEqual(len(sent), 13)
        self.assertEqual(set(columns) - SERVER_STAMPED, {name for name, _ in sent})
        for name, width in sent:
            declared = columns[name]
            self.assertEqual(declared, f"nvarchar({width})" if width else declared, name)
            self.assertFalse(declared.startswith("nvarchar") and not width, name)
        self.assertIn("DEFAULT SYSUTCDATETIME()", script)
        self.assertIn("DEFAULT SUSER_SNAME()", script)
        with sqlite3.connect(":memory:") as database:
            database.execute(runs_table_in_sqlite())
            row = "INSERT INTO KestraneRuns (" + ", ".join(name for name, _ in sent) + ") VALUES (" + \
                  ", ".join("?" * len(sent)) + ")"
            values = ["2026-12-11 08:00:00", "WS-0042", "anna", 0, "", 1, 0, 0, "G:\\Tavirel", "", "1.0", 2, ""]
            database.execute(row, values)
            for exit_code in (1, 4, -1):
                with self.assertRaises(sqlite3.IntegrityError):
                    database.execute(row, values[:3] + [exit_code] + values[4:])
            [(received, login)] = database.execute("SELECT ReceivedAt, LoginName FROM KestraneRuns").fetchall()
        database.close()
        self.assertEqual(login, "sqlite")
        self.assertRegex(received, r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}$")
        # The trigger takes exactly the program's columns, and so lets the server stamp the rest.
        [(inserted, selected)] = re.findall(r"INSTEAD OF INSERT AS.*?INSERT INTO dbo\.KestraneRuns \((.*?)\)\s*SELECT"
                                            r"(.*?)FROM inserted", script, re.DOTALL)
        self.assertEqual(listed_columns(inserted), [name for name, _ in sent])
        self.assertEqual(listed_columns(selected), [name for name, _ in sent])

    def test_the_attention_query_lists_what_needs_a_look(self):
        now = "2026-12-11 09:00:00"
        # (workstation, user, received, exit code): what each workstation sent, oldest first.
        runs = [
            ("WS-OK", "anna", "2026-12-10 08:00:00", 3), ("WS-OK", "anna", "2026-12-11 08:00:00", 0),
            # Shared: ben's failure stays listed though carl succeeded after him; dora's old success
            # is no "no run", since the workstation itself sent rows this week.
            ("WS-SHARED", "dora", "2026-11-01 08:00:00", 0), ("WS-SHARED", "ben", "2026-12-10 08:00:00", 2),
            ("WS-SHARED", "carl", "2026-12-11 07:00:00", 0),
            # Silent for eight days: listed once, for its last run.
            ("WS-OFF", "erik", "2026-12-01 08:00:00", 0), ("WS-OFF", "fay", "2026-12-03 08:00:00", 0),
            # Failed and silent: listed as failed.
            ("WS-DEAD", "gus", "2026-11-20 08:00:00", 3),
        ]
        with sqlite3.connect(":memory:") as database:
            database.execute(runs_table_in_sqlite())
            database.executemany("INSERT INTO KestraneRuns (ReceivedAt, LoginName, RunAt, Workstation, UserName, "
                                 "ExitCode, Outcome, Updated, UpToDate, Failed, SourceFolder, SuiteVersion, "
                                 "KestraneVersion, Seconds, FirstError) "
                                 "VALUES (?, 'CORP\\' || ?, ?, ?, ?, ?, '', 0, 0, 0, 'G:\\Tavirel', '7.6', '1.0', 1, '')",
                                 [(r, u, r, w, u, c) for w, u, r, c in runs])
            listed = database.execute(attention_in_sqlite(now)).fetchall()
        database.close()
        self.assertEqual([(row[0], row[1], row[3], row[-1]) for row in listed],
                         [("WS-DEAD", "gus", 3, "last run failed"), ("WS-SHARED", "ben", 2, "last run failed"),
                          ("WS-OFF", "fay", 0, "no run for seven days")])

    def test_every_sqlcmd_line_stops_at_the_first_error(self):
        texts = {path.name: read(path.name) for path in SCRIPTS}
        texts["DEPLOY.md"] = (SOURCE / "DEPLOY.md").read_text(encoding="utf-8")  # the administrator's guide
        lines = [(name, line) for name, text in texts.items() for line in text.splitlines() if "sqlcmd -" in line]
        self.assertGreater(len(lines), 3)
        for name, line in lines:
            self.assertRegex(line, r"sqlcmd -b ", f"{name}: {line}")


if __name__ == "__main__":
    unittest.main()
