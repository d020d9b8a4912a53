"""tools/release, run twice: each run exports the commit into a fresh folder and builds it there, so
the two builds share no folder name and no file."""
import hashlib
import re
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
ENTRIES = ["DEPLOY.md", "Kestrane.exe", "SHA256SUMS", "VUZuze16.cnf", "vcUpgradeSettings.sql"]


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def version_record(exe):
    """The executable's resources as resource script text."""
    return subprocess.run(["x86_64-w64-mingw32-windres", "-J", "coff", "-O", "rc", "-i", exe], check=True,
                          stdout=subprocess.PIPE, text=True).stdout


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="kestrane-release-test-")
        cls.printed, cls.bundles = [], []
        for run in ("first", "second"):
            out = Path(cls.folder.name) / run
            printed = subprocess.run([SOURCE / "tools" / "release", out], check=True, stdout=subprocess.PIPE,
                                     text=True).stdout
            cls.printed.append(printed.splitlines()[-1].split()[0])
            cls.bundles += out.glob("Kestrane-*.zip")

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_two_builds_give_the_same_bytes(self):
        first, second = (bundle.read_bytes() for bundle in self.bundles)
        self.assertEqual(self.printed, [sha256(first)] * 2)
        self.assertEqual(sha256(first), sha256(second))

    def test_the_bundle_checks_itself_and_carries_its_version(self):
        bundle = self.bundles[0]
        with zipfile.ZipFile(bundle) as archive:
            self.assertEqual(archive.namelist(), ENTRIES)
            files = {name: archive.read(name) for name in ENTRIES}
            archive.extract("Kestrane.exe", self.folder.name)
        sums = dict(reversed(line.split("  ")) for line in files.pop("SHA256SUMS").decode("ascii").splitlines())
        self.assertEqual(sums, {name: sha256(data) for name, data in files.items()})

        version = re.fullmatch(r"Kestrane-(\d+\.\d+\.\d+\.\d+)\.zip", bundle.name).group(1)
        record = version_record(Path(self.folder.name) / "Kestrane.exe")
        for line in (f"FILEVERSION {version.replace('.', ', ')}", f"PRODUCTVERSION {version.replace('.', ', ')}",
                     f'VALUE "FileVersion", "{version}"', f'VALUE "ProductVersion", "{version}"',
                     f'version=""{version}""'):  # the last one: the manifest's assembly identity
            self.assertIn(line, record)


if __name__ == "__main__":
    unittest.main()
