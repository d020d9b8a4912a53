#include "platform/event_log.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

struct EventSourceTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeregisterEventSource(h); }
};
using UniqueEventSource = UniqueHandle<EventSourceTraits>;

WORD EventType(EventLevel level) {
  switch (level) {
    case EventLevel::Information:
      return EVENTLOG_INFORMATION_TYPE;
    case EventLevel::Warning:
      return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error:
      break;
  }
  return EVENTLOG_ERROR_TYPE;
}

}  // namespace

bool WriteEventRecord(const std::u16string& source, EventLevel level, uint32_t messageId,
                      std::span<const std::u16string> strings) {
  const UniqueEventSource log(RegisterEventSourceW(nullptr, Wide(source)));
  if (!log) return false;
  std::vector<const wchar_t*> pointers;
  for (const std::u16string& string : strings) pointers.push_back(Wide(string));
  return ReportEventW(log.get(), EventType(level), 0, messageId, nullptr, static_cast<WORD>(pointers.size()), 0,
                      pointers.data(), nullptr);
}

}  // namespace platform
