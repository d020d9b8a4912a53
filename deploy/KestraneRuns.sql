-- The table in which each Kestrane run leaves one row, so that one query answers for the whole fleet.
--
-- Run it in the database that DBName in VUZuze16.cnf names, for example
--   sqlcmd -S sqlserver01 -d Tavirel -E -i KestraneRuns.sql
-- then name the table in VUZuze16.cnf:
--   [Kestrane]
--   RunsTable=dbo.KestraneRuns
-- Each run that began the update (the runs that write an event record) then sends
--   INSERT INTO [dbo].[KestraneRuns] (RunAt, Workstation, UserName, ExitCode, Outcome, Updated,
--     UpToDate, Failed, SourceFolder, SuiteVersion, KestraneVersion, Seconds, FirstError)
--   VALUES (@P1, ..., @P13)
-- with every value a parameter. The login that VUZuze16.cnf names gets INSERT on this table and
-- nothing else on it (below): users can read the settings file and with it the login's password,
-- and workstations need not read each other's rows.

CREATE TABLE dbo.KestraneRuns (
    RunId           bigint IDENTITY(1, 1) NOT NULL CONSTRAINT PK_KestraneRuns PRIMARY KEY,
    RunAt           datetime2(3)  NOT NULL, -- when Kestrane started, UTC
    Workstation     nvarchar(64)  NOT NULL, -- the computer's name
    UserName        nvarchar(256) NOT NULL, -- the account it ran as
    ExitCode        int           NOT NULL, -- 0 every file updated, 2 an error stopped the update, 3 some files failed
    Outcome         nvarchar(max) NOT NULL, -- the event record's first sentence
    Updated         int           NOT NULL, -- files copied
    UpToDate        int           NOT NULL, -- files left as they were (Refresh=changed)
    Failed          int           NOT NULL, -- files that could not be updated
    SourceFolder    nvarchar(520) NOT NULL, -- as the window showed it, e.g. G:\Tavirel
    SuiteVersion    nvarchar(32)  NOT NULL, -- file version of tavMENU.exe after the run; empty without one
    KestraneVersion nvarchar(32)  NOT NULL,
    Seconds         int           NOT NULL, -- from Kestrane's start to the end of the update
    FirstError      nvarchar(max) NOT NULL  -- the first error line of the log, or the error that stopped it
);
CREATE INDEX IX_KestraneRuns_Workstation ON dbo.KestraneRuns (Workstation, UserName, RunAt);
GO

-- Insert only: no SELECT, UPDATE or DELETE for the workstations' login.
GRANT INSERT ON dbo.KestraneRuns TO kestrane;
GO

-- The last run of each user on each workstation.
CREATE VIEW dbo.KestraneLastRuns AS
SELECT Workstation, UserName, RunAt, ExitCode, Outcome, Updated, UpToDate, Failed, SourceFolder, SuiteVersion,
       KestraneVersion, Seconds, FirstError
FROM (SELECT *, ROW_NUMBER() OVER (PARTITION BY Workstation, UserName ORDER BY RunAt DESC, RunId DESC) AS Recency
      FROM dbo.KestraneRuns) AS Runs
WHERE Recency = 1;
GO
