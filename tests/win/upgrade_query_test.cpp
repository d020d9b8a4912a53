// The settings query, and the database layer under it, against real databases through ODBC: SQLite
// through its ODBC driver as a data source, and FreeTDS against the stand-in SQL Server that
// with_database_world.py starts.
#include "settings/upgrade_query.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/text.h"
#include "platform/rules/connection_string.h"
#include "tests/win/memory_slot_store.h"

namespace {

using platform::BuildConnectionString;
using platform::DatabaseLogin;

std::u16string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value ? FromAscii(value) : std::u16string();
}

// The slots after one run of the command, on fresh database objects that are released after it.
MemorySlotStore RunQuery(MemorySlotStore slots) {
  const auto connection = platform::DatabaseConnection::Create();
  const auto query = platform::DatabaseQuery::Create();
  RunUpgradeSettingsQuery(slots, *connection, *query);
  return slots;
}

MemorySlotStore DatabaseSlots(const std::u16string& provider, const std::u16string& user,
                              const std::u16string& password, const std::u16string& catalog,
                              const std::u16string& server) {
  return {{Slot::Edit8, provider},
          {Slot::Edit5, user},
          {Slot::Edit6, password},
          {Slot::Edit7, catalog},
          {Slot::Edit4, server}};
}

// The slots the command writes, in one text that a failure shows whole.
std::string Written(const SlotStore& slots) {
  std::string text;
  for (Slot slot :
       {Slot::Edit9, Slot::Edit10, Slot::Edit11, Slot::Edit12, Slot::Edit13, Slot::Edit14, Slot::Edit1, Slot::Edit2}) {
    text += ToUtf8(slots.Read(slot)) + "|";
  }
  return text;
}

const std::u16string kSettingsColumns =
    u"FTPHost TEXT, FTPUser TEXT, FTPPswd TEXT, FTPPath TEXT, "
    u"DownloadPath TEXT, TempEXEPath TEXT";

class SqliteDataSource : public testing::Test {
 protected:
  // Rebuilds the test database with the statements, through the same ODBC layer.
  static void Prepare(const std::vector<std::u16string>& statements) try {
    const auto connection = platform::DatabaseConnection::Create();
    connection->SetConnectionString(u"Provider=MSDASQL.1;Data Source=" + Dsn());
    connection->Open();
    for (const std::u16string& sql : statements) {
      const auto query = platform::DatabaseQuery::Create();
      query->SetConnection(*connection);
      query->SetText(sql);
      query->Open();
    }
  } catch (const Exception& error) {
    FAIL() << ToUtf8(error.Message());
  }
  static std::u16string Dsn() { return EnvironmentText("KESTRANE_SQLITE_DSN"); }
  // A data source names its own database file; the login and catalog a settings file gives are
  // handed on all the same.
  static MemorySlotStore Run() { return RunQuery(DatabaseSlots(u"MSDASQL", u"tav", u"pw", u"TavDB", Dsn())); }
};

TEST_F(SqliteDataSource, FirstRowSpreadsOverTheSlots) {
  struct Case {
    const char* name;
    std::vector<std::u16string> setup;
    std::string written;  // Edit9..Edit14, Edit1, Edit2
  } cases[] = {
      {"one row",
       {u"CREATE TABLE vcUpgradeSettings (" + kSettingsColumns + u")",
        u"INSERT INTO vcUpgradeSettings VALUES ('fs01', 'tavuser', 'pw', 'G', 'tav*.exe', '\\Tavirel')"},
       "fs01|tavuser|pw|G|tav*.exe|\\Tavirel|G:\\Tavirel|KestraneTest|"},
      {"several rows: the first",
       {u"CREATE TABLE vcUpgradeSettings (" + kSettingsColumns + u")",
        u"INSERT INTO vcUpgradeSettings VALUES ('fs01', 'u1', 'p1', 'G', '*.exe', '\\A')",
        u"INSERT INTO vcUpgradeSettings VALUES ('fs02', 'u2', 'p2', 'H', '*.dll', '\\B')"},
       "fs01|u1|p1|G|*.exe|\\A|G:\\A|KestraneTest|"},
      {"NULL folder and drive; text beyond ASCII",
       {u"CREATE TABLE vcUpgradeSettings (" + kSettingsColumns + u")",
        u"INSERT INTO vcUpgradeSettings VALUES ('fs01', NULL, '', NULL, 'x' || char(233, 128512), NULL)"},
       "fs01||||x\xC3\xA9\xF0\x9F\x98\x80||:|KestraneTest|"},
      {"columns in other letter case",
       {u"CREATE TABLE vcUpgradeSettings (ftphost TEXT, FTPUSER TEXT, ftppswd TEXT, FtpPath TEXT, "
        u"downloadpath TEXT, TEMPEXEPATH TEXT, Extra TEXT)",
        u"INSERT INTO vcUpgradeSettings VALUES ('fs01', 'u', 'p', 'G', '*.exe', '\\A', 'x')"},
       "fs01|u|p|G|*.exe|\\A|G:\\A|KestraneTest|"},
      {"no row",
       {u"CREATE TABLE vcUpgradeSettings (" + kSettingsColumns + u")"},
       "No records found.||||||:|KestraneTest|"},
      {"no table", {}, "Error: [SQLite]no such table: vcUpgradeSettings (1)||||||:|KestraneTest|"},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> setup = {u"DROP TABLE IF EXISTS vcUpgradeSettings"};
    setup.insert(setup.end(), c.setup.begin(), c.setup.end());
    Prepare(setup);
    EXPECT_EQ(Written(Run()), c.written) << c.name;
  }
}

class StandInServer : public testing::Test {
 protected:
  static std::u16string Server(const char* portVariable) { return u"127.0.0.1," + EnvironmentText(portVariable); }
  // The stand-in's main login: its password holds ";", both quote marks, "=" and "}".
  static MemorySlotStore Slots(const std::u16string& catalog, const char* portVariable = "KESTRANE_TDS_PORT",
                               const std::u16string& password = u"Tav;el=\"x'}") {
    return DatabaseSlots(u"SQLOLEDB.1", u"tav", password, catalog, Server(portVariable));
  }
  // A plain login to the database that counts the server's open connections.
  static DatabaseLogin SessionsLogin() {
    return {.provider = u"SQLOLEDB.1",
            .user = u"plain",
            .password = u"pw",
            .catalog = u"Sessions",
            .server = Server("KESTRANE_TDS_PORT")};
  }
};

TEST_F(StandInServer, ReadsTheFirstRowThroughFreeTds) {
  const std::string server = ToUtf8(Server("KESTRANE_TDS_PORT"));
  EXPECT_EQ(Written(RunQuery(Slots(u"Updates"))),
            "fs01|tavuser|tavpass|G|tav*.exe|\\Tavirel|G:\\Tavirel|" + server + "|");
  // What reached the server: the query line with its CR LF, the login and the database.
  const MemorySlotStore echo = RunQuery(Slots(u"Echo"));
  EXPECT_EQ(echo.Read(Slot::Edit9),
            u"SELECT FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath FROM vcUpgradeSettings\r\n");
  EXPECT_EQ(echo.Read(Slot::Edit10), u"tav");
  EXPECT_EQ(echo.Read(Slot::Edit12), u"Echo");
}

// The logins whose passwords hold braces (with_database_world.py): each reaches the server whole.
TEST_F(StandInServer, PasswordsWithBracesLogInThroughFreeTds) {
  const std::pair<std::u16string, std::u16string> logins[] = {
      {u"tav", u"Tav;el=\"x'}"}, {u"closing", u"p}w"}, {u"opening", u"{p}"}};
  for (const auto& [user, password] : logins) {
    const MemorySlotStore slots =
        RunQuery(DatabaseSlots(u"SQLOLEDB.1", user, password, u"Echo", Server("KESTRANE_TDS_PORT")));
    EXPECT_EQ(slots.Read(Slot::Edit10), user) << ToUtf8(slots.Read(Slot::Edit9));
  }
  // FreeTDS would end this value at its "};" and take "Port=1" for the port: refused instead.
  const MemorySlotStore refused =
      RunQuery(DatabaseSlots(u"SQLOLEDB.1", u"tav", u"x};Port=1", u"Echo", Server("KESTRANE_TDS_PORT")));
  EXPECT_EQ(refused.Read(Slot::Edit9), u"Error: The FreeTDS driver cannot take a PWD that holds \"};\"");
}

TEST_F(StandInServer, FailuresEndInEdit9AndTheSummaryIsStillFilled) {
  const std::string server = ToUtf8(Server("KESTRANE_TDS_PORT"));
  struct Case {
    const char* name;
    MemorySlotStore slots;
    std::string written;
  } cases[] = {
      {"login refused", Slots(u"Updates", "KESTRANE_TDS_PORT", u"Tav;el"),
       "Error: [FreeTDS][SQL Server]Login failed for user 'tav'||||||:|" + server + "|"},
      {"no such table", Slots(u"Elsewhere"),
       "Error: [FreeTDS][SQL Server]Invalid object name 'vcUpgradeSettings'||||||:|" + server + "|"},
      // The slots of the columns read before the missing one are written; the rest keep theirs.
      {"a column missing from the result",
       [] {
         MemorySlotStore slots = Slots(u"Incomplete");
         slots.Write(Slot::Edit13, u"kept");
         return slots;
       }(),
       "Error: ADOQuery1: Field 'TempEXEPath' not found|tavuser|tavpass|G|kept||G:|" + server + "|"},
      {"nothing listening", Slots(u"Updates", "KESTRANE_TDS_CLOSED_PORT"),
       "Error: [FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist||||||:|" +
           ToUtf8(Server("KESTRANE_TDS_CLOSED_PORT")) + "|"},
      {"provider not installed", DatabaseSlots(u"Microsoft.Jet.OLEDB.4.0", u"tav", u"", u"", u"db"),
       "Error: Provider cannot be found. It may not be properly installed||||||:|db|"},
      // No settings file: every database slot empty, so no provider is named.
      {"no settings", MemorySlotStore(), "Error: Provider cannot be found. It may not be properly installed||||||:||"},
  };
  for (const Case& c : cases) EXPECT_EQ(Written(RunQuery(c.slots)), c.written) << c.name;
}

// The stand-in's count of the connections its clients hold open, read through this one.
std::u16string OpenSessions(platform::DatabaseConnection& connection) {
  const auto query = platform::DatabaseQuery::Create();
  query->SetConnection(connection);
  query->SetText(u"SELECT FTPHost FROM vcUpgradeSettings");
  query->Open();
  return query->FieldAsText(u"FTPHost");
}

TEST_F(StandInServer, OpeningAgainClosesWhatTheFirstOpenOpened) {
  const auto connection = platform::DatabaseConnection::Create();
  connection->SetConnectionString(BuildConnectionString(SessionsLogin()));
  connection->Open();
  connection->Open();
  EXPECT_TRUE(connection->Connected());
  EXPECT_EQ(OpenSessions(*connection), u"1");
}

// Whether it fails in the driver or before reaching one, a second open reports its own failure and
// leaves nothing of the first open behind.
TEST_F(StandInServer, AFailedSecondOpenLeavesTheConnectionClosed) {
  DatabaseLogin wrongPassword = SessionsLogin();
  wrongPassword.password = u"wrong";
  DatabaseLogin noProvider = SessionsLogin();
  noProvider.provider = u"SQLOLEDBjunk";
  for (const DatabaseLogin& second : {wrongPassword, noProvider}) {
    const auto connection = platform::DatabaseConnection::Create();
    connection->SetConnectionString(BuildConnectionString(SessionsLogin()));
    connection->Open();
    connection->SetConnectionString(BuildConnectionString(second));
    EXPECT_THROW(connection->Open(), EDatabaseError) << ToUtf8(second.provider);
    EXPECT_FALSE(connection->Connected()) << ToUtf8(second.provider);
    const auto observer = platform::DatabaseConnection::Create();
    observer->SetConnectionString(BuildConnectionString(SessionsLogin()));
    observer->Open();
    EXPECT_EQ(OpenSessions(*observer), u"1") << ToUtf8(second.provider);
  }
}

// A query opened again after a good open must not answer from the rows of the first.
TEST_F(StandInServer, AFailedReopenOfTheQueryKeepsNoRowsOfTheFirst) {
  const auto connection = platform::DatabaseConnection::Create();
  connection->SetConnectionString(BuildConnectionString(SessionsLogin()));
  connection->Open();
  const auto query = platform::DatabaseQuery::Create();
  query->SetConnection(*connection);
  query->SetText(u"SELECT FTPHost FROM vcUpgradeSettings");
  query->Open();
  ASSERT_FALSE(query->Eof());
  DatabaseLogin wrongPassword = SessionsLogin();
  wrongPassword.password = u"wrong";
  connection->SetConnectionString(BuildConnectionString(wrongPassword));
  EXPECT_THROW(connection->Open(), EDatabaseError);
  EXPECT_THROW(query->Open(), EOleException);  // on a closed connection
  EXPECT_TRUE(query->Eof());
}

// The two slow cases, each bounded by its own time-out (a driver's own default would be far longer,
// or for ever): a server that accepts the connection and never answers holds the open for the
// 15-second login time-out; one that logs in and then never answers the query holds it for the
// 30-second query time-out, and acknowledges the cancel.
TEST_F(StandInServer, SilentServersTimeOutAtTheirTimeOuts) {
  const struct {
    const char16_t* database;
    const char* portVariable;
    std::chrono::seconds least, most;
  } cases[] = {
      {u"Updates", "KESTRANE_TDS_SILENT_PORT", std::chrono::seconds(14), std::chrono::seconds(45)},
      {u"Silent", "KESTRANE_TDS_PORT", std::chrono::seconds(29), std::chrono::seconds(55)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.portVariable);
    const auto start = std::chrono::steady_clock::now();
    const MemorySlotStore slots = RunQuery(Slots(c.database, c.portVariable));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(slots.Read(Slot::Edit9), u"Error: [FreeTDS][SQL Server]Timeout expired");
    EXPECT_EQ(slots.Read(Slot::Edit1), u":");
    EXPECT_GE(waited, c.least);
    EXPECT_LT(waited, c.most);
  }
}

}  // namespace
