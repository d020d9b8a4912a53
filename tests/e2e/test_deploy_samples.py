"""The samples the release bundle ships drive a whole run: the sample settings file, its host pointed
at a stand-in SQL Server, and the table and row that the sample script creates."""
import configparser
import re
import sqlite3
import unittest
from xml.etree import ElementTree

from harness import SOURCE
from job_world import JobWorld, Source, fill
from odbc_world import SETTINGS_COLUMNS
from tds_server import Table, TdsServer
from test_whole_job import BANNER, DISCONNECT_FAILED, MAPPED

DEPLOY = SOURCE / "deploy"
SUBSCRIPTION = "{http://schemas.microsoft.com/2006/03/windows/events/subscription}"


def sample_settings():
    return (DEPLOY / "VUZuze16.cnf").read_bytes().decode("ascii")


def table_from_script():
    """vcUpgradeSettings as the sample script fills it, run by SQLite: its one piece of syntax that
    SQLite lacks, the N before Unicode string literals, dropped."""
    script = (DEPLOY / "vcUpgradeSettings.sql").read_bytes().decode("ascii")
    with sqlite3.connect(":memory:") as database:
        database.executescript(re.sub(r"\bN'", "'", script))
        result = database.execute(f"SELECT {', '.join(SETTINGS_COLUMNS)} FROM vcUpgradeSettings")
        return Table([column[0] for column in result.description], result.fetchall())


def run_with_samples(world, program=None):
    """A whole run in world (a JobWorld) driven by the samples, of program (default: the build's);
    returns the run, the share folder and the stand-in server's host as the settings name it."""
    settings = configparser.ConfigParser(interpolation=None)
    settings.optionxform = str
    settings.read_string(sample_settings())
    common = settings["Common"]
    table = table_from_script()
    assert len(table.rows) == 1, table.rows
    with TdsServer({common["User"]: common["Pswd"]}, {common["DBName"]: table}) as server:
        host = f"127.0.0.1,{server.port}"
        share = world.prepare(Source(*table.rows[0]),
                              settings=re.sub(r"(?m)^Host=[^\r\n]*", f"Host={host}", sample_settings()))
        fill(share, {"tavMENU.exe": 5000, "readme.txt": 10})
        return world.run(program=program), share, host


class DeploySamplesTest(unittest.TestCase):
    def test_the_samples_drive_a_whole_run(self):
        world = JobWorld("deploy-samples")
        run, share, host = run_with_samples(world)
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.text("Edit2"), host)
        self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED, "tavMENU.exe Updated Successfully."] + BANNER)
        self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), (share / "tavMENU.exe").read_bytes())

    def test_the_event_forwarding_subscription_selects_each_runs_record(self):
        subscription = ElementTree.parse(DEPLOY / "Kestrane-subscription.xml").getroot()
        self.assertEqual(subscription.tag, SUBSCRIPTION + "Subscription")
        # The collector takes the query as the text of its element: an event query list of its own.
        query_list = ElementTree.fromstring(subscription.find(SUBSCRIPTION + "Query").text.strip())
        [select] = query_list.iter("Select")
        self.assertEqual(select.get("Path"), "Application")
        self.assertEqual(re.findall(r"Provider\[@Name='([^']*)'\]", select.text), ["Kestrane"])
        self.assertEqual(sorted(int(n) for n in re.findall(r"EventID=(\d+)", select.text)), [100, 102, 103])


if __name__ == "__main__":
    unittest.main()
