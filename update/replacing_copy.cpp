#include "update/replacing_copy.h"

#include <random>

#include "base/exception.h"
#include "platform/file_replace.h"
#include "platform/system_error.h"
#include "update/file.h"
#include "update/path.h"
#include "update/replacement_policy.h"
#include "update/temporary_name.h"

namespace {

// Names drawn before a folder that answers "exists" to each of them is taken as refusing: with
// 2^32 names, a free folder needs more than one draw about never.
constexpr int kNameDraws = 16;

bool IsNameTaken(uint32_t error) {
  return error == platform::kErrorFileExists || error == platform::kErrorAlreadyExists;
}

// Copies source to a fresh name in folder and returns that name. The copy itself refuses a name
// that exists, so no other file is ever overwritten, whatever the folder answers about its names.
std::u16string CopyToFreshName(const std::u16string& source, const std::u16string& folder, const NameDraw& draw) {
  uint32_t error = 0;
  for (int drawn = 0; drawn < kNameDraws; ++drawn) {
    const std::u16string fresh = folder + TemporaryName(draw());
    error = CopyFileChecked(source, fresh, /*overwrite=*/false);
    if (!error) return fresh;
    if (!IsNameTaken(error)) {
      platform::DiscardFile(fresh);  // a copy that stopped midway leaves part of the file behind
      break;
    }
  }
  throw EInOutError(platform::SystemErrorText(error));
}

}  // namespace

void CopyReplacing(const std::u16string& source, const std::u16string& target, const FreshCopyVetting& vet) {
  std::random_device random;
  CopyReplacing(source, target, vet, [&] { return random(); });
}

void CopyReplacing(const std::u16string& source, const std::u16string& target, const FreshCopyVetting& vet,
                   const NameDraw& draw) {
  // The fresh name passes TFile::Copy's checks in the target's stead; the target's own form
  // (length above all, as its name may be longer) is checked here.
  CheckPathForm(target, kFilePathLimit);
  const std::u16string fresh = CopyToFreshName(source, FolderBeside(target), draw);
  // The copy carries its source's read-only attribute, which decides whether a read-only target
  // is ours to refresh. Its data is on disk before it takes the target's name: a power loss then
  // leaves the old file or the whole new one.
  uint32_t error = RetriedWhileHeld(fresh, [&] { return platform::FlushToDisk(fresh); });
  try {
    if (!error && vet) vet(fresh);
    if (!error) error = TakeTargetsPlace(fresh, target, draw);
  } catch (const Exception&) {
    platform::DiscardFile(fresh);
    throw;
  }
  if (error) {
    platform::DiscardFile(fresh);
    throw EInOutError(platform::SystemErrorText(error));
  }
}
