#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

enum class EventLevel { Information, Warning, Error };

// Writes one record to the Application event log under source, carrying strings. Event Viewer
// shows them through the message of eventId once source names the program as its message file;
// unregistered, the record is still written with its strings. A record that cannot be written is
// left out: the run never depends on it.
void WriteEventRecord(const std::u16string& source, EventLevel level, uint32_t eventId,
                      std::span<const std::u16string> strings);

}  // namespace platform
