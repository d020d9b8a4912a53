#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "platform/utc_time.h"

namespace platform {

// One parameter of a statement: text, a whole number or a moment.
using StatementValue = std::variant<std::u16string, int32_t, UtcTime>;

// How long a statement may run: one that writes a single row takes milliseconds, unless the server
// has gone or another session holds the table.
constexpr unsigned kStatementTimeoutSeconds = 10;

// Opens a connection of its own with connectionString, as the settings query does (15-second login
// time-out), runs text once with each "?" marker bound to the value in the same place, as a
// parameter of its type (never pasted into the text), and closes the connection. Raises
// EDatabaseError when the connection fails and EOleException when the statement does, with the
// driver's text.
void ExecuteStatement(const std::u16string& connectionString, const std::u16string& text,
                      std::span<const StatementValue> values);

}  // namespace platform
