#include "platform/file_holders.h"

#include <windows.h>
// After windows.h.
#include <restartmanager.h>

#include <string>

#include "base/text.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// A Restart Manager session, ended on every path.
class RestartManagerSession {
 public:
  RestartManagerSession() {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    error_ = RmStartSession(&handle_, 0, key);
  }
  ~RestartManagerSession() {
    if (!error_) RmEndSession(handle_);
  }
  RestartManagerSession(const RestartManagerSession&) = delete;
  RestartManagerSession& operator=(const RestartManagerSession&) = delete;
  DWORD Error() const { return error_; }
  DWORD Handle() const { return handle_; }

 private:
  DWORD handle_ = 0;
  DWORD error_ = 0;
};

}  // namespace

FileHolders ProcessesHolding(const std::u16string& path) {
  const RestartManagerSession session;
  if (session.Error()) return {.error = session.Error()};
  std::wstring file(Wide(path));
  LPCWSTR files[] = {file.c_str()};
  if (const DWORD error = RmRegisterResources(session.Handle(), 1, files, 0, nullptr, 0, nullptr))
    return {.error = error};
  // The holders may change between asking how many there are and reading them: asked again then.
  std::vector<RM_PROCESS_INFO> found;
  DWORD error = ERROR_MORE_DATA;
  for (int tries = 0; error == ERROR_MORE_DATA && tries < 3; ++tries) {
    UINT needed = 0, count = static_cast<UINT>(found.size());
    DWORD reasons = 0;
    error = RmGetList(session.Handle(), &needed, &count, found.data(), &reasons);
    if (error == ERROR_MORE_DATA) found.resize(needed);
    if (!error) found.resize(count);
  }
  if (error) return {.error = error};
  FileHolders holders;
  for (const RM_PROCESS_INFO& process : found) {
    holders.processes.push_back(FromWide(process.strAppName) + u", process " +
                                FromUtf8(std::to_string(process.Process.dwProcessId)));
  }
  return holders;
}

}  // namespace platform
