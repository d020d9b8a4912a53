-- The table Kestrane reads its update source from, with one example row.
--
-- Set the login or Windows group on the :setvar line below, then run it in the database that DBName
-- in VUZuze16.cnf names, for example
--   sqlcmd -b -S sqlserver01 -d Tavirel -E -i vcUpgradeSettings.sql
-- It runs again safely: an existing table and its row are kept as they are.
-- Kestrane runs
--   SELECT FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath FROM vcUpgradeSettings
-- and uses the first row the server delivers: keep exactly one row. It never writes to it.
--
-- The login needs nothing but reading this table (below). A SQL Server login of its own is made,
-- in master, with
--   CREATE LOGIN kestrane WITH PASSWORD = N'Ch4nge-Me!', CHECK_POLICY = ON;
-- With Authentication=Windows in VUZuze16.cnf, a Windows group instead, and no password anywhere:
--   CREATE LOGIN [CORP\Kestrane Users] FROM WINDOWS;
-- and an empty FTPUser below has each user map the share as themselves.

-- The login or Windows group the workstations log in as: set it on the :setvar line below, for
-- example :setvar KestraneLogin "CORP\Kestrane Users" (a :setvar in the script wins over sqlcmd's
-- -v, so the line itself is where it is named).
:setvar KestraneLogin kestrane

IF OBJECT_ID(N'dbo.vcUpgradeSettings', N'U') IS NULL
BEGIN
    CREATE TABLE dbo.vcUpgradeSettings (
        FTPHost nvarchar(255) NULL, -- file server: host name or address
        FTPUser nvarchar(255) NULL, -- user name for the share; empty: each user's own Windows credentials
        FTPPswd nvarchar(255) NULL, -- password for the share
        FTPPath nvarchar(255) NULL, -- share name, also the local drive letter: G -> \\FTPHost\G as G:
        DownloadPath nvarchar(255) NULL, -- file-name pattern of what is copied, e.g. tav*.exe
        TempEXEPath nvarchar(255) NULL -- folder on the drive, e.g. \Tavirel (gives G:\Tavirel)
    );
END;
GO

IF NOT EXISTS (SELECT 1 FROM dbo.vcUpgradeSettings)
    INSERT INTO dbo.vcUpgradeSettings (FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath)
    VALUES (N'fileserver', N'updater', N'secret', N'G', N'tav*.exe', N'\Tavirel');
GO

-- Reading this table only, for the login or group the workstations use. Its user in this database
-- is made when it has none. The name goes through QUOTENAME, so any login or group name is taken as
-- it is.
DECLARE @principal sysname = N'$(KestraneLogin)';
DECLARE @statement nvarchar(max);
IF DATABASE_PRINCIPAL_ID(@principal) IS NULL
BEGIN
    SET @statement = N'CREATE USER ' + QUOTENAME(@principal) + N' FOR LOGIN ' + QUOTENAME(@principal);
    EXECUTE sp_executesql @statement;
END;
SET @statement = N'GRANT SELECT ON dbo.vcUpgradeSettings TO ' + QUOTENAME(@principal);
EXECUTE sp_executesql @statement;
GO
