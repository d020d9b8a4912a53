#pragma once

#include <cstdint>
#include <functional>

// The decision table of the two existence tests, over what the platform answered. The platform
// layer only asks; the questions it is asked next (open the link, search the folder) are called
// only when the table needs them, so each test touches the path no more than it must.
namespace platform {

// The attribute bits and error codes the table looks at, with the platform's own values.
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorNotReady = 21;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorBadNetworkPath = 53;
inline constexpr uint32_t kErrorBadNetworkName = 67;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorBadPathName = 161;

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
