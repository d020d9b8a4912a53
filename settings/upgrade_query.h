#pragma once

#include "base/slots.h"
#include "platform/database.h"

// The connection string of the database the database slots (Edit4..Edit8) describe, logging in as
// Authentication in the settings file asks (raises Exception for a value it does not know).
std::u16string SettingsConnectionString(const SlotStore& slots);

// The hidden settings query command: connects to the database the database slots describe,
// spreads the first row of vcUpgradeSettings over Edit9..Edit14 and fills Edit1 and Edit2.
void RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection& connection,
                             platform::DatabaseQuery& query);
