"""Waits that the window lives through: a slow file server, and another run updating the same
folder."""
import unittest

import test_whole_job as whole_job
from harness import SCANNER, Run, unix_to_windows
from job_world import JobWorld, fill

DISCONNECTED = "Drive G: Disconnected Successfully."


def updated(names):
    return [f"{n} Updated Successfully." for n in names] + whole_job.BANNER


def watched(window):
    """The snapshots of a window while it showed its controls, with the log each showed."""
    return [(s, window.log_lines(s)) for s in window.snapshots if s["visible"] and s["controls"]]


def connecting(window, answered=False):
    """The snapshots of a window while it connected the drive (answered ones only, if asked)."""
    return [s for s, lines in watched(window)
            if lines == [whole_job.DISCONNECT_FAILED] and (s["answered"] or not answered)]


class WaitTest(unittest.TestCase):
    # A tick that falls due during a wait closes the window right after the update (as a tick does
    # after every update), often before the log's last lines are read: the tests read the logs as
    # they grew.

    def test_window_answers_while_the_share_connects(self):
        world = JobWorld("wait-connect")
        # The server answers after four seconds, and not before the window was seen answering
        # during the wait again and again.
        connected = world.work / "connected"
        share = world.prepare(connect_delay_ms=4000, connect_release_file=connected)
        fill(share, {"tavA.exe": 10})
        run = world.run(controls=["Memo1", "Button1"], every=True,
                        release=(connected, lambda seen: len(connecting(Run(None, 0, seen), answered=True)) >= 10))
        self.assertEqual(run.exit_code, 0, run.stderr)
        # One update only: a tick taken during the wait would have started another inside it.
        expected = [whole_job.DISCONNECT_FAILED, whole_job.MAPPED] + updated(["tavA.exe"])
        for _, lines in watched(run):
            self.assertEqual(lines, expected[:len(lines)])
        self.assertEqual([s for s in connecting(run) if not s["answered"]], [])
        # Read again and again during the wait, not once before it began.
        self.assertGreaterEqual(len(connecting(run)), 10)
        self.assertEqual((world.destination() / "tavA.exe").read_bytes(), (share / "tavA.exe").read_bytes())

    def test_window_answers_while_a_long_file_is_copied(self):
        world = JobWorld("wait-long-copy")
        share = world.prepare()
        share.mkdir(parents=True)
        with open(share / "tavLONG.exe", "wb") as long_file:  # sparse on the share, whole at its copy
            long_file.truncate(768 * 1024 * 1024)
        # A stand-in agent holds the fresh copy and reads the log meanwhile: the copy cannot take its
        # target's place while it is held, so the log it reads is one shown during the refresh.
        reads = world.work / "reads.txt"
        reads.unlink(missing_ok=True)
        reader = [SCANNER, unix_to_windows(world.destination()), "~kst*.tmp", "0", unix_to_windows(reads), "1"]
        try:
            run = world.run(controls=["Memo1", "Button1"], every=True, companions=[reader])
            self.assertEqual(run.exit_code, 0, run.stderr)
            self.assertEqual((world.destination() / "tavLONG.exe").stat().st_size, 768 * 1024 * 1024)
        finally:
            (world.destination() / "tavLONG.exe").unlink(missing_ok=True)
        copying = [s for s, lines in watched(run) if lines == [whole_job.DISCONNECT_FAILED, whole_job.MAPPED]]
        self.assertEqual([s for s in copying if not s["answered"]], [])
        [(_, answered, lines)] = [line.split("\t") for line in reads.read_text().splitlines()]
        self.assertEqual((answered, lines), ("answered", f"{whole_job.DISCONNECT_FAILED}|{whole_job.MAPPED}|"))

    def test_two_runs_at_once_update_the_folder_one_after_the_other(self):
        world = JobWorld("wait-two-runs")
        share = world.prepare(connect_delay_ms=3000)
        fill(share, {f"tav{i}.exe": 4_000_000 for i in range(4)})
        (world.destination() / "tav0.exe").write_bytes(b"old version")
        together = world.run_together(2, controls=["Memo1", "Button1"])
        self.assertEqual(together.exit_codes, [0, 0], together.stderr)
        names = whole_job.enumeration_order(world, share)
        # The first run finds no drive to drop; the second drops the first one's once that run is
        # over. Run side by side, both would find none, and one would fail to map the drive.
        expected = {whole_job.DISCONNECT_FAILED: [whole_job.DISCONNECT_FAILED, whole_job.MAPPED] + updated(names),
                    DISCONNECTED: [DISCONNECTED, whole_job.MAPPED] + updated(names)}
        first_lines = []
        self.assertEqual(len(together.windows), 2)
        for window in together.windows:
            logs = [lines for _, lines in watched(window) if lines]
            self.assertTrue(logs, "the log was never read during the update")
            first_lines.append(logs[0][0])
            for lines in logs:
                self.assertEqual(lines, expected.get(logs[0][0], [])[:len(lines)])
            # Waiting for the other run, and then for its own connection, the window answers.
            self.assertEqual([s for s, lines in watched(window) if len(lines) <= 1 and not s["answered"]], [])
        self.assertCountEqual(first_lines, list(expected))
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), sorted(names))
        for name in names:
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes(), name)


if __name__ == "__main__":
    unittest.main()
