"""The Windows Installer package as an administrator uses it, with msiexec in a fresh prefix: installed,
run, upgraded, refused as a downgrade, removed; and installed without its sign-in entry."""
import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import KESTRANE, SOURCE, World, unix_to_windows
from job_world import JobWorld
from test_deploy_samples import INSTALLED, run_with_samples
from throwaway_certificate import make_certificate

RUN = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
EVENT_SOURCE = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Kestrane"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"
FIRST, NEWER = "1.0.0.0", "1.1.0.0"
# msiexec ends with ERROR_INSTALL_FAILURE, 1603, when a launch condition refuses the package: Wine
# hands the host only its low byte.
REFUSED = 1603 % 256


def build_package(exe, version, out):
    subprocess.run(["python3", SOURCE / "tools" / "package_msi.py", SOURCE, exe, version, out], check=True,
                   env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000"))
    return Path(out) / f"Kestrane-{version}.msi"


def registry(world, key):
    """The values of key and of the keys below it, as {(key, name): (type, data)}; {} when key is
    missing."""
    values, current = {}, None
    for line in world.wine("reg", "query", key, "/s", check=False).stdout.splitlines():
        if line.startswith("HKEY_"):
            current = line
        elif line.startswith("    "):
            name, kind, *data = line.strip().split("    ", 2)
            values[(current, name)] = (kind, data[0] if data else "")
    return values


def products(world):
    """(display name, version, publisher) of each Kestrane in Installed apps."""
    entries = {}
    for (key, name), (_, data) in registry(world, UNINSTALL).items():
        entries.setdefault(key, {})[name] = data
    return [(e["DisplayName"], e["DisplayVersion"], e["Publisher"]) for e in entries.values()
            if e.get("DisplayName") == "Kestrane"]


class InstallerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="kestrane-installer-test-")
        folder = Path(cls.folder.name)
        cls.first = build_package(KESTRANE, FIRST, folder)
        # The newer version's program differs from the first's in its bytes: the build's, signed.
        cls.newer_program = folder / "newer" / "Kestrane.exe"
        cls.newer_program.parent.mkdir()
        shutil.copyfile(KESTRANE, cls.newer_program)
        certificate = make_certificate(folder / "certificate")
        subprocess.run([SOURCE / "tools" / "sign", cls.newer_program], check=True,
                       env=dict(os.environ, **certificate.signing_env()))
        cls.newer = build_package(cls.newer_program, NEWER, folder)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def msiexec(self, world, *args):
        return world.wine("msiexec", *args, "/qn", check=False).returncode

    def assert_in_place(self, world, program):
        self.assertEqual((world.drive_c / "Program Files" / "Kestrane" / "Kestrane.exe").read_bytes(),
                         Path(program).read_bytes())
        self.assertEqual(list((world.drive_c / "Program Files" / "Kestrane").iterdir()),
                         [world.drive_c / "Program Files" / "Kestrane" / "Kestrane.exe"])

    def test_install_run_upgrade_refuse_the_older_and_remove(self):
        world = JobWorld("installer")
        self.assertEqual(self.msiexec(world, "/i", unix_to_windows(self.first)), 0)
        self.assert_in_place(world, KESTRANE)
        self.assertEqual(registry(world, RUN).get((f"HKEY_LOCAL_MACHINE\\{RUN[5:]}", "Kestrane")),
                         ("REG_SZ", f'"{INSTALLED}"'))
        event_source = {name: value for (_, name), value in registry(world, EVENT_SOURCE).items()}
        self.assertEqual(event_source, {"EventMessageFile": ("REG_EXPAND_SZ", INSTALLED),
                                        "TypesSupported": ("REG_DWORD", "0x7")})
        self.assertEqual(products(world), [("Kestrane", FIRST, "Kestrane")])
        icon = next(data for (_, name), (_, data) in registry(world, PRODUCTS).items() if name == "ProductIcon")
        icon_file = world.drive_c / icon[3:].replace("\\", "/")
        self.assertEqual(icon_file.read_bytes(), (SOURCE / "assets" / "kestrane.ico").read_bytes())

        run, share, _ = run_with_samples(world, program=INSTALLED)
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual((world.destination() / "tavMENU.exe").read_bytes(), (share / "tavMENU.exe").read_bytes())

        self.assertEqual(self.msiexec(world, "/i", unix_to_windows(self.newer)), 0)
        self.assertEqual(products(world), [("Kestrane", NEWER, "Kestrane")])
        self.assert_in_place(world, self.newer_program)

        # Wine's msiexec logs no launch condition's text: the package's own table shows the message.
        self.assertEqual(self.msiexec(world, "/i", unix_to_windows(self.first)), REFUSED)
        launch_conditions = subprocess.run(["msiinfo", "export", self.first, "LaunchCondition"], check=True,
                                           stdout=subprocess.PIPE, text=True).stdout
        self.assertIn("NOT WIX_DOWNGRADE_DETECTED\tA newer version of Kestrane is already installed.",
                      launch_conditions)
        self.assertEqual(products(world), [("Kestrane", NEWER, "Kestrane")])
        self.assert_in_place(world, self.newer_program)

        settings = world.drive_c / "Program Files (x86)" / "Common Files" / "Microsoft Shared" / "VUZuze16"
        self.assertEqual(self.msiexec(world, "/x", unix_to_windows(self.newer)), 0)
        self.assertFalse((world.drive_c / "Program Files" / "Kestrane").exists())
        self.assertEqual(products(world), [])
        self.assertNotIn("Kestrane", [name for (_, name) in registry(world, RUN)])
        self.assertEqual(registry(world, EVENT_SOURCE), {})
        self.assertEqual(registry(world, PRODUCTS), {})
        self.assertFalse(icon_file.exists())
        self.assertTrue((settings / "VUZuze16.cnf").exists())
        self.assertTrue((world.destination() / "tavMENU.exe").exists())

    def test_signinstart_0_installs_without_the_sign_in_entry(self):
        world = World("installer-no-sign-in")
        self.assertEqual(self.msiexec(world, "/i", unix_to_windows(self.first), "SIGNINSTART=0"), 0)
        self.assert_in_place(world, KESTRANE)
        self.assertNotIn("Kestrane", [name for (_, name) in registry(world, RUN)])
        self.assertIn("EventMessageFile", [name for (_, name) in registry(world, EVENT_SOURCE)])
        self.assertEqual(products(world), [("Kestrane", FIRST, "Kestrane")])


if __name__ == "__main__":
    unittest.main()
