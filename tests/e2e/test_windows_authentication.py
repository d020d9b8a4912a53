"""[Kestrane] Authentication=Windows and a row without a share user, in a whole run: the database
login sends no user and no password, and the share is mapped with the signed-in user's own
credentials, which reach the file server as a null user name and a null password. The stand-in file
server here takes nothing else, so a mapped drive is the proof; no password is anywhere."""
import unittest

from job_world import DATA_SOURCE, JobWorld, Source, fill

WATCHED = ["Memo1", "Button1", "Edit5", "Edit6", "Edit10", "Edit11"]


class WindowsAuthenticationTest(unittest.TestCase):
    def test_a_run_without_any_password_maps_and_copies(self):
        world = JobWorld("windows-authentication")
        settings = f"[Common]\r\nConnector=MSDASQL\r\nHost={DATA_SOURCE}\r\n[Kestrane]\r\nAuthentication=Windows\r\n"
        share = world.prepare(Source(user="", password=""), settings=settings, signed_in_user=True)
        fill(share, {"tavMENU.exe": 2000, "tavBOOK.exe": 3000})
        run = world.run(controls=WATCHED, every=True)
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.longest_log()[:2], ["Failed To Disconnect Drive G:.", "Drive Mapped Successfully."])
        self.assertEqual(sorted(run.longest_log()[2:-4]),
                         ["tavBOOK.exe Updated Successfully.", "tavMENU.exe Updated Successfully."])
        for name in ("tavMENU.exe", "tavBOOK.exe"):
            self.assertEqual((world.destination() / name).read_bytes(), (share / name).read_bytes(), name)
        for control in ("Edit5", "Edit6", "Edit10", "Edit11"):
            self.assertEqual({run.text(control, s) for s in run.shown}, {""}, control)

    def test_a_value_it_does_not_know_fails_the_settings_query(self):
        world = JobWorld("windows-authentication-unknown")
        world.prepare(settings=f"[Common]\r\nConnector=MSDASQL\r\nHost={DATA_SOURCE}\r\n[Kestrane]\r\n"
                               "Authentication=Kerberos\r\n")
        run = world.run(controls=["Memo1", "Button1", "Edit9"], every=True)
        self.assertEqual(run.exit_code, 2, run.stderr)
        self.assertEqual(run.text("Edit9", run.shown[0]),
                         'Error: The value "Kerberos" of Authentication in section [Kestrane] of VUZuze16.cnf is not '
                         "accepted: use SQL or Windows")


if __name__ == "__main__":
    unittest.main()
