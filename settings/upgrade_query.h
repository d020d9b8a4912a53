#pragma once

#include <string>

#include "base/slots.h"
#include "platform/database.h"

// The connection string of the database the database slots (Edit4..Edit8) describe, logging in as
// Authentication in the settings file asks (raises Exception for a value it does not know).
std::u16string SettingsConnectionString(const SlotStore& slots);

// What the settings query came to, for the run's outcome.
struct SettingsQueryResult {
  bool connected = false;  // the connection to the database was made
  // Why no row was read: the driver's message, "Failed to connect to the database." or "No records
  // found."; empty when the query read its row.
  std::u16string failure;
};

// The hidden settings query command: connects to the database the database slots describe,
// spreads the first row of vcUpgradeSettings over Edit9..Edit14 and fills Edit1 and Edit2.
SettingsQueryResult RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection& connection,
                                            platform::DatabaseQuery& query);
