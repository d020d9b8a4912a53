-- The workstations that need a look: those whose last run failed (exit code 2 or 3), and those that
-- have not run for seven days (switched off, Kestrane no longer starting, or no longer reaching the
-- database). Run it where KestraneRuns.sql made the table, for example
--   sqlcmd -S sqlserver01 -d Tavirel -E -i KestraneAttention.sql
-- A workstation that never ran at all has no row: compare the list with the directory's computers.

WITH LastRun AS (
    SELECT Workstation, UserName, RunAt, ExitCode, FirstError, SuiteVersion,
           ROW_NUMBER() OVER (PARTITION BY Workstation ORDER BY RunAt DESC, RunId DESC) AS Recency
    FROM dbo.KestraneRuns
)
SELECT Workstation,
       CASE WHEN ExitCode <> 0 THEN N'last run failed' ELSE N'no run for seven days' END AS Reason,
       RunAt AS LastRunAt, UserName, ExitCode, FirstError, SuiteVersion
FROM LastRun
WHERE Recency = 1
  AND (ExitCode <> 0 OR RunAt < DATEADD(day, -7, SYSUTCDATETIME()))
ORDER BY Reason, Workstation;
