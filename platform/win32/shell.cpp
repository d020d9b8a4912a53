#include "platform/shell.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <cstdio>

#include "base/exception.h"
#include "base/text.h"
#include "platform/system_error.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

const char16_t kShellLinkClassId[] = u"{00021401-0000-0000-C000-000000000046}";

// The system's text for a failure code, or "OLE error " and the code in eight hex digits when the
// system has none.
std::u16string OleErrorText(HRESULT code) {
  std::u16string text = SystemErrorText(static_cast<uint32_t>(code));
  if (!text.empty()) return text;
  char hex[9];
  std::snprintf(hex, sizeof(hex), "%.8lx", static_cast<unsigned long>(code));
  return u"OLE error " + FromAscii(hex);
}

class Win32ShellLink : public ShellLink {
 public:
  explicit Win32ShellLink(ComPtr<IUnknown> object) : object_(std::move(object)) {
    if (FAILED(object_->QueryInterface(IID_IShellLinkW, link_.PutVoid()))) throw Exception(u"Interface not supported");
  }

  void SetPath(const std::u16string& target) override { link_->SetPath(Wide(target)); }

  void Save(const std::u16string& fileName) override {
    if (FAILED(link_->QueryInterface(IID_IPersistFile, file_.PutVoid()))) throw Exception(u"Interface not supported");
    file_->Save(Wide(fileName), FALSE);
  }

 private:
  ComPtr<IUnknown> object_;
  ComPtr<IShellLinkW> link_;
  ComPtr<IPersistFile> file_;
};

// Runs lookup with the shell library's function name, loaded for that lookup alone: linked to the
// program, the library would stay loaded for the whole run, for two lookups. A known DLL, it always
// comes from the system folder.
template <typename Function, typename Lookup>
void WithShellFunction(const char* name, Lookup lookup) {
  const UniqueModule shell(LoadLibraryW(L"shell32.dll"));
  if (!shell) return;
  if (const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(shell.get(), name))))
    lookup(function);
}

struct CoTaskMemoryTraits {
  using Type = PWSTR;
  static Type Invalid() { return nullptr; }
  static void Close(Type text) { CoTaskMemFree(text); }
};

}  // namespace

std::u16string UserDesktopFolder() {
  wchar_t buffer[MAX_PATH] = {};
  WithShellFunction<decltype(&SHGetFolderPathW)>("SHGetFolderPathW", [&](auto getFolderPath) {
    getFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer);
  });
  return FromWide(buffer);
}

std::u16string LocalAppDataFolder() {
  std::u16string folder;
  WithShellFunction<decltype(&SHGetKnownFolderPath)>("SHGetKnownFolderPath", [&](auto getKnownFolderPath) {
    PWSTR path = nullptr;
    const HRESULT result = getKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    const UniqueHandle<CoTaskMemoryTraits> owned(path);  // freed even when the call failed
    if (SUCCEEDED(result)) folder = FromWide(path);
  });
  return folder;
}

std::unique_ptr<ShellLink> ShellLink::Create() {
  ComPtr<IUnknown> object;
  const HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                          IID_IUnknown, object.PutVoid());
  if (FAILED(result)) throw EOleException(OleErrorText(result) + u", ClassID: " + kShellLinkClassId);
  return std::make_unique<Win32ShellLink>(std::move(object));
}

}  // namespace platform
