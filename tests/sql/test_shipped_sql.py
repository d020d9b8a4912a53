"""The SQL the release ships, without a SQL Server: every script parses as T-SQL (Debian's sqlfluff,
dialect tsql) once sqlcmd has put in its variables, the runs table holds exactly the columns the
program's INSERT names, as wide as the program cuts them, and the attention query's logic, run by
SQLite, lists the workstations it should and no other. Every sqlcmd line shown stops on an error."""
import re
import sqlite3
import subprocess
import tempfile
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
DEPLOY = SOURCE / "deploy"
SCRIPTS = sorted(DEPLOY.glob("*.sql"))
RUNS = DEPLOY / "KestraneRuns.sql"
ATTENTION = DEPLOY / "KestraneAttention.sql"
SERVER_STAMPED = {"RunId", "ReceivedAt", "LoginName"}


def read(path):
    return path.read_bytes().decode("ascii")


def as_sqlcmd_runs_it(script):
    """The script as sqlcmd hands it to the server: its :setvar lines gone, each $(name) replaced by
    the variable's value. A variable used without a :setvar default fails here, as sqlcmd would."""
    variables = dict(re.findall(r"(?m)^:setvar (\w+) (\S+)\r?$", script))
    text = re.sub(r"(?m)^:setvar .*\r?\n", "", script)
    return re.sub(r"\$\((\w+)\)", lambda match: variables[match.group(1)], text)


def program_columns():
    """(name, width) of each column of the program's INSERT, in its order, from app/run_row.cpp;
    width 0 for a column that holds no text."""
    source = (SOURCE / "app" / "run_row.cpp").read_text(encoding="utf-8")
    return [(name, int(width)) for name, width in re.findall(r'\{u"(\w+)", (\d+), \[\]\(const RunRow', source)]


def table_columns(script):
    """{name: declared type} of the CREATE TABLE in script."""
    [body] = re.findall(r"CREATE TABLE dbo\.KestraneRuns \((.*?)\r\n *\);", script, re.DOTALL)
    return {name: kind for name, kind in re.findall(r"(?m)^ +(\w+) (\w+(?:\(\w+\))?)", body) if name != "CONSTRAINT"}


def listed_columns(text):
    return [name.strip() for name in text.split(",")]


def attention_in_sqlite(query, now):
    """The attention query in SQLite's words: the same logic with SQLite's date arithmetic, the
    server's clock fixed at now."""
    query = re.sub(r"(?m)^--.*\r?\n", "", query)
    query = query.replace("DATEADD(DAY, -7, SYSUTCDATETIME())", f"datetime('{now}', '-7 days')")
    return re.sub(r"\bN'", "'", query.replace("dbo.", ""))


class ShippedSqlTest(unittest.TestCase):
    def test_every_script_parses_as_t_sql(self):
        self.assertEqual([p.name for p in SCRIPTS], ["KestraneAttention.sql", "KestraneRuns.sql", "vcUpgradeSettings.sql"])
        with tempfile.TemporaryDirectory() as folder:
            for script in SCRIPTS:
                with self.subTest(script.name):
                    path = Path(folder) / script.name
                    path.write_text(as_sqlcmd_runs_it(read(script)), encoding="ascii")
                    parsed = subprocess.run(["sqlfluff", "parse", "--dialect", "tsql", "--nofail", path],
                                            capture_output=True, text=True, check=True).stdout
                    self.assertNotIn("unparsable", parsed)
                    self.assertIn("batch", parsed)

    def test_the_runs_table_holds_what_the_program_sends_as_wide_as_it_cuts(self):
        script = read(RUNS)
        columns = table_columns(script)
        sent = program_columns()
        self.assertEqual(len(sent), 13)
        self.assertEqual(set(columns) - SERVER_STAMPED, {name for name, _ in sent})
        for name, width in sent:
            declared = columns[name]
            self.assertEqual(declared, f"nvarchar({width})" if width else declared, name)
            self.assertFalse(declared.startswith("nvarchar") and not width, name)
        self.assertIn("DEFAULT SYSUTCDATETIME()", script)
        self.assertIn("DEFAULT SUSER_SNAME()", script)
        self.assertIn("CHECK (ExitCode IN (0, 2, 3))", script)
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
            database.execute("CREATE TABLE KestraneRuns (RunId INTEGER PRIMARY KEY, Workstation, UserName, LoginName, "
                             "ReceivedAt, ExitCode, FirstError, SuiteVersion)")
            database.executemany("INSERT INTO KestraneRuns (Workstation, UserName, LoginName, ReceivedAt, ExitCode, "
                                 "FirstError, SuiteVersion) VALUES (?, ?, 'CORP\\' || ?, ?, ?, '', '7.6')",
                                 [(w, u, u, r, c) for w, u, r, c in runs])
            listed = database.execute(attention_in_sqlite(read(ATTENTION), now)).fetchall()
        self.assertEqual([(row[0], row[1], row[3], row[-1]) for row in listed],
                         [("WS-DEAD", "gus", 3, "last run failed"), ("WS-SHARED", "ben", 2, "last run failed"),
                          ("WS-OFF", "fay", 0, "no run for seven days")])

    def test_every_sqlcmd_line_stops_at_the_first_error(self):
        texts = {path.name: read(path) for path in SCRIPTS}
        texts["README.md"] = (SOURCE / "README.md").read_text(encoding="utf-8")
        lines = [(name, line) for name, text in texts.items() for line in text.splitlines() if "sqlcmd -" in line]
        self.assertGreater(len(lines), 3)
        for name, line in lines:
            self.assertRegex(line, r"sqlcmd -b ", f"{name}: {line}")


if __name__ == "__main__":
    unittest.main()
