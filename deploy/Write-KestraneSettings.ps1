<#
.SYNOPSIS
    Writes Kestrane's settings file, VUZuze16.cnf, in an encoding that Windows reads.

.DESCRIPTION
    Kestrane reads its database connection from
        C:\Program Files (x86)\Common Files\Microsoft Shared\VUZuze16\VUZuze16.cnf
    on every 64-bit Windows, which always has that folder (only a machine without it would be read
    under "C:\Program Files", as below). This script writes that file as Unicode (UTF-16 LE with
    its byte-order mark), which Windows reads whole; never as UTF-8, which Windows reads wrong or
    not at all.

    Run it as administrator or as the system account: a Win32 app's install command (Intune), a
    Configuration Manager script or a Group Policy startup script. It works in every PowerShell from
    Windows PowerShell 2.0 (Windows 7) to PowerShell 7, in a 32-bit or a 64-bit host alike. The
    folder keeps the rights it inherits: users read the file, administrators write it.

    It refuses a value that Windows would not give back to Kestrane as written: one with blanks at
    either end or quote marks around it (Windows drops them when it reads the file), or one that
    holds a line break (the value would end there). Nothing is written then.

    Every user of the workstation can read the file, and with it the database login's password:
    give that login nothing but SELECT on vcUpgradeSettings (and INSERT on the runs table), or use
    -Authentication Windows, which writes no login and no password at all.

    Set the values below for your site, or give them as parameters (in double quotes from a command
    prompt or a deployment tool's command line), for example
        powershell.exe -NoProfile -ExecutionPolicy Bypass -File .\Write-KestraneSettings.ps1 -Server sqlserver01\TAVIREL
#>
param(
    # Database provider: SQLOLEDB.1 picks the best SQL Server ODBC driver installed.
    [string]$Connector = 'SQLOLEDB.1',
    # The SQL Server: name, name\instance or host,port. Written as Host.
    [string]$Server = 'sqlserver01',
    # SQL: the SQL Server login below; Windows: the signed-in user's Windows identity, and User and
    # Pswd are written empty.
    [ValidateSet('SQL', 'Windows')]
    [string]$Authentication = 'SQL',
    # The SQL Server login (SQL Server authentication) and its password. Written as User and Pswd.
    [string]$User = 'kestrane',
    [string]$Password = 'Ch4nge-Me!',
    # The database that holds vcUpgradeSettings. Written as DBName.
    [string]$Database = 'Tavirel',
    # all: every matching file at each run; changed: only the files that differ from the share's.
    [ValidateSet('all', 'changed')]
    [string]$Refresh = 'all',
    # The table for one row per run (KestraneRuns.sql), such as dbo.KestraneRuns; empty: no row.
    [string]$RunsTable = '',
    # The signer's name that every file must be signed by before it replaces a local copy, such as
    # 'Tavirel Software'; empty: no check. Its certificate's SHA-1 or SHA-256 thumbprints, and the
    # data files that may come unsigned (*.ini;*.txt), each list separated by ;.
    [string]$Publisher = '',
    [string]$PublisherThumbprint = '',
    [string]$Unsigned = ''
)

$ErrorActionPreference = 'Stop'

if ($Authentication -eq 'Windows') {
    $User = ''
    $Password = ''
}

# The root Kestrane searches: the (x86) one whenever it exists, as it does on every 64-bit Windows.
$root = 'C:\Program Files (x86)'
if (-not (Test-Path -LiteralPath $root -PathType Container)) {
    $root = 'C:\Program Files'
}
$folder = Join-Path $root 'Common Files\Microsoft Shared\VUZuze16'
$file = Join-Path $folder 'VUZuze16.cnf'

$lines = @(
    '[Common]'
    "Connector=$Connector"
    "Host=$Server"
    "User=$User"
    "Pswd=$Password"
    "DBName=$Database"
    'SvrCat='
    ''
    '[Kestrane]'
    "Refresh=$Refresh"
    "RunsTable=$RunsTable"
    "Authentication=$Authentication"
    "Publisher=$Publisher"
    "PublisherThumbprint=$PublisherThumbprint"
    "Unsigned=$Unsigned"
)

# Why Windows would hand Kestrane another value than the one written, or nothing when it would not.
function Get-AlteredReason([string]$Value) {
    if ($Value -match '[\r\n]') { return 'it holds a line break, where the value would end' }
    if ($Value -match '^\s|\s$') { return 'Windows drops the blanks at its ends when it reads the file' }
    if ($Value -match '^([''"]).*\1$') { return 'Windows drops the quote marks around it when it reads the file' }
    return $null
}

foreach ($line in $lines) {
    $key, $value = $line -split '=', 2
    if ($null -eq $value) { continue }
    $reason = Get-AlteredReason $value
    if ($reason) { throw "Nothing was written: the value of $key would not reach Kestrane as given: $reason." }
}

New-Item -ItemType Directory -Path $folder -Force | Out-Null
# Unicode is UTF-16 LE with its byte-order mark in Windows PowerShell 5.1 and PowerShell 7 alike.
Set-Content -LiteralPath $file -Value $lines -Encoding Unicode
Write-Output "Wrote $file"
