"""The whole job, start to exit: settings file, database, share, copy, log, close."""
import os
import unittest

from harness import SCANNER, SETTINGS_FOLDER, WITHOUT_FILE_RIGHTS, unix_to_windows
from job_world import JobWorld, Source, fill

BANNER = ["", "----------", "UPDATE COMPLETED.!", "----------"]
DISCONNECT_FAILED = "Failed To Disconnect Drive G:."
MAPPED = "Drive Mapped Successfully."
MAP_FAILED = "Failed To Map Drive. Check Credentials And Try Again."


def enumeration_order(world, folder):
    """File names in the order the platform enumerates the folder, as its own dir command
    lists them (unsorted)."""
    listing = world.wine("cmd", "/c", "dir", "/b", "/a-d", unix_to_windows(folder)).stdout
    return [line for line in listing.splitlines() if line]


def file_state(path):
    """What a write would change: the bytes, the time of the last write and of the last change of
    the file's own record (attributes, which Wine keeps beside the file, included)."""
    status = path.stat()
    return path.read_bytes(), status.st_mtime_ns, status.st_ctime_ns


class WholeJobTest(unittest.TestCase):
    def test_normal_run_then_second_run(self):
        world = JobWorld("job-normal")
        share = world.prepare()
        fill(share, {"tavMENU.exe": 300_000, "TAVBOOK.EXE": 70_000, "tav.exe.bak": 10, "other.exe": 5, "tavx.txt": 5})
        (share / "tavsub.exe").mkdir()
        # Read-only on the file server: the copy carries the attribute over, and the second run
        # must still refresh it.
        (share / "tavMENU.exe").chmod(0o444)
        (world.destination() / "tavMENU.exe").write_bytes(b"old version")
        # What a run broken off midway left: its copy beside the target, read-only like its source.
        leftover = world.destination() / "~kst5eed0b1e.tmp"
        leftover.write_bytes(b"half a program")
        leftover.chmod(0o444)
        settings_file = world.drive_c / "Program Files (x86)" / SETTINGS_FOLDER / "VUZuze16.cnf"
        settings_before = file_state(settings_file)
        first = world.run()
        self.assertEqual(first.exit_code, 0, first.stderr)
        copied = [n for n in enumeration_order(world, share) if n in ("tavMENU.exe", "TAVBOOK.EXE")]
        self.assertEqual(first.log_lines(),
                         [DISCONNECT_FAILED, MAPPED] + [f"{n} Updated Successfully." for n in copied] + BANNER)
        for name in copied:
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes())
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), sorted(copied))
        self.assertEqual(first.text("Edit1"), "G:\\Tavirel")
        self.assertEqual(first.text("Button1"), "RUNNING")
        self.assertEqual(first.message_boxes, [])
        self.assertEqual(os.listdir(world.desktop), [])  # the run never writes the shortcut
        self.assertEqual(file_state(settings_file), settings_before)  # nor its settings file
        # The drive is connected for this sign-in only: Windows keeps a remembered one under
        # HKCU\Network\<letter>, and so does Wine's mpr.
        self.assertEqual(world.wine("reg", "query", r"HKCU\Network\G", check=False).returncode, 1)

        (share / "tavMENU.exe").write_bytes(b"next version")
        second = world.run()
        self.assertEqual(second.log_lines(), ["Drive G: Disconnected Successfully.", MAPPED]
                         + [f"{n} Updated Successfully." for n in copied] + BANNER)
        self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), b"next version")
        self.assertEqual((world.destination() / "tavMENU.exe").stat().st_mode & 0o222, 0)  # read-only still

    def test_a_file_server_named_by_its_domain_as_a_namespace_is(self):
        # A site with a domain-based namespace names the domain as the file server: \\corp.example.com\G.
        world = JobWorld("job-domain")
        share = world.prepare(Source(host="corp.example.com"))
        fill(share, {"tavMENU.exe": 1000})
        run = world.run()
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED, "tavMENU.exe Updated Successfully."] + BANNER)
        self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), (share / "tavMENU.exe").read_bytes())

    def test_another_process_sees_the_log_grow_line_by_line_during_the_copy(self):
        world = JobWorld("job-growing")
        share = world.prepare()
        # Enough files for many turns of the copy, whose lines the log takes a turn at a time.
        fill(share, {f"tav{i:04d}.exe": 4096 for i in range(1000)})
        # A stand-in agent holds the first ten fresh copies it finds and reads the log meanwhile: a
        # copy cannot take its target's place while it is held, so each log it reads is one the
        # window shows in the middle of the copy.
        reads = world.work / "reads.txt"
        reads.unlink(missing_ok=True)
        reader = [SCANNER, unix_to_windows(world.destination()), "~kst*.tmp", "0", unix_to_windows(reads), "10"]
        # Watching two controls only, the inspector asks the busy program for little per look.
        run = world.run(controls=["Memo1", "Button1"], companions=[reader])
        self.assertEqual(run.exit_code, 0, run.stderr)
        names = enumeration_order(world, share)
        log = [DISCONNECT_FAILED, MAPPED] + [f"{n} Updated Successfully." for n in names] + BANNER
        during = [run.log_lines(s) for s in run.shown
                  if run.text("Button1", s) == "RUNNING" and run.log_lines(s)[-4:] != BANNER]
        for lines in during:
            self.assertEqual(lines, log[:len(lines)])
        # Today's copy ends long after the first tick: the window answers throughout and its log
        # is read at many lengths, not once at the end.
        read = [line.split("\t")[1:] for line in reads.read_text().splitlines()]
        self.assertEqual([answered for answered, _ in read], ["answered"] * 10)
        read_logs = [lines.split("|")[:-1] for _, lines in read]
        for lines in read_logs:
            self.assertEqual(lines, log[:len(lines)])
            self.assertLess(len(lines), len(log) - len(BANNER))
        self.assertEqual(len({len(lines) for lines in read_logs}), 10)
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), sorted(names))

    def test_wrong_share_password_still_runs_the_copy(self):
        world = JobWorld("job-password")
        fill(world.prepare(server_password="something else"), {"tavA.exe": 10})
        run = world.run()
        self.assertEqual(run.log_lines()[:2], [DISCONNECT_FAILED, MAP_FAILED])
        # The copy still ran, against a drive that is not there.
        self.assertEqual(len(run.log_lines()), 2)
        self.assertEqual([b["text"] for b in run.message_boxes], ["The specified path was not found."])
        self.assertEqual(run.exit_code, 2)

    def test_failed_query_and_empty_share_name_fail_both_steps(self):
        cases = {
            "job-noquery": ({"rows": []}, ["Failed To Disconnect Drive :.", MAP_FAILED]),
            "job-noshare": ({"source": Source(share="")}, ["Failed To Disconnect Drive :.", MAP_FAILED]),
        }
        for name, (prepare, lines) in cases.items():
            with self.subTest(name):
                world = JobWorld(name)
                world.prepare(**prepare)
                run = world.run()
                self.assertEqual(run.log_lines()[:2], lines)
                self.assertEqual(run.exit_code, 2)

    def test_listing_errors_go_to_the_report_without_banner(self):
        # files: None leaves the source folder out; mode: its Unix permissions, which only Wine
        # without root's file rights heeds: a share folder whose listing is forbidden.
        cases = {
            "job-nosource": (Source(), None, None, "The specified path was not found."),
            "job-badmask": (Source(pattern="["), {"tavA.exe": 10}, None, "'[' is an invalid mask at (2)"),
            "job-unlistable": (Source(), {"tavA.exe": 10}, 0o311, "Access denied."),
        }
        for name, (source, files, mode, message) in cases.items():
            with self.subTest(name):
                world = JobWorld(name)
                share = world.prepare(source)
                if files is not None:
                    fill(share, files)
                if mode is not None:
                    share.chmod(mode)
                run = world.run(launcher=WITHOUT_FILE_RIGHTS if mode is not None else ())
                self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED])
                self.assertEqual(run.message_boxes, [{"caption": "Kestrane", "text": message, "stop_icon": True,
                                                      "buttons": 1, "owned": True}])
                self.assertEqual(run.exit_code, 2)

    def test_nothing_to_copy_gives_the_banner_alone(self):
        world = JobWorld("job-empty")
        share = world.prepare()
        (share / "tavsub.exe").mkdir(parents=True)
        run = world.run()
        self.assertEqual(run.log_lines(), [DISCONNECT_FAILED, MAPPED] + BANNER)
        self.assertEqual(run.exit_code, 3)  # a wrong pattern or an empty folder is no success

    def test_file_errors_are_logged_and_the_rest_is_copied(self):
        world = JobWorld("job-fileerrors")
        share = world.prepare()
        fill(share, {"tavA.exe": 1000, "tavB.exe": 2000})
        locked = world.destination() / "tavB.exe"
        locked.write_bytes(b"kept")
        locked.chmod(0o444)  # Wine shows a file without write permission as read-only
        run = world.run()
        lines = run.log_lines()
        self.assertIn("tavA.exe Updated Successfully.", lines)
        self.assertIn("Error copying file tavB.exe: Access denied", lines)
        self.assertEqual(lines[-4:], BANNER)
        self.assertEqual(run.exit_code, 3)
        self.assertEqual(locked.read_bytes(), b"kept")
        self.assertEqual(sorted(p.name for p in world.destination().iterdir()), ["tavA.exe", "tavB.exe"])

    def test_missing_destination_fails_every_file_and_creates_nothing(self):
        world = JobWorld("job-nodest")
        fill(world.prepare(), {"tavA.exe": 10, "tavB.exe": 10})
        world.destination().rmdir()
        run = world.run()
        self.assertEqual(sorted(run.log_lines()[2:-4]),
                         [f"Error copying file {n}: The specified path was not found" for n in ("tavA.exe", "tavB.exe")])
        self.assertEqual(run.log_lines()[-4:], BANNER)
        self.assertEqual(run.exit_code, 3)
        self.assertFalse(world.destination().exists())

    def test_a_profile_folder_not_named_after_the_account(self):
        # A domain account's second profile, "anna.000" or "anna.CORP": the system's own folder for
        # the user's local data is where the suite lives, not the one formed from the sign-in name.
        world = JobWorld("job-profile")
        share = world.prepare()
        fill(share, {"tavA.exe": 10})
        # Named before the new folder exists, which the harness would take for the user's own.
        profile, formed = f"{world.user}.CORP", world.destination()
        local = world.drive_c / "users" / profile / "AppData" / "Local"
        (local / "tavirel").mkdir(parents=True, exist_ok=True)
        world.wine("reg", "add", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders",
                   "/v", "Local AppData", "/t", "REG_EXPAND_SZ", "/d", f"C:\\users\\{profile}\\AppData\\Local", "/f")
        run = world.run()
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.text("Edit3", run.shown[0]), f"C:\\users\\{profile}\\AppData\\Local\\tavirel")
        self.assertEqual((local / "tavirel" / "tavA.exe").read_bytes(), (share / "tavA.exe").read_bytes())
        self.assertEqual(list(formed.iterdir()), [])

    def test_shortcut_command_writes_the_menu_shortcut(self):
        world = JobWorld("job-shortcut")
        fill(world.prepare(), {"tavMENU.exe": 10})
        run = world.run(action="shortcut")
        self.assertEqual(run.exit_code, 0)
        link = world.desktop / "TAVIREL MENU.lnk"
        self.assertTrue(link.exists())
        target = run.text("Edit3") + "\\tavMENU.exe"
        data = link.read_bytes()
        self.assertTrue(target.encode("utf-16-le") in data or target.encode("latin-1") in data, data)


if __name__ == "__main__":
    unittest.main()
