"""What a run tells an administrator: its exit code, its one event-log record, and programs of the
suite that were in use while it ran."""
import unittest

from harness import HOLDER, WITHOUT_FILE_RIGHTS, unix_to_windows
from job_world import DATA_SOURCE, JobWorld, Source, fill

BANNER = ["", "----------", "UPDATE COMPLETED.!", "----------"]
# Wine's event-log stub prints each record's strings on this channel, and its message id.
EVENT_LOG = {"WINEDEBUG": "-all,+eventlog,fixme+advapi"}
SHARE_PASSWORD = "Sh4re-S3cret!"
DATABASE_PASSWORD = "Db-S3cret?"
SETTINGS = (f"[Common]\r\nConnector=MSDASQL\r\nHost={DATA_SOURCE}\r\nUser=reader\r\nPswd={DATABASE_PASSWORD}\r\n"
            "DBName=\r\n")


def log_text(run):
    return "".join(line + "\r\n" for line in run.log_lines())


class OutcomeTest(unittest.TestCase):
    def test_each_outcome_has_its_exit_code_and_record(self):
        updated = "The update completed: 2 files updated."
        incomplete = "The update completed, but 1 file could not be updated (1 updated)."
        stopped = "The update was stopped by an error: The specified path was not found."
        # name: (what the share holds, a local file made read-only over a writable source, exit
        # code, level, message id, outcome sentence)
        cases = {
            "out-updated": ({"tavA.exe": 10, "tavB.exe": 20}, None, 0, "trace", 0x40000064, updated),
            "out-incomplete": ({"tavA.exe": 10, "tavB.exe": 20}, "tavB.exe", 3, "warn", 0x80000067, incomplete),
            "out-stopped": (None, None, 2, "err", 0xC0000066, stopped),
        }
        for name, (files, read_only, code, level, message, sentence) in cases.items():
            with self.subTest(name):
                world = JobWorld(name, env=dict(EVENT_LOG))
                share = world.prepare(Source(password=SHARE_PASSWORD), settings=SETTINGS)
                if files:
                    fill(share, files)
                if read_only:
                    (world.destination() / read_only).write_bytes(b"kept")
                    (world.destination() / read_only).chmod(0o444)
                run = world.run()
                self.assertEqual(run.exit_code, code, run.stderr)
                self.assertEqual(run.event_records(),
                                 [(level, message, [sentence, "G:\\Tavirel", run.text("Edit3"), DATA_SOURCE,
                                                    log_text(run)])])
                for password in (SHARE_PASSWORD, DATABASE_PASSWORD):
                    self.assertNotIn(password, run.stderr)
                self.assertEqual(run.text("Edit11"), SHARE_PASSWORD)  # the run had both at hand
                self.assertEqual(run.text("Edit6"), DATABASE_PASSWORD)

    def test_closing_the_window_before_the_update_is_code_0_without_record(self):
        world = JobWorld("out-closed", env=dict(EVENT_LOG))
        fill(world.prepare(), {"tavA.exe": 10})
        run = world.run(action="close")
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines(), [])
        self.assertEqual(run.event_records(), [])

    def test_programs_in_use_are_updated_unless_they_cannot_even_be_renamed(self):
        world = JobWorld("out-in-use")
        share = world.prepare()
        fill(share, {"tavRUN.exe": 5000, "tavOPEN.exe": 6000, "tavHELD.exe": 7000})
        destination = world.destination()
        running = destination / "tavRUN.exe"
        running.write_bytes(HOLDER.read_bytes())
        for name in ("tavOPEN.exe", "tavHELD.exe"):
            (destination / name).write_bytes(b"old " + name.encode())
        companions = [
            [unix_to_windows(running)],  # a program of the suite, running from its own file
            [HOLDER, unix_to_windows(destination / "tavOPEN.exe"), "read-delete"],  # open, may be renamed
            [HOLDER, unix_to_windows(destination / "tavHELD.exe"), "read"],  # open, may not be renamed
        ]
        run = world.run(companions=companions)
        self.assertEqual(run.exit_code, 3, run.stderr)
        self.assertEqual(sorted(run.log_lines()[2:-4]),
                         ["Error copying file tavHELD.exe: Access denied", "tavOPEN.exe Updated Successfully.",
                          "tavRUN.exe Updated Successfully."])
        self.assertEqual(run.companions_running, [True, True, True])
        for name in ("tavRUN.exe", "tavOPEN.exe"):
            self.assertEqual((destination / name).read_bytes(), (share / name).read_bytes())
        self.assertEqual((destination / "tavHELD.exe").read_bytes(), b"old tavHELD.exe")
        # The old files that were still in use wait beside the new ones under the program's own
        # leftover names; the next run, once they are free, removes them.
        set_aside = sorted(p.name for p in destination.iterdir() if p.name.startswith("~kst"))
        self.assertEqual(len(set_aside), 2, set_aside)
        second = world.run()
        self.assertEqual(second.exit_code, 0, second.stderr)
        self.assertEqual(sorted(p.name for p in destination.iterdir()), ["tavHELD.exe", "tavOPEN.exe", "tavRUN.exe"])
        self.assertEqual((destination / "tavHELD.exe").read_bytes(), (share / "tavHELD.exe").read_bytes())


class DurabilityTest(unittest.TestCase):
    def test_each_fresh_copy_is_synced_to_disk_before_it_takes_its_name(self):
        world = JobWorld("out-fsync")
        share = world.prepare()
        names = ["tavA.exe", "tavB.exe", "tavC.exe"]
        fill(share, {name: 100_000 for name in names})
        trace = world.work / "strace.txt"
        trace.unlink(missing_ok=True)
        # Wine's server does the program's file work; started by the traced commands, it is traced
        # too. -y names each descriptor's file.
        launcher = ("strace", "-f", "-y", "-qq", "-A", "-o", str(trace), "-e",
                    "trace=fsync,fdatasync,rename,renameat,renameat2")
        run = world.run(launcher=launcher)
        self.assertEqual(run.exit_code, 0, run.stderr)
        synced, renamed = set(), {}
        for line in trace.read_text().splitlines():
            if "fsync(" in line or "fdatasync(" in line:
                synced.add(line.split("<", 1)[1].split(">", 1)[0].rsplit("/", 1)[-1])
            elif "rename" in line and "= 0" in line:
                parts = [p for p in line.split('"')[1::2]]
                source, target = parts[0].rsplit("/", 1)[-1], parts[1].rsplit("/", 1)[-1]
                if target in names:
                    self.assertIn(source, synced, f"{source} renamed to {target} before it was synced")
                    renamed[target] = source
        self.assertEqual(sorted(renamed), names)


class NoEndlessLoopTest(unittest.TestCase):
    def test_a_destination_whose_names_cannot_be_read_ends_the_run(self):
        world = JobWorld("out-unreadable")
        fill(world.prepare(), {"tavA.exe": 10, "tavB.exe": 10})
        world.destination().chmod(0o311)  # write and search, but no reading of its names
        try:
            run = world.run(launcher=WITHOUT_FILE_RIGHTS, timeout=60)
        finally:
            world.destination().chmod(0o755)
        lines = run.log_lines()
        self.assertEqual(lines[-4:], BANNER)
        self.assertEqual(len(lines), 2 + 2 + 4)
        self.assertIn(run.exit_code, (0, 3))


if __name__ == "__main__":
    unittest.main()
