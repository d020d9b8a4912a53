// The menu shortcut written through the real shell link object of this prefix, read back the way
// the shell would read it.
#include "shortcut/shortcut.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "base/exception.h"
#include "base/text.h"
#include "platform/com_apartment.h"
#include "platform/win32/com_ptr.h"

namespace {

// Runs body on a thread of its own, in a single-threaded apartment as the window's thread is, or
// with no COM at all.
void OnThread(bool initializeCom, const std::function<void()>& body) {
  std::thread([&] {
    std::optional<platform::ComApartment> apartment;
    if (initializeCom) apartment.emplace();
    body();
  }).join();
}

std::filesystem::path Desktop() {
  wchar_t buffer[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer);
  return buffer;
}

std::wstring TargetOf(const std::filesystem::path& link) {
  std::wstring target;
  OnThread(true, [&] {
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.PutVoid())))
      return;
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid()))) return;
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0)))
      target = buffer;
  });
  return target;
}

TEST(Shortcut, WritesTheLinkOnTheUsersOwnDesktop) {
  const std::filesystem::path link = Desktop() / L"TAVIREL MENU.lnk";
  std::filesystem::remove(link);
  // The menu program need not exist: the target is written all the same.
  const std::wstring target = L"C:\\Users\\nobody-here\\AppData\\Local\\tavirel\\tavMENU.exe";
  OnThread(true, [&] { CreateShortcut(std::u16string(target.begin(), target.end()), u"TAVIREL MENU"); });

  ASSERT_TRUE(std::filesystem::exists(link));
  EXPECT_TRUE(_wcsicmp(TargetOf(link).c_str(), target.c_str()) == 0) << TargetOf(link);
  std::filesystem::remove(link);
}

TEST(Shortcut, ObjectThatCannotBeCreatedNamesTheClassAndWritesNothing) {
  const std::filesystem::path link = Desktop() / L"TAVIREL MENU.lnk";
  std::filesystem::remove(link);
  std::u16string message;
  OnThread(false, [&] {
    try {
      CreateShortcut(u"C:\\x\\tavMENU.exe", u"TAVIREL MENU");
    } catch (const EOleException& error) {
      message = error.Message();
    }
  });
  // Without COM on the thread the creation fails with CO_E_NOTINITIALIZED, for which Wine's system
  // message table has no text: the code stands in for it.
  EXPECT_EQ(ToUtf8(message), "OLE error 800401f0, ClassID: {00021401-0000-0000-C000-000000000046}");
  EXPECT_FALSE(std::filesystem::exists(link));
}

}  // namespace
