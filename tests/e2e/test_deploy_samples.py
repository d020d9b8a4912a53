"""The samples the release bundle ships drive a whole run: the sample settings file, its host pointed
at a stand-in SQL Server, and the table and row that the sample script creates. What cannot run here
is checked for what Windows will make of it: encodings, line ends, names."""
import configparser
import re
import sqlite3
import unittest
from xml.etree import ElementTree

from harness import SETTINGS_FOLDER, SOURCE
from job_world import JobWorld, Source, fill
from odbc_world import SETTINGS_COLUMNS
from tds_server import Table, TdsServer
from test_whole_job import BANNER, DISCONNECT_FAILED, MAPPED

DEPLOY = SOURCE / "deploy"
SUBSCRIPTION = "{http://schemas.microsoft.com/2006/03/windows/events/subscription}"
SETTINGS_WRITER = DEPLOY / "Write-KestraneSettings.ps1"
TASK = "{http://schemas.microsoft.com/windows/2004/02/mit/task}"
INSTALLED = r"C:\Program Files\Kestrane\Kestrane.exe"  # where the package puts the program


def sample_settings():
    return (DEPLOY / "VUZuze16.cnf").read_bytes().decode("ascii")


def sample_settings_parsed():
    """The sample settings file's sections, keys in their letter case."""
    settings = configparser.ConfigParser(interpolation=None)
    settings.optionxform = str
    settings.read_string(sample_settings())
    return settings


def table_from_script():
    """vcUpgradeSettings as the sample script fills it, its CREATE TABLE and INSERT run by SQLite:
    the script's guards, grants and sqlcmd variable left aside (tests/sql parses it whole as T-SQL),
    and the N before Unicode string literals dropped."""
    script = (DEPLOY / "vcUpgradeSettings.sql").read_bytes().decode("ascii")
    statements = re.findall(r"^ *(CREATE TABLE .*?\n *\);|INSERT INTO .*?;)", script, re.DOTALL | re.MULTILINE)
    with sqlite3.connect(":memory:") as database:
        for statement in statements:
            database.execute(re.sub(r"\bN'", "'", statement.replace("dbo.", "")))
        result = database.execute(f"SELECT {', '.join(SETTINGS_COLUMNS)} FROM vcUpgradeSettings")
        return Table([column[0] for column in result.description], result.fetchall())


def settings_the_program_reads():
    """(section, key) of every value the program reads from the settings file, from its source."""
    source = (SOURCE / "settings" / "settings_file.cpp").read_text(encoding="utf-8")
    return set(re.findall(r'ReadString\(u"(\w+)", u"(\w+)"', source))


def settings_the_writer_writes(script):
    """The settings file that the PowerShell settings writer writes when run with its defaults, as
    {section: {key: value}}: its lines, each value put in from the default of the parameter it names."""
    defaults = dict(re.findall(r"\[string\]\$(\w+) = '([^']*)'", script))
    [block] = re.findall(r"^\$lines = @\(\r\n(.*?)^\)", script, re.DOTALL | re.MULTILINE)
    written, section = {}, None
    for item in re.findall(r"^ +(?:'([^']*)'|\"([^\"]*)\")\r$", block, re.MULTILINE):
        line = re.sub(r"\$(\w+)", lambda name: defaults[name.group(1)], "".join(item))
        if line.startswith("["):
            section = written.setdefault(line.strip("[]"), {})
        elif line:
            key, value = line.split("=", 1)
            section[key] = value
    return written


def altered_reason_rules(script):
    """The settings writer's rules for a value Windows would alter, in the order it asks them: (pattern,
    reason), each pattern as the regular expression it is (.NET's and Python's agree on these)."""
    [body] = re.findall(r"^function Get-AlteredReason\(\[string\]\$Value\) \{\r\n(.*?)^\}", script,
                        re.DOTALL | re.MULTILINE)
    rules = re.findall(r"if \(\$Value -match '((?:[^']|'')*)'\) \{ return '([^']*)' \}", body)
    return [(re.compile(pattern.replace("''", "'")), reason) for pattern, reason in rules]


def unbalanced(script):
    """What is left open or closed too often in a PowerShell script, strings and comments aside."""
    code = re.sub(r"<#.*?#>|#[^\r\n]*|'[^']*'|\"(?:`.|[^\"`])*\"", "", script, flags=re.DOTALL)
    pairs, stack = {")": "(", "]": "[", "}": "{"}, []
    for c in code:
        if c in "([{":
            stack.append(c)
        elif c in pairs and (not stack or stack.pop() != pairs[c]):
            return c
    return "".join(stack)


def run_with_samples(world, program=None):
    """A whole run in world (a JobWorld) driven by the samples, of program (default: the build's);
    returns the run, the share folder and the stand-in server's host as the settings name it."""
    common = sample_settings_parsed()["Common"]
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

    def test_the_event_forwarding_subscription_selects_each_runs_record_and_the_rows_warning(self):
        subscription = ElementTree.parse(DEPLOY / "Kestrane-subscription.xml").getroot()
        self.assertEqual(subscription.tag, SUBSCRIPTION + "Subscription")
        # The collector takes the query as the text of its element: an event query list of its own.
        query_list = ElementTree.fromstring(subscription.find(SUBSCRIPTION + "Query").text.strip())
        [select] = query_list.iter("Select")
        self.assertEqual(select.get("Path"), "Application")
        self.assertEqual(re.findall(r"Provider\[@Name='([^']*)'\]", select.text), ["Kestrane"])
        self.assertEqual(sorted(int(n) for n in re.findall(r"EventID=(\d+)", select.text)), [100, 102, 103, 110])

    def test_the_scheduled_task_starts_the_installed_program_for_each_signed_in_member_of_a_group(self):
        task = ElementTree.parse(DEPLOY / "Kestrane-task.xml").getroot()
        self.assertEqual(task.tag, TASK + "Task")
        # Version 1.2 is what Windows 7's Task Scheduler reads.
        self.assertEqual(task.get("version"), "1.2")
        [trigger] = task.find(TASK + "Triggers")
        # A logon trigger without a user fires for whoever signs in; the principal's group narrows it.
        self.assertEqual(trigger.tag, TASK + "LogonTrigger")
        self.assertIsNone(trigger.find(TASK + "UserId"))
        [principal] = task.find(TASK + "Principals")
        self.assertEqual(principal.findtext(TASK + "GroupId"), "S-1-5-32-545")
        self.assertIsNone(principal.find(TASK + "UserId"))
        self.assertEqual(principal.findtext(TASK + "RunLevel"), "LeastPrivilege")
        actions = task.find(TASK + "Actions")
        self.assertEqual(actions.get("Context"), principal.get("id"))
        self.assertEqual(actions.findtext(f"{TASK}Exec/{TASK}Command"), f'"{INSTALLED}"')
        settings = task.find(TASK + "Settings")
        # Every member's sign-in gets its own run, also on battery.
        self.assertEqual(settings.findtext(TASK + "MultipleInstancesPolicy"), "Parallel")
        self.assertEqual(settings.findtext(TASK + "DisallowStartIfOnBatteries"), "false")

    def test_every_sample_is_ascii_with_windows_line_ends_and_the_xml_is_well_formed(self):
        for path in sorted(DEPLOY.iterdir()):
            with self.subTest(path.name):
                text = path.read_bytes().decode("ascii")
                self.assertTrue(text.endswith("\r\n"))
                self.assertNotIn("\n", text.replace("\r\n", ""))
                if path.suffix == ".xml":
                    ElementTree.fromstring(path.read_bytes())

    def test_the_settings_writer_writes_the_sample_settings_where_and_as_windows_reads_them(self):
        script = SETTINGS_WRITER.read_bytes().decode("ascii")
        self.assertEqual(unbalanced(script), "")
        # Unicode is UTF-16 LE with its byte-order mark in Windows PowerShell 5.1 and PowerShell 7;
        # UTF8 loses the first section to 5.1's byte-order mark, and letters beyond ASCII in 7.
        code = re.sub(r"<#.*?#>|#[^\r\n]*", "", script, flags=re.DOTALL)
        self.assertEqual(re.findall(r"-Encoding\s+(\S+)", code), ["Unicode"])
        for place in ("'C:\\Program Files (x86)'", "'C:\\Program Files'", SETTINGS_FOLDER.replace("/", "\\"),
                      "'VUZuze16.cnf'"):
            self.assertIn(place, code)
        written = settings_the_writer_writes(script)
        self.assertEqual({(section, key) for section, keys in written.items() for key in keys},
                         settings_the_program_reads())
        sample = sample_settings_parsed()
        self.assertEqual(written["Common"], dict(sample["Common"]))
        # The sample shows the keys that stay empty by default only as comments.
        self.assertEqual(written["Kestrane"], {**sample["Kestrane"], "RunsTable": "", "Publisher": "",
                                               "PublisherThumbprint": "", "Unsigned": ""})

    def test_the_settings_writer_refuses_every_value_windows_would_not_give_back_as_written(self):
        script = SETTINGS_WRITER.read_bytes().decode("ascii")
        rules = altered_reason_rules(script)

        def reason(value):
            return next((why for pattern, why in rules if pattern.search(value)), None)

        line_break, blanks, quotes = "line break", "blanks", "quote marks"
        cases = [
            ("Ch4nge-Me!", None), ("", None), ("p w;d=x", None), ('"', None), ('"pw', None), ("p'w'", None),
            ('p"w"', None), ("sqlserver01\\TAVIREL", None), ("p\tw", None),
            ("a\r\nb", line_break), ("a\nb", line_break), ("pw\r", line_break), ('"a\nb"', line_break),
            (" pw", blanks), ("pw ", blanks), ("\tpw", blanks), ("pw\t", blanks), (" ", blanks),
            ('"pw"', quotes), ("'pw'", quotes), ("''", quotes), ('""', quotes), ("'p\"w'", quotes),
        ]
        for value, expected in cases:
            with self.subTest(value=value):
                found = reason(value)
                if expected is None:
                    self.assertIsNone(found)
                else:
                    self.assertIn(expected, found or "")
        # Every line is checked as it will be written, before anything is: whatever keys it comes to hold.
        code = re.sub(r"<#.*?#>|#[^\r\n]*", "", script, flags=re.DOTALL)
        self.assertRegex(code, r"(?ms)^\$lines = @\(.*foreach \(\$line in \$lines\).*Get-AlteredReason \$value.*"
                               r"throw .*^New-Item")

if __name__ == "__main__":
    unittest.main()
