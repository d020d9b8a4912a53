// The disconnect and map steps against Wine's mpr, served by the stand-in network provider that
// ctest registers in this prefix (tests/fixtures/share_provider.c). The provider accepts one
// account and maps a share to a folder, so a connected letter really reads the share's files.
#include "update/share_connection.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winnetwk.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/drive_connection.h"
#include "tests/win/recording_log.h"
#include "tests/win/scratch.h"
#include "tests/win/wine_host.h"

namespace {

const wchar_t kParameters[] = L"System\\CurrentControlSet\\Services\\KestraneTestShare\\Parameters";
const std::u16string kDisconnected = u"Drive S: Disconnected Successfully.";
const std::u16string kNotDisconnected = u"Failed To Disconnect Drive S:.";
const std::u16string kMapped = u"Drive Mapped Successfully.";
const std::u16string kNotMapped = u"Failed To Map Drive. Check Credentials And Try Again.";

void SetText(const std::wstring& subKey, const std::wstring& name, const std::wstring& value) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, subKey.c_str(), name.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

// What the provider was last handed, std::nullopt for a null text.
std::optional<std::wstring> LastAdd(const wchar_t* name) {
  wchar_t buffer[512];
  DWORD bytes = sizeof(buffer);
  const std::wstring key = std::wstring(kParameters) + L"\\LastAdd";
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buffer);
}

class ShareConnection : public testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(share_ / u"setup.exe", "payload");
    const std::string unixFolder = wine_host::UnixPath(share_.path());
    SetText(kParameters, L"User", L"updater");
    SetText(kParameters, L"Password", L"s3cret");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kParameters) + L"\\Shares").c_str());
    SetText(std::wstring(kParameters) + L"\\Shares", L"\\\\fs\\S", std::wstring(unixFolder.begin(), unixFolder.end()));
    WNetCancelConnection2W(L"S:", 0, TRUE);  // a letter left over by an earlier failed run
  }
  void TearDown() override { WNetCancelConnection2W(L"S:", 0, TRUE); }

  // Both steps of the handler, as the main button runs them.
  std::vector<std::u16string> Run(const std::u16string& server, const std::u16string& folder,
                                  const std::u16string& user, const std::u16string& password) {
    RecordingLog log;
    DisconnectStep(folder, log);
    MapStep(server, folder, user, password, log);
    return log.lines;
  }

  static bool ShareReadable() {
    std::ifstream file("S:\\setup.exe", std::ios::binary);
    std::string content;
    file >> content;
    return content == "payload";
  }

  ScratchFolder share_{u"share"};
};

TEST_F(ShareConnection, FirstRunMapsAfterFailedDisconnectAndSecondRunRemaps) {
  EXPECT_EQ(Run(u"fs", u"S", u"updater", u"s3cret"), (std::vector{kNotDisconnected, kMapped}));
  EXPECT_TRUE(ShareReadable());
  EXPECT_EQ(LastAdd(L"LocalName"), L"S:");
  EXPECT_EQ(LastAdd(L"RemoteName"), L"\\\\fs\\S");
  EXPECT_EQ(LastAdd(L"UserName"), L"updater");
  EXPECT_EQ(LastAdd(L"Password"), L"s3cret");

  EXPECT_EQ(Run(u"fs", u"S", u"updater", u"s3cret"), (std::vector{kDisconnected, kMapped}));
  EXPECT_TRUE(ShareReadable());
}

TEST_F(ShareConnection, RefusedMapLeavesTheLetterUnconnected) {
  struct Case {
    const char* what;
    std::u16string server, user, password;
  };
  const Case cases[] = {
      {"wrong password", u"fs", u"updater", u"guess"},
      {"wrong user", u"fs", u"intruder", u"s3cret"},
      {"query status text as server", u"Error: Provider cannot be found. It may not be properly installed", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(c.server, u"S", c.user, c.password), (std::vector{kNotDisconnected, kNotMapped}));
    EXPECT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  }
}

// The redirector's own codes, as the stand-in gives them (and the harness relies on).
TEST_F(ShareConnection, PlatformCallsReturnTheRedirectorsCodes) {
  EXPECT_EQ(platform::CancelDriveConnection(u"S:"), static_cast<uint32_t>(ERROR_NOT_CONNECTED));
  const platform::ShareAccount updater{.userName = u"updater", .password = u"s3cret"};
  EXPECT_EQ(platform::AddDriveConnection(u"S:", u"\\\\fs\\S", platform::ShareAccount{u"updater", u"guess"}),
            static_cast<uint32_t>(ERROR_INVALID_PASSWORD));
  EXPECT_EQ(platform::AddDriveConnection(u"S:", u"\\\\fs\\S", updater), 0u);
  EXPECT_EQ(platform::AddDriveConnection(u"S:", u"\\\\fs\\S", updater), static_cast<uint32_t>(ERROR_ALREADY_ASSIGNED));
  EXPECT_EQ(platform::CancelDriveConnection(u"S:"), 0u);
  EXPECT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(ShareConnection, EmptyShareNameFailsBothSteps) {
  EXPECT_EQ(Run(u"fs", u"", u"updater", u"s3cret"),
            (std::vector<std::u16string>{u"Failed To Disconnect Drive :.", kNotMapped}));
}

// An empty password is "no password" to Windows and goes as an empty text; an empty user name asks
// for the signed-in user's own credentials, which only null texts do. A server that takes only the
// signed-in user (the provider's AcceptSignedInUser) tells the two apart.
TEST_F(ShareConnection, AnEmptyUserNameMapsAsTheSignedInUserWithNullTexts) {
  struct Case {
    const char* what;
    std::u16string user, password;
    bool signedInOnly;
    std::optional<std::wstring> userSent, passwordSent;
    uint32_t result;
  } cases[] = {
      {"no user, no password", u"", u"", true, std::nullopt, std::nullopt, 0},
      {"no user, the row's password is not sent", u"", u"s3cret", true, std::nullopt, std::nullopt, 0},
      {"a user with an empty password", u"updater", u"", false, L"updater", L"", 0},
      {"a user where only the signed-in user is taken", u"updater", u"", true, L"updater", L"", ERROR_INVALID_PASSWORD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetText(kParameters, L"User", L"updater");
    SetText(kParameters, L"Password", L"");
    const DWORD signedInOnly = c.signedInOnly;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kParameters, L"AcceptSignedInUser", REG_DWORD, &signedInOnly,
                              sizeof(signedInOnly)),
              ERROR_SUCCESS);
    EXPECT_EQ(MapNetworkDrive(u"\\\\fs\\S", u"S", c.user, c.password), c.result);
    EXPECT_EQ(LastAdd(L"UserName"), c.userSent);
    EXPECT_EQ(LastAdd(L"Password"), c.passwordSent);
    EXPECT_EQ(ShareReadable(), c.result == 0);
    WNetCancelConnection2W(L"S:", 0, TRUE);
  }
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kParameters, L"AcceptSignedInUser");
}

}  // namespace
