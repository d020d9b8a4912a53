#include "update/replacement_policy.h"

#include <chrono>
#include <optional>

#include "base/exception.h"
#include "platform/existence.h"
#include "platform/file_replace.h"
#include "platform/hold.h"
#include "platform/process_clock.h"
#include "platform/system_error.h"
#include "update/path.h"
#include "update/temporary_name.h"

namespace {

using namespace std::chrono_literals;

// Two seconds in all: agents that open every new file look at it for well under a second, while a
// file held by a program that is really using it is reported without keeping the run long.
constexpr std::chrono::milliseconds kHoldRetryDelays[] = {100ms, 200ms, 300ms, 600ms, 800ms};

// Refused by someone who may let go: a file held open, or one whose deletion is still pending.
bool IsHeld(uint32_t error, const std::u16string& name) {
  return platform::HoldOf(error, name) == platform::Hold::Held;
}

// The target makes way under aside and fresh takes its name; refused is the replacement's refusal.
uint32_t ReplaceSettingAside(const std::u16string& fresh, const std::u16string& target, const std::u16string& aside,
                             uint32_t refused) {
  if (platform::RenameFile(target, aside, false)) return refused;
  if (const uint32_t error = platform::RenameFile(fresh, target, false)) {
    // Retried as every move is: a scanner's moment on the name must not leave the program only under
    // its set-aside name.
    if (RetriedWhileHeld(aside, [&] { return platform::RenameFile(aside, target, false); })) {
      throw EInOutError(platform::SystemErrorText(error) + u"; the previous file is kept as " +
                        aside.substr(FolderBeside(aside).size()));
    }
    return refused;
  }
  platform::DiscardFile(aside);  // still in use, it waits for a later run
  return 0;
}

// One try at the replacement. noRoomAside is set when the target itself refused and could not be
// set aside, as its set-aside name does not fit.
uint32_t ReplaceOnce(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw,
                     bool& noRoomAside) {
  const uint32_t refused = platform::RenameFile(fresh, target, true);
  if (!IsHeld(refused, target)) return refused;
  // Only a target that is itself what refuses is moved aside: a fresh copy that someone looks at
  // for a moment is waited for instead.
  if (platform::RenameRefusal(fresh) || !platform::FileExists(target)) return refused;
  const std::optional<std::u16string> aside = SetAsidePath(draw(), target);
  noRoomAside = !aside;
  return aside ? ReplaceSettingAside(fresh, target, *aside, refused) : refused;
}

// The replacement with its retries; a target that stays in use and cannot be set aside is reported
// as such, and keeps its place.
uint32_t Replace(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw) {
  bool noRoomAside = false;
  const uint32_t error = RetriedWhileHeld(target, [&] { return ReplaceOnce(fresh, target, draw, noRoomAside); });
  if (error && noRoomAside) {
    throw EInOutError(platform::SystemErrorText(error) +
                      u"; the file is in use, and its name is too long to move it aside while it is replaced");
  }
  return error;
}

}  // namespace

uint32_t RetriedWhileHeld(const std::u16string& name, const std::function<uint32_t()>& step) {
  uint32_t error = step();
  for (const auto delay : kHoldRetryDelays) {
    if (!IsHeld(error, name)) break;
    platform::Pause(delay);
    error = step();
  }
  return error;
}

uint32_t TakeTargetsPlace(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw) {
  const bool readOnlyTarget = platform::IsReadOnlyFile(target);
  if (!readOnlyTarget) return Replace(fresh, target, draw);
  // Windows refuses both a copy and a rename over a read-only file; Wine lets root do both, so the
  // refusal is made here for the same outcome everywhere. One made read-only over a writable source
  // is kept, as whoever did so meant it to be.
  if (!platform::IsReadOnlyFile(fresh)) return platform::kErrorAccessDenied;
  // The rename needs the attribute gone; it comes back when the target stays.
  if (const uint32_t error = platform::SetReadOnly(target, false)) return error;
  uint32_t error = 0;
  try {
    error = Replace(fresh, target, draw);
  } catch (const Exception&) {
    platform::SetReadOnly(target, true);
    throw;
  }
  if (error) platform::SetReadOnly(target, true);
  return error;
}
