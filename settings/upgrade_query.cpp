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

void QueryIntoSlots(SlotStore& slots, platform::DatabaseConnection& connection, platform::DatabaseQuery& query) {
  connection.Open();
  if (!connection.Connected()) {
    slots.Write(Slot::Edit9, u"Failed to connect to the database.");
    return;
  }
  slots.Write(Slot::Edit9, u"Connected to the database.");
  query.SetConnection(connection);
  // The query keeps its text as a list of lines, and a list's text ends every line with CR LF.
  query.SetText(std::u16string(kQueryLine) + u"\r\n");
  query.Open();
  slots.Write(Slot::Edit9, slots.Read(Slot::Edit9) + u"\r\nQuery executed successfully.");
  if (query.Eof()) {
    slots.Write(Slot::Edit9, u"No records found.");
    return;
  }
  for (const auto& [column, slot] : kColumns) slots.Write(slot, query.FieldAsText(std::u16string(column)));
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

void RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection& connection,
                             platform::DatabaseQuery& query) {
  try {
    // An Authentication value it does not know stops the query as a failed login would; a login the
    // string cannot carry fails at the open.
    connection.SetConnectionString(SettingsConnectionString(slots));
    QueryIntoSlots(slots, connection, query);
  } catch (const Exception& error) {
    slots.Write(Slot::Edit9, u"Error: " + error.Message());
  } catch (const std::exception& error) {
    slots.Write(Slot::Edit9, u"Error: " + FromUtf8(error.what()));
  }
  slots.Write(Slot::Edit1, SourceFolder(slots));
  slots.Write(Slot::Edit2, slots.Read(Slot::Edit4));
}
