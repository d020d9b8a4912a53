"""What others do to a run on a real workstation, played by small stand-ins: an agent that opens
every fresh file for a moment, another run holding the folder, and the folder a killed run left."""
import re
import unittest

from harness import HOLDER, SCANNER, SHORT_TURN_WAIT, WITHOUT_FILE_RIGHTS, Run, unix_to_windows
from job_world import JobWorld, Source, fill
from test_outcome import EVENT_LOG
from test_whole_job import BANNER, DISCONNECT_FAILED, MAPPED

LOCK = "~kst.lock"


def waiting(window):
    """The snapshots of a window shown before its update began: while it waits for its folder."""
    return [s for s in window.snapshots if s["visible"] and s["controls"] and not window.log_lines(s)]


def asking(window):
    """The answered snapshots of a window waiting for its folder from 1.5 seconds after it first
    answered: its first tick, a second after the window was made, has asked for the folder by then."""
    shown = [s["t"] for s in window.snapshots if s["visible"] and s["answered"]]
    return [s for s in waiting(window) if s["answered"] and s["t"] >= shown[0] + 1500]


class InterferenceTest(unittest.TestCase):
    def test_a_scanner_holding_each_fresh_copy_for_a_moment_fails_no_file(self):
        world = JobWorld("agent-scanner", env=dict(EVENT_LOG))
        share = world.prepare()
        names = [f"tav{i}.exe" for i in range(6)]
        fill(share, {name: 2_000_000 for name in names})
        held = world.work / "scanned.txt"
        held.unlink(missing_ok=True)
        scanner = [SCANNER, unix_to_windows(world.destination()), "~kst*.tmp", "700", unix_to_windows(held)]
        run = world.run(companions=[scanner], controls=["Memo1", "Button1"], every=True)
        # Exit code 0 says the banner was reached with every file updated; the window may close before
        # its last lines are read.
        log = run.longest_log()
        self.assertEqual(run.exit_code, 0, log)
        self.assertEqual([line for line in log[2:] if line.startswith("tav") and "Updated" not in line], [])
        # The record holds the whole log; Wine prints it as far as the last file's line.
        [(_, _, strings)] = run.event_records()
        self.assertEqual(strings[0], "The update completed: 6 files updated.")
        recorded = strings[4].split("\r\n")
        self.assertEqual(recorded[:2], [DISCONNECT_FAILED, MAPPED])
        self.assertEqual(sorted(recorded[2:8]), [f"{name} Updated Successfully." for name in names])
        self.assertEqual(log[:8], recorded[:len(log[:8])])  # the window showed the same lines
        for name in names:
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes())
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), names)
        # The stand-in did hold fresh copies, as the system's agents would.
        self.assertTrue(held.exists() and held.read_text().split(), "the scanner held no fresh copy")

    def test_a_run_waits_for_the_one_holding_its_folder_and_then_updates(self):
        world = JobWorld("agent-lock-wait")
        share = world.prepare()
        fill(share, {"tavA.exe": 10})
        # Another run of the same user holds the folder for a few seconds, and until the window was
        # seen waiting for it, and answering, again and again.
        released = world.work / "released"
        holder = [HOLDER, unix_to_windows(world.destination() / LOCK), "none", "4", unix_to_windows(released)]
        run = world.run(companions=[holder], controls=["Memo1", "Button1"], every=True,
                        release=(released, lambda seen: len(asking(Run(None, 0, seen))) >= 10))
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED, "tavA.exe Updated Successfully."] + BANNER)
        # Seen waiting, and answering, while the holder held the folder.
        self.assertGreaterEqual(len(asking(run)), 10)
        self.assertGreaterEqual(len(waiting(run)), 10)
        self.assertEqual([s for s in waiting(run) if not s["answered"]], [])
        self.assertGreater(run.seconds, 4)
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), ["tavA.exe"])

    def test_a_run_waiting_for_its_folder_can_be_closed(self):
        world = JobWorld("agent-lock-close", env=dict(EVENT_LOG))
        share = world.prepare()
        fill(share, {"tavA.exe": 10})
        holder = [HOLDER, unix_to_windows(world.destination() / LOCK), "none"]
        run = world.run(companions=[holder], action="close", act_after_ms=3000, timeout=60)
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertEqual(run.log_lines(), [])
        self.assertEqual(run.message_boxes, [])
        self.assertEqual([(level, message, strings[0]) for level, message, strings in run.event_records()],
                         [("err", 0xC0000066, "The window was closed while another update of the folder was "
                                              "running: nothing was updated.")])
        self.assertFalse((world.destination() / "tavA.exe").exists())

    def test_a_run_that_waits_past_its_limit_stops_with_an_error(self):
        # Ten minutes in the program; three seconds in this build of it (short_turn_wait.cpp).
        world = JobWorld("agent-lock-give-up", env=dict(EVENT_LOG))
        share = world.prepare()
        fill(share, {"tavA.exe": 10})
        holder = [HOLDER, unix_to_windows(world.destination() / LOCK), "none"]
        run = world.run(companions=[holder], program=SHORT_TURN_WAIT, timeout=60)
        self.assertEqual(run.exit_code, 2, run.stderr)
        # The holder named where the system can tell (Windows' Restart Manager names holder.exe), and
        # said so where it cannot (Wine's names no process).
        text = re.escape(f"Another update of the folder {world.destination_in_windows()} is still running (") + \
            r"(the system names no process that holds ~kst\.lock|~kst\.lock is held by .+, process \d+)\)"
        [(caption, shown)] = [(b["caption"], b["text"]) for b in run.message_boxes]
        self.assertEqual(caption, "Kestrane")
        self.assertRegex(shown, "^" + text + "$")
        [(level, message, recorded)] = [(level, message, strings[0]) for level, message, strings in run.event_records()]
        self.assertEqual((level, message), ("err", 0xC0000066))
        self.assertEqual(recorded, "The update was stopped by an error: " + shown)
        self.assertEqual(run.longest_log(), [])
        self.assertEqual(run.companions_running, [True])
        self.assertFalse((world.destination() / "tavA.exe").exists())
        self.assertGreater(run.seconds, 3)

    def test_a_program_a_killed_run_left_set_aside_is_put_back_even_without_the_share(self):
        world = JobWorld("agent-killed")
        world.prepare(Source(folder="\\Missing"))
        destination = world.destination()
        # Killed between moving the menu program aside and moving its fresh copy in; and an older
        # copy of a program still in place, set aside by another run.
        (destination / "~kst0123abcd~tavMENU.exe.tmp").write_bytes(b"the only menu program")
        (destination / "~kst89ef4567~tavBOOK.exe.tmp").write_bytes(b"older book")
        (destination / "tavBOOK.exe").write_bytes(b"book")
        run = world.run()
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertEqual([b["text"] for b in run.message_boxes], ["The specified path was not found."])
        self.assertEqual((destination / "tavMENU.exe").read_bytes(), b"the only menu program")
        # Nothing is taken away by a run that could not list the share.
        self.assertEqual(sorted(p.name for p in destination.iterdir()),
                         ["tavBOOK.exe", "tavMENU.exe", "~kst89ef4567~tavBOOK.exe.tmp"])

    def test_a_lock_file_no_run_holds_is_taken_at_once(self):
        # Restored from a backup, read-only: Kestrane's own name in the user's own folder. Run as a
        # user without root's rights, Wine refuses it as Windows does.
        world = JobWorld("agent-lock-read-only", env=dict(EVENT_LOG))
        fill(world.prepare(), {"tavA.exe": 10})
        lock = world.destination() / LOCK
        lock.write_bytes(b"restored")
        lock.chmod(0o444)
        run = world.run(launcher=WITHOUT_FILE_RIGHTS, timeout=60)
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED, "tavA.exe Updated Successfully."] + BANNER)
        self.assertLess(run.seconds, 30)
        [(level, _, strings)] = run.event_records()
        self.assertEqual((level, strings[0]), ("trace", "The update completed: 1 file updated."))
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), ["tavA.exe"])

    def test_a_folder_named_as_the_lock_stops_the_run_at_once_saying_how_to_clear_it(self):
        world = JobWorld("agent-lock-folder", env=dict(EVENT_LOG))
        fill(world.prepare(), {"tavA.exe": 10})
        (world.destination() / LOCK).mkdir()
        run = world.run(timeout=60)
        self.assertEqual(run.exit_code, 2, run.stderr)
        text = (f"A folder named {LOCK} in {world.destination_in_windows()} stands where an update keeps its lock: "
                "delete or rename that folder, and the next update will run.")
        self.assertEqual([b["text"] for b in run.message_boxes], [text])
        self.assertEqual([(level, strings[0]) for level, _, strings in run.event_records()],
                         [("err", "The update was stopped by an error: " + text)])
        self.assertEqual(run.log_lines(), [])
        self.assertFalse((world.destination() / "tavA.exe").exists())
        self.assertLess(run.seconds, 30)

    def test_the_only_copy_of_a_program_is_kept_while_the_share_cannot_give_it(self):
        # An earlier release set the menu program aside under a name that does not tell it, and was
        # broken off; now the server holds the share's menu program open without sharing.
        world = JobWorld("agent-only-copy", env=dict(EVENT_LOG))
        share = world.prepare()
        fill(share, {"tavMENU.exe": 1000, "tavB.exe": 10})
        only_copy = world.destination() / "~kst0badf00d.tmp"
        only_copy.write_bytes(b"the only menu program")
        server = [HOLDER, unix_to_windows(share / "tavMENU.exe"), "none"]
        run = world.run(companions=[server], controls=["Memo1", "Button1"], every=True)
        self.assertEqual(run.exit_code, 3, run.stderr)
        self.assertIn("Error copying file tavMENU.exe: Sharing violation", run.longest_log())
        self.assertEqual(only_copy.read_bytes(), b"the only menu program")
        [(level, _, strings)] = run.event_records()
        self.assertEqual((level, strings[0]),
                         ("warn", "The update completed, but 1 file could not be updated (1 updated). ~kst0badf00d.tmp, "
                                  "left by an earlier update, was kept: it may be the only copy of tavMENU.exe, which "
                                  "is missing."))
        # Once the share gives the program, the leftover goes.
        second = world.run()
        self.assertEqual(second.exit_code, 0, second.stderr)
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), ["tavB.exe", "tavMENU.exe"])


if __name__ == "__main__":
    unittest.main()
