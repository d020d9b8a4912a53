-- The workstations that need a look, by when the server received their rows (ReceivedAt: a
-- workstation's clock may be wrong, the server's is the one clock of the fleet). Run it where
-- KestraneRuns.sql made the table, for example
--   sqlcmd -b -S sqlserver01 -d Tavirel -E -i KestraneAttention.sql
--
-- - "last run failed": the last run of a user on a workstation ended with exit code 2 or 3. Each
--   user has a copy of the suite of their own, in their own profile, so on a workstation that
--   several people share a failure stays listed until that same user's next run there succeeds,
--   however many runs of other users succeeded since: their success says nothing of her copy. One
--   row per user whose copy is behind.
-- - "no run for seven days": no row from the workstation at all for seven days, whoever signed in
--   (switched off, Kestrane no longer starting, or no longer reaching the database). One row, for
--   its last run.
-- A workstation that never ran at all has no row: compare the list with the directory's computers.

WITH LastRun AS (
    SELECT
        Workstation, UserName, LoginName, ReceivedAt, ExitCode, FirstError, SuiteVersion,
        ROW_NUMBER() OVER (PARTITION BY Workstation, UserName ORDER BY ReceivedAt DESC, RunId DESC) AS Recency,
        MAX(ReceivedAt) OVER (PARTITION BY Workstation) AS WorkstationLastReceived
    FROM dbo.KestraneRuns
)

SELECT
    Workstation,
    UserName,
    ReceivedAt AS LastRunReceivedAt,
    ExitCode,
    FirstError,
    SuiteVersion,
    LoginName,
    CASE WHEN ExitCode <> 0 THEN N'last run failed' ELSE N'no run for seven days' END AS Reason
FROM LastRun
WHERE
    Recency = 1
    AND (
        ExitCode <> 0
        OR (
            WorkstationLastReceived < DATEADD(DAY, -7, SYSUTCDATETIME())
            AND ReceivedAt = WorkstationLastReceived
        )
    )
ORDER BY Reason, Workstation, UserName;
