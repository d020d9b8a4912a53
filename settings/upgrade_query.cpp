#include "settings/upgrade_query.h"

// PENDING: placeholder until the upgrade settings query lands.
void RunUpgradeSettingsQuery(SlotStore& slots, platform::DatabaseConnection&, platform::DatabaseQuery&) {
  slots.Write(Slot::Edit1, slots.Read(Slot::Edit12) + u":" + slots.Read(Slot::Edit14));
  slots.Write(Slot::Edit2, slots.Read(Slot::Edit4));
}
