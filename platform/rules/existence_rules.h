#pragma once

#include <cstdint>
#include <functional>

#include "platform/system_error.h"

// The decision table of the two existence tests, over what the platform answered. The platform
// layer only asks; the questions it is asked next (open the link, search the folder) are called
// only when the table needs them, so each test touches the path no more than it must.
namespace platform {

// The attribute bits the table looks at, with the platform's own values; the error codes it
// looks at are the system's (platform/system_error.h).
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

// The attributes of the path, or the error code when they could not be read.
struct AttributesAnswer {
  bool read = false;
  uint32_t attributes = 0;
  uint32_t error = 0;
};

// Opening the path (the link's target): the error code when it did not open.
struct OpenAnswer {
  bool opened = false;
  uint32_t error = 0;
};

// Searching for the path: the first entry found, if any.
struct SearchAnswer {
  bool found = false;
  uint32_t attributes = 0;
};

bool DirectoryVerdict(const AttributesAnswer& attributes, const std::function<OpenAnswer()>& open);
bool FileVerdict(const AttributesAnswer& attributes, const std::function<OpenAnswer()>& open,
                 const std::function<SearchAnswer()>& search);

}  // namespace platform
