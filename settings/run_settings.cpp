#include "settings/run_settings.h"

#include "settings/runs_table.h"

RunSettings JudgeRunSettings(const std::u16string& refresh, const std::u16string& runsTable, PublisherPin pin) {
  return {.refresh = ParseRefreshMode(refresh),
          .runsTable = QuotedRunsTable(runsTable),
          .runsTableAsNamed = runsTable,
          .pin = std::move(pin)};
}
