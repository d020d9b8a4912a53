#include "platform/folder_update_lock.h"

#include <windows.h>

#include <cstdint>

#include "base/exception.h"
#include "platform/files.h"
#include "platform/system_error.h"
#include "platform/win32/answering_wait.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// A mutex name holds no backslash and at most MAX_PATH characters, so the folder goes in as a
// hash of its full path, upper-cased as the file system compares names.
std::u16string MutexName(const std::u16string& folder) {
  std::u16string path = ExpandFullPath(folder).path;
  if (path.empty()) path = folder;
  // Upper-casing keeps the length and may work in place; a failure leaves the spelling as it was.
  const int length = static_cast<int>(path.size());
  LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, Wide(path), length, Wide(path), length, nullptr, nullptr, 0);
  uint64_t hash = 0xcbf29ce484222325;  // FNV-1a
  for (char16_t unit : path) {
    hash = (hash ^ static_cast<uint8_t>(unit)) * 0x100000001b3;
    hash = (hash ^ static_cast<uint8_t>(unit >> 8)) * 0x100000001b3;
  }
  // Global: two sessions of one user update one folder.
  std::u16string name = u"Global\\Kestrane.FolderUpdate.";
  for (int shift = 60; shift >= 0; shift -= 4) name += u"0123456789ABCDEF"[(hash >> shift) & 0xF];
  return name;
}

class HeldFolderUpdateLock final : public FolderUpdateLock {
 public:
  explicit HeldFolderUpdateLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
  // Closing the handle alone would keep the mutex owned until this thread ends.
  ~HeldFolderUpdateLock() override { ReleaseMutex(mutex_.get()); }

 private:
  UniqueKernelHandle mutex_;
};

}  // namespace

std::unique_ptr<FolderUpdateLock> FolderUpdateLock::Acquire(const std::u16string& folder) {
  UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, Wide(MutexName(folder))));
  if (!mutex) throw Exception(SystemErrorText(GetLastError()));
  // Abandoned, the mutex comes from a run that was killed midway: the folder is free all the same,
  // and what that run left behind is for the leftover cleanup.
  const DWORD result = WaitAnswering(mutex.get());
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED_0) throw Exception(SystemErrorText(GetLastError()));
  return std::make_unique<HeldFolderUpdateLock>(std::move(mutex));
}

}  // namespace platform
