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


# Watching two controls only, the inspector looks often enough to follow a busy window.
WATCHED = ["Memo1", "Button1"]


def log_text(lines):
    return "".join(line + "\r\n" for line in lines)


class OutcomeTest(unittest.TestCase):
    def test_each_outcome_has_its_exit_code_and_record(self):
        updated = "The update completed: 2 files updated."
        incomplete = "The update completed, but 1 file could not be updated (1 updated)."
        not_found = "The update was stopped by an error: The specified path was not found."
        nothing = "The update completed, but no file in the source folder matched the pattern tav*.exe."
        # Wine's text for the map step's code 86; Windows words it otherwise.
        not_connected = not_found + " Drive G: was not connected: Invalid password."
        wrong_password = {"server_password": "another"}
        # name: (what the share holds, a local file made read-only over a writable source, what else
        # the world is prepared with, exit code, level, message id, outcome sentences)
        cases = {
            "out-updated": ({"tavA.exe": 10, "tavB.exe": 20}, None, {}, 0, "trace", 0x40000064, updated),
            "out-incomplete": ({"tavA.exe": 10, "tavB.exe": 20}, "tavB.exe", {}, 3, "warn", 0x80000067, incomplete),
            "out-stopped": (None, None, {}, 2, "err", 0xC0000066, not_found),
            "out-nothing": ({"other.exe": 10, "tavA.txt": 10}, None, {}, 3, "warn", 0x80000067, nothing),
            "out-no-drive": ({"tavA.exe": 10}, None, wrong_password, 2, "err", 0xC0000066, not_connected),
        }
        for name, (files, read_only, prepared, code, level, message, sentence) in cases.items():
            with self.subTest(name):
                world = JobWorld(name, env=dict(EVENT_LOG))
                share = world.prepare(Source(password=SHARE_PASSWORD), settings=SETTINGS, **prepared)
                if files:
                    fill(share, files)
                if read_only:
                    (world.destination() / read_only).write_bytes(b"kept")
                    (world.destination() / read_only).chmod(0o444)
                run = world.run(controls=WATCHED + ["Edit6", "Edit11"], every=True)
                self.assertEqual(run.exit_code, code, run.stderr)
                [(got_level, got_message, strings)] = run.event_records()
                self.assertEqual((got_level, got_message, strings[:4]),
                                 (level, message, [sentence, "G:\\Tavirel", world.destination_in_windows(),
                                                   DATA_SOURCE]))
                # The whole log, of which the window may have closed before its last lines were read.
                self.assertTrue(strings[4].startswith(log_text(run.longest_log())), strings[4])
                self.assertEqual(strings[4].endswith("UPDATE COMPLETED.!\r\n----------\r\n"), code != 2)
                for password in (SHARE_PASSWORD, DATABASE_PASSWORD):
                    self.assertNotIn(password, run.stderr)
                self.assertEqual(run.text("Edit11", run.shown[0]), SHARE_PASSWORD)  # the run had both at hand
                self.assertEqual(run.text("Edit6", run.shown[0]), DATABASE_PASSWORD)

    def test_what_failed_before_the_copy_is_named_first(self):
        # The settings query read no row: whatever fails after it fails for that reason.
        world = JobWorld("out-no-row", env=dict(EVENT_LOG))
        world.prepare(rows=[])
        run = world.run()
        self.assertEqual(run.exit_code, 2, run.stderr)
        [(level, message, strings)] = run.event_records()
        self.assertEqual((level, message), ("err", 0xC0000066))
        # With no row there is no pattern either.
        self.assertTrue(strings[0].startswith("The settings query failed: No records found. The update was stopped by "
                                              "an error: "), strings[0])
        self.assertIn(" Drive : was not connected: ", strings[0])

    def test_an_error_before_the_copy_ends_the_run_once(self):
        # Windows' reader loses the first section of a file saved with a UTF-8 byte-order mark, Wine's
        # does not: the update stops the same way under both, before it touches anything, with one
        # report, one record, and the window closing as after any stopped update.
        world = JobWorld("out-bom", env=dict(EVENT_LOG))
        fill(world.prepare(settings=None), {"tavA.exe": 10})
        world.write_settings(SETTINGS, encoding="utf-8-sig")
        run = world.run(timeout=30)
        self.assertEqual(run.exit_code, 2, run.stderr)
        text = ("VUZuze16.cnf is saved as UTF-8 with a byte-order mark, which Windows does not read: save it as ANSI, "
                "or as Unicode (UTF-16 LE)")
        self.assertEqual([b["text"] for b in run.message_boxes], [text])
        self.assertEqual([(level, message, strings[0]) for level, message, strings in run.event_records()],
                         [("err", 0xC0000066, "The update was stopped by an error: " + text)])
        self.assertEqual(run.log_lines(), [])
        self.assertFalse((world.destination() / "tavA.exe").exists())
        self.assertLess(run.seconds, 15)

    def test_a_record_the_event_log_refuses_changes_nothing_of_the_run(self):
        # Windows refuses a record past its size limit (or when its log cannot take one); Wine's log
        # takes every record, so a stand-in refuses them. A record refused whole is written again
        # with its first string alone; refused that way too, the run still ends as it would have.
        # the most characters the log takes in a record: the records it then holds
        outcome = "The update completed: 1 file updated."
        cases = {100: [("trace", 0x40000064, [outcome, "", "", "", ""])], 0: []}
        for most, records in cases.items():
            with self.subTest(most=most):
                world = JobWorld(f"out-refused-{most}", env=dict(EVENT_LOG))
                share = world.prepare(most_record_characters=most)
                fill(share, {"tavA.exe": 10})
                run = world.run()
                self.assertEqual(run.exit_code, 0, run.stderr)
                self.assertEqual(run.log_lines(), ["Failed To Disconnect Drive G:.", "Drive Mapped Successfully.",
                                                   "tavA.exe Updated Successfully."] + BANNER)
                self.assertEqual(run.message_boxes, [])
                self.assertEqual((world.destination() / "tavA.exe").read_bytes(), (share / "tavA.exe").read_bytes())
                self.assertEqual(run.event_records(), records)

    def test_closing_the_window_before_the_update_began_is_an_update_not_done(self):
        # A logon script that reads 0 would take the workstation for updated.
        world = JobWorld("out-closed", env=dict(EVENT_LOG))
        fill(world.prepare(), {"tavA.exe": 10})
        run = world.run(action="close")
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertEqual(run.log_lines(), [])
        self.assertEqual([(level, message, strings[:4]) for level, message, strings in run.event_records()],
                         [("err", 0xC0000066, ["The window was closed before the update began: nothing was updated.",
                                               "G:\\Tavirel", world.destination_in_windows(), DATA_SOURCE])])
        self.assertFalse((world.destination() / "tavA.exe").exists())

    def test_programs_in_use_are_updated_unless_they_cannot_even_be_renamed(self):
        world = JobWorld("out-in-use", env=dict(EVENT_LOG))
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
        run = world.run(companions=companions, controls=WATCHED, every=True)
        self.assertEqual(run.exit_code, 3, run.stderr)
        # The held file is tried again for two seconds, in which a tick falls due: the window closes
        # right after the banner, maybe before the last lines are read.
        files = ["Error copying file tavHELD.exe: Access denied", "tavOPEN.exe Updated Successfully.",
                 "tavRUN.exe Updated Successfully."]
        seen = run.longest_log()[2:]
        self.assertLessEqual(set(seen) - set(BANNER), set(files))
        # The record holds the whole log, in the order the files were listed.
        [(_, _, strings)] = run.event_records()
        log = strings[4].split("\r\n")
        self.assertEqual(log[:2] + sorted(log[2:5]) + log[5:],
                         ["Failed To Disconnect Drive G:.", "Drive Mapped Successfully."] + files + BANNER + [""])
        self.assertEqual(run.longest_log(), log[:len(run.longest_log())])
        self.assertEqual(run.companions_running, [True, True, True])
        for name in ("tavRUN.exe", "tavOPEN.exe"):
            self.assertEqual((destination / name).read_bytes(), (share / name).read_bytes())
        self.assertEqual((destination / "tavHELD.exe").read_bytes(), b"old tavHELD.exe")
        # The old files that were still in use wait beside the new ones under the program's own
        # leftover names; the next run, once they are free, removes them.
        # Each carries its target's name, so that a run finding its target missing puts it back.
        set_aside = sorted(p.name[13:] for p in destination.iterdir() if p.name.startswith("~kst"))
        self.assertEqual(set_aside, ["tavOPEN.exe.tmp", "tavRUN.exe.tmp"])
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
            run = world.run(launcher=WITHOUT_FILE_RIGHTS, timeout=60, controls=WATCHED, every=True)
        finally:
            world.destination().chmod(0o755)
        lines = run.longest_log()
        self.assertEqual(lines[-4:], BANNER)
        self.assertEqual(len(lines), 2 + 2 + 4)
        self.assertIn(run.exit_code, (0, 3))


if __name__ == "__main__":
    unittest.main()
