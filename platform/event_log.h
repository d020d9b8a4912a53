#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

enum class EventLevel { Information, Warning, Error };

// Writes one record to the Application event log under source, carrying strings. Event Viewer
// shows them through the message messageId (its full id, severity bits included) once source names
// the program as its message file; unregistered, the record is still written with its strings.
// False when the log refused it: the run never depends on it.
bool WriteEventRecord(const std::u16string& source, EventLevel level, uint32_t messageId,
                      std::span<const std::u16string> strings);

}  // namespace platform
