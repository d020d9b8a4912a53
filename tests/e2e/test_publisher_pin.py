"""[Kestrane] Publisher in whole runs: a fresh copy takes its name only when it carries the pinned
publisher's signature, checked on the copy that will run; every other file keeps its old copy, the
run ends with exit code 3 and its record names each refused file with what was found. The
certificates are made when the test runs, and signed programs are this build's own holder.exe."""
import sqlite3
import sys
import unittest

from harness import HOLDER, SOURCE
from job_world import SETTINGS, JobWorld, Source

sys.path.insert(0, str(SOURCE / "tests" / "fixtures"))
from shipped_sql import runs_table_in_sqlite  # noqa: E402
from throwaway_certificate import make_publisher  # noqa: E402

SITE = "Tavirel Software"
OLD = b"the copy of the last release"
REFUSED = "Not updated, it is not the pinned publisher's: "


class PublisherPinTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.world = JobWorld("publisher-pin")
        certificates = cls.world.work / "certificates"
        cls.site = make_publisher(certificates / "site", SITE)
        # The same name, issued by another root: Wine trusts any root, so only the thumbprint tells.
        cls.impostor = make_publisher(certificates / "impostor", SITE, root_name="Impostor Root")
        cls.other = make_publisher(certificates / "other", "Somebody Else")
        cls.share = cls.world.prepare(Source(pattern="tav*"))
        cls.share.mkdir(parents=True, exist_ok=True)
        # Each run's row holds its record's first sentences whole (Wine's event-log stub prints only
        # the start of a long string).
        with sqlite3.connect(cls.world.work / "settings.db") as database:
            database.execute(runs_table_in_sqlite())
        database.close()
        program = HOLDER.read_bytes()
        unsigned = cls.share / "tavPLAIN.exe"
        unsigned.write_bytes(program)
        cls.site.sign(unsigned, cls.share / "tavGOOD.exe")
        cls.other.sign(unsigned, cls.share / "tavOTHER.exe")
        cls.impostor.sign(unsigned, cls.share / "tavIMPOSTOR.exe")
        cls.site.sign(unsigned, cls.share / "tavALTERED.exe")
        altered = bytearray((cls.share / "tavALTERED.exe").read_bytes())
        altered[len(program) // 2] ^= 0xFF  # in the signed part, after signing
        (cls.share / "tavALTERED.exe").write_bytes(altered)
        (cls.share / "tav.ini").write_bytes(b"[Suite]\r\nServer=app01\r\n")
        cls.names = ["tavGOOD.exe", "tavOTHER.exe", "tavPLAIN.exe", "tavALTERED.exe", "tavIMPOSTOR.exe", "tav.ini"]

    def run_with(self, kestrane_section):
        for name in self.names:
            (self.world.destination() / name).write_bytes(OLD)
        self.world.write_settings(SETTINGS + "[Kestrane]\r\nRunsTable=main.KestraneRuns\r\n" + kestrane_section)
        return self.world.run()

    def last_outcome(self):
        """What the last run's record said first, as its row holds it."""
        with sqlite3.connect(self.world.work / "settings.db") as database:
            [(outcome,)] = database.execute("SELECT Outcome FROM KestraneRuns ORDER BY RunId DESC LIMIT 1").fetchall()
        database.close()
        return outcome

    def test_only_the_pinned_publishers_files_and_the_unsigned_data_files_are_updated(self):
        refused = {"tavOTHER.exe": "signed by Somebody Else",
                   "tavPLAIN.exe": "not signed",
                   "tavALTERED.exe": "altered after it was signed",  # by whom, when the system can still tell
                   "tavIMPOSTOR.exe": f"signed by {SITE} with a certificate whose thumbprint is not pinned"}
        for kind, thumbprint in (("SHA-1", self.site.sha1), ("SHA-256", self.site.sha256.upper())):
            with self.subTest(kind):
                run = self.run_with(f"Publisher=Somebody Other;{SITE.lower()}\r\nPublisherThumbprint={thumbprint}\r\n"
                                    "Unsigned=*.ini\r\n")
                self.assertEqual(run.exit_code, 3, run.stderr)
                lines = run.longest_log()[2:-4]
                self.assertEqual(sorted(line for line in lines if not line.startswith("Error copying file ")),
                                 ["tav.ini Updated Successfully.", "tavGOOD.exe Updated Successfully."])
                errors = sorted(line for line in lines if line.startswith("Error copying file "))
                self.assertEqual(len(errors), len(refused), lines)
                for line, (name, found) in zip(errors, sorted(refused.items())):
                    self.assertTrue(line.startswith(f"Error copying file {name}: {REFUSED}{found}"), line)
                for name in ("tavGOOD.exe", "tav.ini"):
                    self.assertEqual((self.world.destination() / name).read_bytes(),
                                     (self.share / name).read_bytes(), name)
                for name in refused:
                    self.assertEqual((self.world.destination() / name).read_bytes(), OLD, name)
                self.assertEqual(sorted(p.name for p in self.world.destination().iterdir()), sorted(self.names))
                outcome = self.last_outcome()
                self.assertTrue(outcome.startswith("The update completed, but 4 files could not be updated (2 "
                                                   "updated). Not the pinned publisher's, so not updated: "), outcome)
                for name, found in refused.items():
                    self.assertIn(f"{name} ({found}", outcome)

    def test_without_a_publisher_everything_is_copied_as_before(self):
        run = self.run_with("Unsigned=*.ini\r\n")
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(sorted(run.longest_log()[2:-4]), sorted(f"{name} Updated Successfully." for name in self.names))
        for name in self.names:
            self.assertEqual((self.world.destination() / name).read_bytes(), (self.share / name).read_bytes(), name)

    def test_a_thumbprint_it_cannot_read_stops_the_update_before_it_copies(self):
        run = self.run_with(f"Publisher={SITE}\r\nPublisherThumbprint=12:34\r\n")
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertEqual([(b["caption"], b["text"]) for b in run.message_boxes],
                         [("Kestrane", 'The value "12:34" of PublisherThumbprint in section [Kestrane] of '
                                       "VUZuze16.cnf is not accepted: use SHA-1 thumbprints (40 hexadecimal digits) or "
                                       "SHA-256 ones (64), separated by ;.")])
        for name in self.names:
            self.assertEqual((self.world.destination() / name).read_bytes(), OLD, name)


if __name__ == "__main__":
    unittest.main()
