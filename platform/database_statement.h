#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "platform/utc_time.h"

namespace platform {

// One parameter of a statement: text, a whole number or a moment.
using StatementValue = std::variant<std::u16string, int32_t, UtcTime>;

// How long a statement's connection may take to log in, and the statement to run: one that writes a
// single row takes milliseconds, unless the server has gone or another session holds the table.
struct StatementTimeouts {
  unsigned loginSeconds;
  unsigned statementSeconds;
};

// Opens a connection of its own with connectionString, as the settings query does, runs text once with each "?" marker
// bound to the value in the same place, as a parameter of its type (never pasted into the text), and closes the
// connection. Raises EDatabaseError when the connection fails and EOleException when the statement does, with the
// driver's text.
void ExecuteStatement(const std::u16string& connectionString, const std::u16string& text,
                      std::span<const StatementValue> values, StatementTimeouts timeouts);

}  // namespace platform
