#include "platform/rules/existence_rules.h"

namespace platform {
namespace {

// Errors that say the path is not there at all.
bool MeansAbsent(uint32_t error) {
  return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorInvalidName;
}

// Errors that say the place the path names cannot be reached: a folder there is taken as absent,
// but a file may still be listed by a search of its folder.
bool MeansUnreachable(uint32_t error) {
  return error == kErrorNotReady || error == kErrorBadNetworkPath || error == kErrorBadNetworkName ||
         error == kErrorBadPathName;
}

bool IsDirectory(uint32_t attributes) { return (attributes & kAttributeDirectory) != 0; }
bool IsReparsePoint(uint32_t attributes) { return (attributes & kAttributeReparsePoint) != 0; }

}  // namespace

bool DirectoryVerdict(const AttributesAnswer& attributes, const std::function<OpenAnswer()>& open) {
  if (!attributes.read) {
    // Any other failure (access denied, say) means something is there.
    return !MeansAbsent(attributes.error) && !MeansUnreachable(attributes.error);
  }
  if (!IsDirectory(attributes.attributes)) return false;
  if (!IsReparsePoint(attributes.attributes)) return true;
  return open().opened;  // a link counts only when its target opens
}

bool FileVerdict(const AttributesAnswer& attributes, const std::function<OpenAnswer()>& open,
                 const std::function<SearchAnswer()>& search) {
  if (!attributes.read) {
    if (MeansAbsent(attributes.error)) return false;
    const SearchAnswer entry = search();
    return entry.found && !IsDirectory(entry.attributes);
  }
  if (IsDirectory(attributes.attributes)) return false;
  if (!IsReparsePoint(attributes.attributes)) return true;
  // A target held open without read sharing is still there.
  const OpenAnswer target = open();
  return target.opened || target.error == kErrorSharingViolation;
}

}  // namespace platform
