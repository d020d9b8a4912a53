#include "settings/upgrade_query.h"

#include <exception>
#include <string_view>
#include <utility>

#include "base/exception.h"
#include "base/text.h"
#include "platform/rules/connection_string.h"
#include "settings/authentication.h"
#include "settings/settings_file.h"

namespace {

constexpr std::u16string_view kQueryLine =
    u"SELECT FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath FROM vcUpgradeSettings";

// Read in this order, each slot written as soon as its column is read: when a column is missing,
// the slots of the columns before it already hold their values.
constexpr std::pair<std::u16string_view, Slot> kColumns[] = {
    {u"FTPHost", Slot::Edit9},  {u"FTPUser", Slot::Edit10},     {u"FTPPswd", Slot::Edit11},
    {u"FTPPath", Slot::Edit12}, {u"TempEXEPath", Slot::Edit14}, {u"DownloadPath", Slot::Edit13},
};

// Sets result.connected as soon as the connection is made; returns the failure the slot shows.
std::u16string QueryIntoSlots(SlotStore& slots, platform::DatabaseConnection& connection,
                              platform::DatabaseQuery& query, SettingsQueryResult& result) {
  connection.Open();
  if (!connection.Connected()) {
    const std::u16string failure = u"Failed to connect to the database.";
    slots.Write(Slot::Edit9, failure);
    return failure;
  }
  result.connected = true;
  slots.Write(Slot::Edit9, u"Connected to the database.");
  query.SetConnection(connection);
  // The query keeps its text as a list of lines, and a list's text ends every line with CR LF.
  query.SetText(std::u16string(kQueryLine) + u"\r\n");
  query.Open();
  slots.Write(Slot::Edit9, slots.Read(Slot::Edit9) + u"\r\nQuery executed successfully.");
  if (query.Eof()) {
    const std::u16string failure = u"No records found.";
    slots.Write(Slot::Edit9, failure);
    return failure;
  }
  for (const auto& [column, slot] : kColumns) slots.Write(slot, query.FieldAsText(std::u16string(column)));
  return {};
}

}  // namespace

std::u16string SettingsConnectionString(const SlotStore& slots) {
  return platform::BuildConnectionString(
      {.provider = slots.Read(Slot::Edit8),
       .user = slots.Read(Slot::Edit5),
       .password = slots.Read(Slot::Edit6),
       .catalog = slots.Read(Slot::Edit7),
       .server = slots.Read(Slot::Edit4),
       .windowsAuthentication = ParseAuthentication(gKestraneAuthentication) == Authentication::Windows});
}

SettingsQueryResult RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection& connection,
                                            platform::DatabaseQuery& query) {
  SettingsQueryResult result;
  try {
    // An Authentication value it does not know stops the query as a failed login would; a login the
    // string cannot carry fails at the open.
    connection.SetConnectionString(SettingsConnectionString(slots));
    result.failure = QueryIntoSlots(slots, connection, query, result);
  } catch (const Exception& error) {
    result.failure = error.Message();
    slots.Write(Slot::Edit9, u"Error: " + result.failure);
  } catch (const std::exception& error) {
    result.failure = FromUtf8(error.what());
    slots.Write(Slot::Edit9, u"Error: " + result.failure);
  }
  slots.Write(Slot::Edit1, SourceFolder(slots));
  slots.Write(Slot::Edit2, slots.Read(Slot::Edit4));
  return result;
}
