#!/usr/bin/env python3
"""bundle.py SOURCE EXE VERSION OUT [BESIDE...]: packs the release bundle OUT/Kestrane-VERSION.zip.

The bundle holds Kestrane.exe, DEPLOY.md (the administrator's guide) with the pictures it shows,
under the paths it names them by, every file of deploy/ (the sample settings file, the scripts, the
task and the subscription), and SHA256SUMS of those files and of the files that ship beside the
bundle (BESIDE, listed by name). The same inputs give the same bytes: entries sorted by name, every
entry dated SOURCE_DATE_EPOCH (the commit's time, in UTC) with the same mode.
"""
import hashlib
import os
import re
import sys
import time
import zipfile
from pathlib import Path

PICTURE = re.compile(r"!\[[^\]]*\]\(([^)\s]+)\)")  # ![text](path): a picture Markdown shows
ZIP_EPOCH = 315532800  # 1980-01-01, the earliest date a zip entry can hold


def bundle_files(source, exe):
    """Every file of the bundle but SHA256SUMS, by its name in the bundle; exe: the program's bytes."""
    guide = (source / "DEPLOY.md").read_bytes()
    files = {"Kestrane.exe": exe, "DEPLOY.md": guide}
    files.update({path: (source / path).read_bytes() for path in PICTURE.findall(guide.decode("utf-8"))})
    files.update({path.name: path.read_bytes() for path in (source / "deploy").iterdir() if path.is_file()})
    return files


def checksums(files):
    return "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in sorted(files.items()))


def write_zip(path, files, epoch):
    date = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    with zipfile.ZipFile(path, "w") as bundle:
        for name in sorted(files):
            entry = zipfile.ZipInfo(name, date)
            entry.create_system = 3  # Unix, so that the mode below is what unpacks
            entry.external_attr = 0o100644 << 16
            bundle.writestr(entry, files[name], compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


def main(source, exe, version, out, *beside):
    source, out = Path(source), Path(out)
    files = bundle_files(source, Path(exe).read_bytes())
    shipped_beside = {Path(p).name: Path(p).read_bytes() for p in beside}
    files["SHA256SUMS"] = checksums({**files, **shipped_beside}).encode("ascii")
    out.mkdir(parents=True, exist_ok=True)
    path = out / f"Kestrane-{version}.zip"
    write_zip(path, files, int(os.environ["SOURCE_DATE_EPOCH"]))


if __name__ == "__main__":
    if len(sys.argv) < 5:
        raise SystemExit(__doc__.splitlines()[0])
    main(*sys.argv[1:])
