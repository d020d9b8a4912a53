"""tools/release, run as a release is made: twice unsigned, where each run exports the commit into a
fresh folder and builds it there, so the two builds share no folder name and no file; and once signed
with a throwaway certificate.

Both unsigned builds compile every file, so that their bytes agreeing shows the build reproducible. The
first also fills a compiler cache of this test's own, from which the signed build takes its objects:
that build shows the signing, and the cache spares it the unsigned build's compile."""
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path[:0] = [str(SOURCE / "tests" / "e2e"), str(SOURCE / "tests" / "fixtures")]
from job_world import JobWorld, fill  # noqa: E402
from test_whole_job import BANNER  # noqa: E402
from throwaway_certificate import make_certificate  # noqa: E402

ENTRIES = ["DEPLOY.md", "Kestrane-subscription.xml", "Kestrane-task.xml", "Kestrane.exe", "KestraneAttention.sql",
           "KestraneRuns.sql", "SHA256SUMS", "VUZuze16.cnf", "Write-KestraneSettings.ps1", "docs/window.png",
           "vcUpgradeSettings.sql"]
UPGRADE_CODE = "{5D0C3B62-8E1F-4C7A-9B2E-3F6A1D4E8C57}"  # the one every version of the package carries


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def version_record(exe):
    """The executable's resources as resource script text."""
    return subprocess.run(["x86_64-w64-mingw32-windres", "-J", "coff", "-O", "rc", "-i", exe], check=True,
                          stdout=subprocess.PIPE, text=True).stdout


def package_properties(msi):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, stdout=subprocess.PIPE,
                           text=True).stdout
    return dict(line.split("\t", 1) for line in table.splitlines()[3:])


def packed_program(msi, folder):
    """Kestrane.exe as the package installs it."""
    subprocess.run(["msiextract", "-C", folder, msi], check=True, stdout=subprocess.DEVNULL)
    return next(Path(folder).rglob("Kestrane.exe")).read_bytes()


def setUpModule():
    global COMPILER_CACHE
    COMPILER_CACHE = tempfile.TemporaryDirectory(prefix="kestrane-release-cache-")


def tearDownModule():
    COMPILER_CACHE.cleanup()


def compiler_cache(use):
    """The environment that builds through the compiler cache: use=False compiles every file and stores
    it, use=True takes what the cache holds. Each run of tools/release exports into a fresh folder under
    TMPDIR, given here as the base that the cache takes paths relative to, so that another export
    still finds the same files."""
    cache = Path(COMPILER_CACHE.name)
    exports = cache / "exports"
    exports.mkdir(exist_ok=True)
    env = {"CMAKE_C_COMPILER_LAUNCHER": "ccache", "CMAKE_CXX_COMPILER_LAUNCHER": "ccache",
           "CCACHE_DIR": str(cache / "ccache"), "CCACHE_BASEDIR": str(exports), "TMPDIR": str(exports)}
    return env if use else dict(env, CCACHE_RECACHE="1")


def release(out, env=None):
    """Runs tools/release into out: (bundle, package, the SHA-256 it printed of each). Without a
    compiler cache in env, every file is compiled, whatever cache the caller's environment names."""
    uncached = {k: v for k, v in os.environ.items() if not k.endswith("_COMPILER_LAUNCHER")}
    printed = subprocess.run([SOURCE / "tools" / "release", out], check=True, stdout=subprocess.PIPE, text=True,
                             env=dict(uncached, **(env or {}))).stdout
    sums = [line.split()[0] for line in printed.splitlines()[-2:]]
    return next(Path(out).glob("Kestrane-*.zip")), next(Path(out).glob("Kestrane-*.msi")), sums


def verify(file, certificate):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", certificate, "-in", file],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="kestrane-release-test-")
        folder = Path(cls.folder.name)
        cls.releases = [release(folder / "first", compiler_cache(use=False)), release(folder / "second")]

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_two_builds_give_the_same_bytes(self):
        for first, second in zip(*[(bundle, package) for bundle, package, _ in self.releases]):
            self.assertEqual(sha256(first.read_bytes()), sha256(second.read_bytes()), first.name)
        for bundle, package, printed in self.releases:
            self.assertEqual(printed, [sha256(bundle.read_bytes()), sha256(package.read_bytes())])

    def test_the_bundle_checks_itself_and_the_package_and_carries_its_version(self):
        bundle, package, _ = self.releases[0]
        with zipfile.ZipFile(bundle) as archive:
            self.assertEqual(archive.namelist(), ENTRIES)
            files = {name: archive.read(name) for name in ENTRIES}
            archive.extract("Kestrane.exe", self.folder.name)
        sums = dict(reversed(line.split("  ")) for line in files.pop("SHA256SUMS").decode("ascii").splitlines())
        files[package.name] = package.read_bytes()
        self.assertEqual(sums, {name: sha256(data) for name, data in files.items()})

        version = re.fullmatch(r"Kestrane-(\d+\.\d+\.\d+\.\d+)\.zip", bundle.name).group(1)
        self.assertEqual(package.name, f"Kestrane-{version}.msi")
        record = version_record(Path(self.folder.name) / "Kestrane.exe")
        for line in (f"FILEVERSION {version.replace('.', ', ')}", f"PRODUCTVERSION {version.replace('.', ', ')}",
                     f'VALUE "FileVersion", "{version}"', f'VALUE "ProductVersion", "{version}"',
                     f'version=""{version}""'):  # the last one: the manifest's assembly identity
            self.assertIn(line, record)

    def test_the_package_installs_the_bundles_program_under_the_one_upgrade_code(self):
        bundle, package, _ = self.releases[0]
        properties = package_properties(package)
        self.assertEqual((properties["ProductName"], properties["Manufacturer"], properties["UpgradeCode"]),
                         ("Kestrane", "Kestrane", UPGRADE_CODE))
        self.assertEqual(properties["ProductVersion"], re.search(r"Kestrane-(.*)\.zip", bundle.name).group(1))
        with zipfile.ZipFile(bundle) as archive, tempfile.TemporaryDirectory() as folder:
            self.assertEqual(packed_program(package, folder), archive.read("Kestrane.exe"))


class SignedReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="kestrane-signed-release-test-")
        folder = Path(cls.folder.name)
        cls.certificate = make_certificate(folder / "certificate")
        cls.stranger = make_certificate(folder / "stranger", name="Somebody Else")
        cls.bundle, cls.package, _ = release(folder / "signed",
                                             dict(cls.certificate.signing_env(), **compiler_cache(use=True)))
        with zipfile.ZipFile(cls.bundle) as archive:
            cls.program = Path(archive.extract("Kestrane.exe", folder))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_program_and_package_are_signed_by_the_certificate_given(self):
        for signed in (self.program, self.package):
            with self.subTest(signed.name):
                checked = verify(signed, self.certificate.pem)
                self.assertEqual(checked.returncode, 0, checked.stdout)
                self.assertIn("Subject: /CN=Kestrane Test Signing", checked.stdout)
                self.assertNotEqual(verify(signed, self.stranger.pem).returncode, 0)
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(packed_program(self.package, folder), self.program.read_bytes())

    def test_the_signed_program_does_a_whole_run(self):
        world = JobWorld("release-signed")
        fill(world.prepare(), {"tavMENU.exe": 50_000})
        run = world.run(program=self.program)
        self.assertEqual(run.exit_code, 0, run.stderr)
        self.assertEqual(run.log_lines()[-5:], ["tavMENU.exe Updated Successfully."] + BANNER)
        self.assertEqual((world.destination() / "tavMENU.exe").stat().st_size, 50_000)


if __name__ == "__main__":
    unittest.main()
