#include "update/replacing_copy.h"

#include <random>

#include "base/exception.h"
#include "platform/existence.h"
#include "platform/file_replace.h"
#include "platform/system_error.h"
#include "update/file.h"
#include "update/path.h"
#include "update/temporary_name.h"

namespace {

// A name in target's own folder that nothing uses yet, so the final step is a rename within one
// volume and never meets a file of someone else's.
std::u16string UnusedNameBeside(const std::u16string& target) {
  const size_t separator = target.find_last_of(u"\\/");
  std::u16string folder;
  if (separator != std::u16string::npos)
    folder = target.substr(0, separator + 1);
  else if (target.size() >= 2 && target[1] == u':')
    folder = target.substr(0, 2);
  std::random_device random;
  for (;;) {
    const std::u16string candidate = folder + TemporaryName(random());
    if (!platform::FileExists(candidate) && !platform::DirectoryExists(candidate)) return candidate;
  }
}

}  // namespace

void CopyReplacing(const std::u16string& source, const std::u16string& target) {
  // The fresh name passes TFile::Copy's checks in the target's stead; the target's own form
  // (length above all, as its name may be longer) is checked here.
  CheckPathForm(target, kFilePathLimit);
  const std::u16string fresh = UnusedNameBeside(target);
  try {
    TFile::Copy(source, fresh, /*overwrite=*/false);
  } catch (...) {
    platform::DiscardFile(fresh);  // a copy that stopped midway leaves part of the file behind
    throw;
  }
  // The copy carries its source's read-only attribute, which decides whether a read-only target
  // is ours to refresh.
  if (const uint32_t error = platform::MoveReplacing(fresh, target)) {
    platform::DiscardFile(fresh);
    throw EInOutError(platform::SystemErrorText(error));
  }
}
