#include "update/replacement_policy.h"

#include <chrono>

#include "base/exception.h"
#include "platform/existence.h"
#include "platform/file_replace.h"
#include "platform/process_clock.h"
#include "platform/system_error.h"
#include "update/path.h"
#include "update/temporary_name.h"

namespace {

using namespace std::chrono_literals;

// Two seconds in all: agents that open every new file look at it for well under a second, while a
// file held by a program that is really using it is reported without keeping the run long.
constexpr std::chrono::milliseconds kHoldRetryDelays[] = {100ms, 200ms, 300ms, 600ms, 800ms};

bool IsHold(uint32_t error) {
  return error == platform::kErrorAccessDenied || error == platform::kErrorSharingViolation;
}

// Where a target makes way: beside it, under a name that carries its own when the path has room.
std::u16string AsidePath(const std::u16string& target, uint32_t number) {
  const std::u16string folder = FolderBeside(target);
  const std::u16string tagged = folder + SetAsideName(number, target.substr(folder.size()));
  return tagged.size() < kFilePathLimit ? tagged : folder + TemporaryName(number);
}

// The target makes way under aside and fresh takes its name; refused is the replacement's refusal.
uint32_t ReplaceSettingAside(const std::u16string& fresh, const std::u16string& target, const std::u16string& aside,
                             uint32_t refused) {
  if (platform::RenameFile(target, aside, false)) return refused;
  if (const uint32_t error = platform::RenameFile(fresh, target, false)) {
    if (platform::RenameFile(aside, target, false)) {
      throw EInOutError(platform::SystemErrorText(error) + u"; the previous file is kept as " +
                        aside.substr(FolderBeside(aside).size()));
    }
    return refused;
  }
  platform::DiscardFile(aside);  // still in use, it waits for a later run
  return 0;
}

uint32_t ReplaceOnce(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw) {
  const uint32_t refused = platform::RenameFile(fresh, target, true);
  if (!IsHold(refused)) return refused;
  // Only a target that is itself what refuses is moved aside: a fresh copy that someone looks at
  // for a moment is waited for instead.
  if (platform::RenameRefusal(fresh) || !platform::FileExists(target)) return refused;
  return ReplaceSettingAside(fresh, target, AsidePath(target, draw()), refused);
}

}  // namespace

uint32_t RetriedWhileHeld(const std::function<uint32_t()>& step) {
  uint32_t error = step();
  for (const auto delay : kHoldRetryDelays) {
    if (!IsHold(error)) break;
    platform::Pause(delay);
    error = step();
  }
  return error;
}

uint32_t TakeTargetsPlace(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw) {
  const bool readOnlyTarget = platform::IsReadOnlyFile(target);
  if (!readOnlyTarget) return RetriedWhileHeld([&] { return ReplaceOnce(fresh, target, draw); });
  // Windows refuses both a copy and a rename over a read-only file; Wine lets root do both, so the
  // refusal is made here for the same outcome everywhere. One made read-only over a writable source
  // is kept, as whoever did so meant it to be.
  if (!platform::IsReadOnlyFile(fresh)) return platform::kErrorAccessDenied;
  // The rename needs the attribute gone; it comes back when the target stays.
  if (const uint32_t error = platform::SetReadOnly(target, false)) return error;
  const uint32_t error = RetriedWhileHeld([&] { return ReplaceOnce(fresh, target, draw); });
  if (error) platform::SetReadOnly(target, true);
  return error;
}
