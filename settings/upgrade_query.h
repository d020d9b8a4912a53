#pragma once

#include "base/slots.h"
#include "platform/database.h"

// The hidden settings query command: connects to the database the database slots describe,
// spreads the first row of vcUpgradeSettings over Edit9..Edit14 and fills Edit1 and Edit2.
void RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection& connection,
                             platform::DatabaseQuery& query);
