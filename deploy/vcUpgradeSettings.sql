-- The table Kestrane reads its update source from, with one example row.
--
-- Run it in the database that DBName in VUZuze16.cnf names, for example
--   sqlcmd -S sqlserver01 -d Tavirel -E -i vcUpgradeSettings.sql
-- Kestrane runs
--   SELECT FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath FROM vcUpgradeSettings
-- and uses the first row the server delivers: keep exactly one row. It never writes to it.
--
-- The login that VUZuze16.cnf names needs nothing but reading this table, for example
--   CREATE LOGIN kestrane WITH PASSWORD = N'Ch4nge-Me!';   -- in master
--   CREATE USER kestrane FOR LOGIN kestrane;               -- in this database
--   GRANT SELECT ON vcUpgradeSettings TO kestrane;

CREATE TABLE vcUpgradeSettings (
    FTPHost      nvarchar(255) NULL, -- file server: host name or address
    FTPUser      nvarchar(255) NULL, -- user name for the share
    FTPPswd      nvarchar(255) NULL, -- password for the share
    FTPPath      nvarchar(255) NULL, -- share name, also the local drive letter: G -> \\FTPHost\G as G:
    DownloadPath nvarchar(255) NULL, -- file-name pattern of what is copied, e.g. tav*.exe
    TempEXEPath  nvarchar(255) NULL  -- folder on the drive, e.g. \Tavirel (gives G:\Tavirel)
);

INSERT INTO vcUpgradeSettings (FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath)
VALUES (N'fileserver', N'updater', N'secret', N'G', N'tav*.exe', N'\Tavirel');
