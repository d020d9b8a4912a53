#!/usr/bin/env python3
"""package_msi.py SOURCE EXE VERSION OUT: builds the Windows Installer package OUT/Kestrane-VERSION.msi
from installer/Kestrane.wxs with wixl.

The same inputs give the same bytes. wixl draws a new package code and stamps the summary with the
clock on every build; here the package code is derived from what goes into the package, and wixl
runs under faketime at SOURCE_DATE_EPOCH, which also dates the cabinet's entries. The product code
is derived from the version alone: every build of one version is one product to Windows Installer,
and each new version is a new product that the upgrade code ties to the others.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import uuid
from pathlib import Path

UPGRADE_CODE = uuid.UUID("5D0C3B62-8E1F-4C7A-9B2E-3F6A1D4E8C57")  # never changes: it ties all versions together
# wixl cannot write a component's condition; Windows Installer evaluates it natively at install.
SIGN_IN_CONDITION = "UPDATE `Component` SET `Condition` = 'SIGNINSTART <> \"0\"' WHERE `Component` = 'SignInStart'"


def guid(value):
    return "{" + str(value).upper() + "}"


def package_code(inputs, version):
    digest = hashlib.sha256(version.encode("ascii"))
    for data in inputs:
        digest.update(hashlib.sha256(data).digest())
    return uuid.uuid5(UPGRADE_CODE, digest.hexdigest())


def main(source, exe, version, out):
    if not version.endswith(".0"):
        # Windows Installer compares three fields: 1.0.0.1 over 1.0.0.0 would be a second product
        # installed beside the first, not an upgrade.
        raise SystemExit(f"package_msi: version {version}: a release changes one of the first three fields")
    source, out = Path(source), Path(out)
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    out.mkdir(parents=True, exist_ok=True)
    path = out / f"Kestrane-{version}.msi"
    with tempfile.TemporaryDirectory(prefix="kestrane-msi-") as stage:
        stage = Path(stage)
        # wixl takes sources by names relative to the descriptor's folder only.
        inputs = {"Kestrane.wxs": source / "installer" / "Kestrane.wxs", "Kestrane.exe": Path(exe),
                  "Kestrane.ico": source / "assets" / "kestrane.ico"}
        for name, origin in inputs.items():
            shutil.copyfile(origin, stage / name)
            os.utime(stage / name, (epoch, epoch))
        built = stage / path.name
        clock = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(epoch))
        subprocess.run(["faketime", "-f", f"@{clock}", "wixl", "--arch", "x64", "-D", f"Version={version}",
                        "-D", f"ProductCode={guid(uuid.uuid5(UPGRADE_CODE, version))}",
                        "-D", f"UpgradeCode={guid(UPGRADE_CODE)}", "-o", built.name, "Kestrane.wxs"],
                       cwd=stage, check=True, env=dict(os.environ, TZ="UTC"))
        code = package_code([(stage / name).read_bytes() for name in sorted(inputs)], version)
        subprocess.run(["msibuild", built, "-q", SIGN_IN_CONDITION,
                        "-s", f"Kestrane {version}", "Kestrane", "x64;1033", guid(code)], check=True)
        shutil.copyfile(built, path)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        raise SystemExit(__doc__.splitlines()[0])
    main(*sys.argv[1:])
