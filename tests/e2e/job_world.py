"""A workstation with everything a whole run needs, in a private Wine prefix.

On top of a harness World: the settings file at its fixed place naming an ODBC data source, a
SQLite database behind it holding vcUpgradeSettings, a file server (the stand-in network
provider) offering the share, and the user's destination folder.
"""
import sys
from dataclasses import dataclass
from pathlib import Path

from harness import BUILD, SOURCE, World, unix_to_windows

sys.path.insert(0, str(SOURCE / "tests" / "fixtures"))
from odbc_world import create_settings_database, write_odbc_config  # noqa: E402
from share_world import ShareWorld  # noqa: E402

PROVIDER_DLL = BUILD / "tests" / "fixtures" / "KestraneShareProvider.dll"
DATA_SOURCE = "KestraneSettings"
SETTINGS = f"[Common]\r\nConnector=MSDASQL\r\nHost={DATA_SOURCE}\r\nUser=\r\nPswd=\r\nDBName=\r\n"


def fill(folder, files):
    """Creates folder with files {name: size}, each with contents of its own; a file that already
    has its size is kept, so a persistent world is not rewritten on every run."""
    folder.mkdir(parents=True, exist_ok=True)
    for index, (name, size) in enumerate(files.items()):
        path = folder / name
        if not path.exists() or path.stat().st_size != size:
            pattern = bytes((index * 31 + i) % 251 for i in range(251))
            path.write_bytes((pattern * (size // 251 + 1))[:size])


@dataclass
class Source:
    """One row of vcUpgradeSettings: where the update comes from."""
    host: str = "fileserver"
    user: str = "updater"
    password: str = "Upd4te!"
    share: str = "G"
    pattern: str = "tav*.exe"
    folder: str = "\\Tavirel"

    def row(self):  # in the column order of the query: FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath
        return (self.host, self.user, self.password, self.share, self.pattern, self.folder)


class JobWorld(World):
    def __post_init__(self):
        super().__post_init__()
        self.server = self.root / "server"  # the Unix folder the share serves
        self.shares = ShareWorld(self.prefix, PROVIDER_DLL)

    def prepare(self, source=Source(), server_user=None, server_password=None, rows=None, settings=SETTINGS,
                connect_delay_ms=None, signed_in_user=None, most_record_characters=None, connect_release_file=None):
        """Writes the settings file, the database (rows, or the one row of source) and the file
        server's account and share (by default the account the row names, answering each
        connection after connect_delay_ms when given, and then once connect_release_file, a Unix
        path, exists; with signed_in_user only the signed-in user's own credentials), and creates
        the destination folder; with most_record_characters, the event log refuses every record
        whose strings hold more."""
        database = self.work / "settings.db"
        create_settings_database(str(database), rows if rows is not None else [source.row()])
        self.env.update(write_odbc_config(str(self.work / "odbc"), {DATA_SOURCE: str(database)}))
        if settings is not None:
            self.write_settings(settings)
        share_root = self.server / source.share
        share_root.mkdir(parents=True, exist_ok=True)
        self.shares.install(user=source.user if server_user is None else server_user,
                            password=source.password if server_password is None else server_password,
                            shares={f"\\\\{source.host}\\{source.share}": str(share_root)},
                            connect_delay_ms=connect_delay_ms, signed_in_user=signed_in_user,
                            most_record_characters=most_record_characters,
                            connect_release_file=connect_release_file and unix_to_windows(connect_release_file))
        self.destination().mkdir(parents=True, exist_ok=True)
        return share_root / source.folder.strip("\\")

    @property
    def desktop(self):
        return self.drive_c / "users" / self.user / "Desktop"
