-- The table in which each Kestrane run leaves one row, so that one query answers for the whole fleet.
--
-- Set the login or Windows group on the :setvar line below, then run it in the database that DBName
-- in VUZuze16.cnf names (SQL Server 2016 SP1 or later):
--   sqlcmd -b -S sqlserver01 -d Tavirel -E -i KestraneRuns.sql
-- then name the table in VUZuze16.cnf:
--   [Kestrane]
--   RunsTable=dbo.KestraneRuns
-- It runs again safely: what exists is kept, what an earlier version of this script made is
-- brought up to this one.
--
-- Each run that began the update (the runs that write an event record) then sends
--   INSERT INTO [dbo].[KestraneRuns] (RunAt, Workstation, UserName, ExitCode, Outcome, Updated,
--     UpToDate, Failed, SourceFolder, SuiteVersion, KestraneVersion, Seconds, FirstError)
--   VALUES (@P1, ..., @P13)
-- with every value a parameter, each text cut to its column's width below. The server stamps each
-- row with when it arrived (ReceivedAt) and the login that sent it (LoginName); a trigger puts them
-- in whatever the client sent, so no workstation can write a row in another's name or time. With
-- Windows authentication LoginName is the user's own account; with one SQL Server login for the
-- fleet it is that login, and only LoginName, never Workstation or UserName, is proof of anything.
-- The login gets INSERT on this table and nothing else on it: workstations need not read each
-- other's rows.

-- The login or Windows group the workstations log in as: set it on the :setvar line below, for
-- example :setvar KestraneLogin "CORP\Kestrane Users" (a :setvar in the script wins over sqlcmd's
-- -v, so the line itself is where it is named).
:setvar KestraneLogin kestrane

IF OBJECT_ID(N'dbo.KestraneRuns', N'U') IS NULL
BEGIN
    CREATE TABLE dbo.KestraneRuns (
        RunId bigint IDENTITY (1, 1) NOT NULL CONSTRAINT PK_KestraneRuns PRIMARY KEY,
        -- Stamped by the server, whatever the client sends.
        ReceivedAt datetime2(3) NOT NULL CONSTRAINT DF_KestraneRuns_ReceivedAt DEFAULT SYSUTCDATETIME(),
        LoginName nvarchar(128) NOT NULL CONSTRAINT DF_KestraneRuns_LoginName DEFAULT SUSER_SNAME(),
        -- Sent by the workstation.
        RunAt datetime2(3) NOT NULL, -- when Kestrane started, UTC, by the workstation's clock
        Workstation nvarchar(64) NOT NULL, -- the computer's name
        UserName nvarchar(256) NOT NULL, -- the account it ran as
        ExitCode int NOT NULL, -- 0 every file updated, 2 an error stopped the update, 3 some files failed
        Outcome nvarchar(2000) NOT NULL, -- the event record's first sentences
        Updated int NOT NULL, -- files copied
        UpToDate int NOT NULL, -- files left as they were (Refresh=changed)
        Failed int NOT NULL, -- files that could not be updated
        SourceFolder nvarchar(520) NOT NULL, -- as the window showed it, e.g. G:\Tavirel
        SuiteVersion nvarchar(32) NOT NULL, -- file version of tavMENU.exe after the run; empty without one
        KestraneVersion nvarchar(32) NOT NULL,
        Seconds int NOT NULL, -- from Kestrane's start to the end of the update
        FirstError nvarchar(2000) NOT NULL, -- the first error line of the log, or the error that stopped it
        CONSTRAINT CK_KestraneRuns_ExitCode CHECK (ExitCode IN (0, 2, 3)),
        CONSTRAINT CK_KestraneRuns_Counts CHECK (Updated >= 0 AND UpToDate >= 0 AND Failed >= 0)
    );
END;
GO

-- A table made by an earlier version of this script: the server's stamps (the rows from before get
-- their run's own time, and no login), bounded texts (earlier rows cut to fit) and the checks.
IF COL_LENGTH(N'dbo.KestraneRuns', N'ReceivedAt') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD ReceivedAt datetime2(3) NULL;
IF COL_LENGTH(N'dbo.KestraneRuns', N'LoginName') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD LoginName nvarchar(128) NULL;
GO
UPDATE dbo.KestraneRuns SET ReceivedAt = RunAt WHERE ReceivedAt IS NULL;
UPDATE dbo.KestraneRuns SET LoginName = N'' WHERE LoginName IS NULL;
UPDATE dbo.KestraneRuns SET Outcome = LEFT(Outcome, 2000), FirstError = LEFT(FirstError, 2000)
WHERE LEN(Outcome) > 2000 OR LEN(FirstError) > 2000;
GO
IF COLUMNPROPERTY(OBJECT_ID(N'dbo.KestraneRuns'), N'ReceivedAt', 'AllowsNull') = 1
    ALTER TABLE dbo.KestraneRuns ALTER COLUMN ReceivedAt datetime2(3) NOT NULL;
IF COLUMNPROPERTY(OBJECT_ID(N'dbo.KestraneRuns'), N'LoginName', 'AllowsNull') = 1
    ALTER TABLE dbo.KestraneRuns ALTER COLUMN LoginName nvarchar(128) NOT NULL;
-- The defaults only once the columns are NOT NULL: a column with a default is not altered.
IF OBJECT_ID(N'dbo.DF_KestraneRuns_ReceivedAt', N'D') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD CONSTRAINT DF_KestraneRuns_ReceivedAt DEFAULT SYSUTCDATETIME() FOR ReceivedAt;
IF OBJECT_ID(N'dbo.DF_KestraneRuns_LoginName', N'D') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD CONSTRAINT DF_KestraneRuns_LoginName DEFAULT SUSER_SNAME() FOR LoginName;
IF COL_LENGTH(N'dbo.KestraneRuns', N'Outcome') = -1
    ALTER TABLE dbo.KestraneRuns ALTER COLUMN Outcome nvarchar(2000) NOT NULL;
IF COL_LENGTH(N'dbo.KestraneRuns', N'FirstError') = -1
    ALTER TABLE dbo.KestraneRuns ALTER COLUMN FirstError nvarchar(2000) NOT NULL;
IF OBJECT_ID(N'dbo.CK_KestraneRuns_ExitCode', N'C') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD CONSTRAINT CK_KestraneRuns_ExitCode CHECK (ExitCode IN (0, 2, 3));
IF OBJECT_ID(N'dbo.CK_KestraneRuns_Counts', N'C') IS NULL
    ALTER TABLE dbo.KestraneRuns ADD CONSTRAINT CK_KestraneRuns_Counts
    CHECK (Updated >= 0 AND UpToDate >= 0 AND Failed >= 0);
GO

IF INDEXPROPERTY(OBJECT_ID(N'dbo.KestraneRuns'), N'IX_KestraneRuns_Workstation', 'IndexID') IS NOT NULL
    DROP INDEX IX_KestraneRuns_Workstation ON dbo.KestraneRuns;
IF INDEXPROPERTY(OBJECT_ID(N'dbo.KestraneRuns'), N'IX_KestraneRuns_Received', 'IndexID') IS NULL
    CREATE INDEX IX_KestraneRuns_Received ON dbo.KestraneRuns (Workstation, UserName, ReceivedAt);
GO

IF OBJECT_ID(N'dbo.KestraneRuns_Stamp', N'TR') IS NOT NULL DROP TRIGGER dbo.KestraneRuns_Stamp;
GO

-- The server's stamps, whatever the INSERT names: only the workstation's own columns are taken from
-- it, and ReceivedAt and LoginName get their defaults.
CREATE TRIGGER dbo.KestraneRuns_Stamp ON dbo.KestraneRuns INSTEAD OF INSERT AS
BEGIN
    SET NOCOUNT ON;
    INSERT INTO dbo.KestraneRuns (
        RunAt, Workstation, UserName, ExitCode, Outcome, Updated, UpToDate, Failed, SourceFolder, SuiteVersion,
        KestraneVersion, Seconds, FirstError
    )
    SELECT
        RunAt, Workstation, UserName, ExitCode, Outcome, Updated, UpToDate, Failed, SourceFolder, SuiteVersion,
        KestraneVersion, Seconds, FirstError
    FROM inserted;
END;
GO

-- Insert only, for the login or group the workstations use: no SELECT, UPDATE or DELETE. Its user
-- in this database is made when it has none. The name goes through QUOTENAME, so any login or group
-- name is taken as it is.
DECLARE @principal sysname = N'$(KestraneLogin)';
DECLARE @statement nvarchar(max);
IF DATABASE_PRINCIPAL_ID(@principal) IS NULL
BEGIN
    SET @statement = N'CREATE USER ' + QUOTENAME(@principal) + N' FOR LOGIN ' + QUOTENAME(@principal);
    EXECUTE sp_executesql @statement;
END;
SET @statement = N'GRANT INSERT ON dbo.KestraneRuns TO ' + QUOTENAME(@principal);
EXECUTE sp_executesql @statement;
GO

-- The last run of each user on each workstation, by when the server received it.
CREATE OR ALTER VIEW dbo.KestraneLastRuns AS
SELECT
    Workstation, UserName, LoginName, ReceivedAt, RunAt, ExitCode, Outcome, Updated, UpToDate, Failed,
    SourceFolder, SuiteVersion, KestraneVersion, Seconds, FirstError
FROM (
    SELECT
        *,
        ROW_NUMBER() OVER (PARTITION BY Workstation, UserName ORDER BY ReceivedAt DESC, RunId DESC) AS Recency
    FROM dbo.KestraneRuns
) AS Runs
WHERE Recency = 1;
GO
