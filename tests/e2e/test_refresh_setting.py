"""[Kestrane] Refresh=changed in whole runs: a run over an unchanged share opens none of its files,
whatever differs on either side is copied, and a value the program does not know stops the update
before it touches anything."""
import ctypes
import os
import struct
import unittest
from collections import Counter

from job_world import SETTINGS, JobWorld, fill

BANNER = ["", "----------", "UPDATE COMPLETED.!", "----------"]
HEAD = ["Drive G: Disconnected Successfully.", "Drive Mapped Successfully."]
IN_ACCESS, IN_OPEN, IN_ISDIR = 0x1, 0x20, 0x40000000


class FolderWatch:
    """Counts the opens and reads of the files in one Unix folder, whoever makes them (the Wine
    process reads files through its own system calls), from start until read."""

    def __init__(self, folder):
        self.libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0 or self.libc.inotify_add_watch(self.fd, bytes(folder), IN_OPEN | IN_ACCESS) < 0:
            raise OSError(ctypes.get_errno(), "inotify")

    def touched(self):
        """{file name: events} since the watch began; the folder's own listing is left out."""
        data = b""
        while True:
            try:
                data += os.read(self.fd, 65536)
            except BlockingIOError:
                break
        os.close(self.fd)
        names, offset = Counter(), 0
        while offset < len(data):
            _, mask, _, length = struct.unpack_from("iIII", data, offset)
            name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode()
            offset += 16 + length
            if name and not mask & IN_ISDIR:
                names[name] += 1
        return names


class RefreshChangedTest(unittest.TestCase):
    def test_unchanged_files_are_never_opened_on_the_share_and_changes_either_side_are_copied(self):
        world = JobWorld("refresh-changed")
        share = world.prepare(settings=SETTINGS + "[Kestrane]\r\nRefresh=Changed\r\n")
        names = ["tavMENU.exe", "tavBOOK.exe", "tavLOCAL.exe", "tavGONE.exe", "tavSAME.exe"]
        fill(share, {name: 50_000 + 1000 * i for i, name in enumerate(names)})
        (share / "tavSAME.exe").chmod(0o444)  # read-only on the share, and so locally after the copy
        first = world.run()
        self.assertEqual(sorted(first.log_lines()[2:-4]), sorted(f"{n} Updated Successfully." for n in names))

        watch = FolderWatch(share)
        second = world.run()
        self.assertEqual(watch.touched(), Counter())
        self.assertEqual(second.log_lines()[:2], HEAD)
        self.assertEqual(sorted(second.log_lines()[2:-4]), sorted(f"{n} Is Up To Date." for n in names))
        self.assertEqual(second.log_lines()[-4:], BANNER)

        (share / "tavMENU.exe").write_bytes(b"next version")
        (world.destination() / "tavLOCAL.exe").write_bytes(b"damaged on the workstation")
        (world.destination() / "tavGONE.exe").unlink()
        watch = FolderWatch(share)
        third = world.run()
        copied = {"tavMENU.exe", "tavLOCAL.exe", "tavGONE.exe"}
        self.assertEqual(set(watch.touched()), copied)
        self.assertEqual(sorted(third.log_lines()[2:-4]),
                         sorted([f"{n} Updated Successfully." for n in copied]
                                + ["tavBOOK.exe Is Up To Date.", "tavSAME.exe Is Up To Date."]))
        for name in names:
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes(), name)

    def test_a_value_it_does_not_know_stops_the_update_before_it_touches_anything(self):
        for world_name, value in (("refresh-unknown", "sometimes"), ("refresh-empty", "")):
            with self.subTest(value=value):
                world = JobWorld(world_name)
                share = world.prepare(settings=SETTINGS + f"[Kestrane]\r\nRefresh={value}\r\n")
                fill(share, {"tavMENU.exe": 1000})
                (world.destination() / "tavMENU.exe").write_bytes(b"old version")
                leftover = world.destination() / "~kst5eed0b1e.tmp"
                leftover.write_bytes(b"half a program")
                run = world.run()
                # Judged when the update begins: not even the drive is touched.
                self.assertEqual(run.log_lines(), [])
                self.assertEqual(run.exit_code, 2)
                self.assertEqual([(b["caption"], b["text"]) for b in run.message_boxes],
                                 [("Kestrane", f'The value "{value}" of Refresh in section [Kestrane] of '
                                               "VUZuze16.cnf is not accepted: use all or changed.")])
                self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), b"old version")
                self.assertTrue(leftover.exists())


if __name__ == "__main__":
    unittest.main()
