#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "base/text.h"
#include "platform/win32/wide.h"
#include "tests/win/scratch.h"
#include "tests/win/wine_host.h"

namespace {

const std::u16string kProgramFiles = u"C:\\Program Files";
const std::u16string kProgramFilesX86 = u"C:\\Program Files (x86)";
const std::u16string kChain = u"\\Common Files\\Microsoft Shared\\VUZuze16";

// Moves a folder of the prefix out of the way and puts it back afterwards, whatever the test
// left at its place. A set-aside copy left by an aborted run is restored first.
class SetAside {
 public:
  explicit SetAside(std::u16string path) : path_(std::move(path)), saved_(path_ + u".kestrane-saved") {
    if (GetFileAttributesW(Wide(saved_)) != INVALID_FILE_ATTRIBUTES) Restore();
    if (!MoveFileW(Wide(path_), Wide(saved_))) throw std::runtime_error("cannot set a folder aside");
  }
  ~SetAside() { Restore(); }
  SetAside(const SetAside&) = delete;
  SetAside& operator=(const SetAside&) = delete;

 private:
  void Restore() {
    wine_host::RemoveTree(path_);
    EXPECT_TRUE(MoveFileW(Wide(saved_), Wide(path_))) << "cannot restore " << ToUtf8(path_);
  }

  std::u16string path_;
  std::u16string saved_;
};

const std::u16string kUnset = u"(unset)";

struct Settings {
  std::u16string connector, host, user, pswd, dbName, svrCat;
  bool operator==(const Settings&) const = default;
};

void PrintTo(const Settings& s, std::ostream* out) {
  for (const std::u16string* value : {&s.connector, &s.host, &s.user, &s.pswd, &s.dbName, &s.svrCat}) {
    *out << "[" << (value->size() > 40 ? std::to_string(value->size()) + " characters" : ToUtf8(*value)) << "]";
  }
}

Settings Loaded() { return {gCmnConnector, gCmnHost, gCmnUser, gCmnPswd, gCmnDBName, gSvrCatCode}; }

const Settings kUnsetSettings{kUnset, kUnset, kUnset, kUnset, kUnset, kUnset};
const Settings kDefaults{u"SQLOLEDB.1", u"", u"", u"", u"", u""};

std::string SettingsText(std::string_view host) {
  return "[Common]\r\nConnector=MSDASQL.1\r\nHost=" + std::string(host) +
         "\r\nUser=sa\r\nPswd=s3cret\r\nDBName=Tavirel\r\nSvrCat=7\r\n";
}

// Drive C: as each case needs it. The (x86) root starts as a fresh empty folder in place of the
// prefix's own; the settings chain below "C:\Program Files" is removed again at the end.
class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    gCmnConnector = gCmnHost = gCmnUser = gCmnPswd = gCmnDBName = gSvrCatCode = kUnset;
    ASSERT_EQ(GetFileAttributesW(Wide(kProgramFiles + kChain)), INVALID_FILE_ATTRIBUTES);
    MakeFolders(kProgramFilesX86);
  }
  void TearDown() override { wine_host::RemoveTree(kProgramFiles + kChain); }

  static void WriteSettings(const std::u16string& root, std::string_view bytes) {
    MakeFolders(root + kChain);
    WriteBytes(root + kChain + u"\\VUZuze16.cnf", bytes);
  }
  static void RemoveX86() { wine_host::RemoveTree(kProgramFilesX86); }

  SetAside x86_{kProgramFilesX86};
};

TEST_F(SettingsFile, TheX86RootWinsEvenWithoutTheFile) {
  WriteSettings(kProgramFiles, SettingsText("plain"));
  EXPECT_FALSE(sfg_ReadSysReg());
  EXPECT_EQ(Loaded(), kUnsetSettings);

  WriteSettings(kProgramFilesX86, SettingsText("x86"));
  EXPECT_TRUE(sfg_ReadSysReg());
  EXPECT_EQ(gCmnHost, u"x86");
}

TEST_F(SettingsFile, OnlyProgramFilesHoldsTheFile) {
  RemoveX86();
  WriteSettings(kProgramFiles, SettingsText("db.example"));
  EXPECT_TRUE(sfg_ReadSysReg());
  EXPECT_EQ(Loaded(), (Settings{u"MSDASQL.1", u"db.example", u"sa", u"s3cret", u"Tavirel", u"7"}));
}

TEST_F(SettingsFile, AnX86LinkWhoseTargetIsGoneLeavesProgramFiles) {
  ScratchFolder target(u"x86-target");
  RemoveX86();
  wine_host::MakeLink(kProgramFilesX86, target.path());
  ASSERT_NE(GetFileAttributesW(Wide(kProgramFilesX86)) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  wine_host::RemoveTree(target.path());
  WriteSettings(kProgramFiles, SettingsText("through the link"));
  EXPECT_TRUE(sfg_ReadSysReg());
  EXPECT_EQ(gCmnHost, u"through the link");
}

TEST_F(SettingsFile, NoRootAtAll) {
  RemoveX86();
  SetAside programFiles(kProgramFiles);
  EXPECT_FALSE(sfg_ReadSysReg());
  EXPECT_EQ(Loaded(), kUnsetSettings);
}

TEST_F(SettingsFile, EachMissingLinkOfTheChainGivesFalse) {
  const std::u16string shared = kProgramFilesX86 + u"\\Common Files\\Microsoft Shared";
  EXPECT_FALSE(sfg_ReadSysReg()) << "no Common Files";
  MakeFolders(shared);
  EXPECT_FALSE(sfg_ReadSysReg()) << "no VUZuze16 folder";
  MakeFolders(shared + u"\\VUZuze16");
  EXPECT_FALSE(sfg_ReadSysReg()) << "no file";
  MakeFolders(shared + u"\\VUZuze16\\VUZuze16.cnf");
  EXPECT_FALSE(sfg_ReadSysReg()) << "the file is a folder";
  EXPECT_EQ(Loaded(), kUnsetSettings);
}

std::string Utf16LeWithMark(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST_F(SettingsFile, ValuesAsThePlatformReadsThem) {
  const std::string long3000(3000, 'L');
  struct Case {
    const char* name;
    std::string bytes;
    Settings expected;
  };
  const Case cases[] = {
      {"empty Connector stays empty", "[Common]\r\nConnector=\r\nHost=h\r\n", {u"", u"h", u"", u"", u"", u""}},
      {"no Common section gives the defaults", "[Other]\r\nConnector=X\r\nHost=h\r\n", kDefaults},
      {"an empty file gives the defaults", "", kDefaults},
      {"a long value is cut to 2047 characters",
       "[Common]\nHost=" + long3000 + "\nSvrCat=" + long3000 + "\n",
       {u"SQLOLEDB.1", std::u16string(2047, u'L'), u"", u"", u"", std::u16string(2047, u'L')}},
      {"a UTF-16 file with a byte-order mark",
       Utf16LeWithMark(u"[Common]\r\nHost=h\u00e9\u4e2d\r\nSvrCat=9\r\n"),
       {u"SQLOLEDB.1", u"h\u00e9\u4e2d", u"", u"", u"", u"9"}},
  };
  for (const Case& c : cases) {
    gCmnConnector = gCmnHost = gCmnUser = gCmnPswd = gCmnDBName = gSvrCatCode = kUnset;
    WriteSettings(kProgramFilesX86, c.bytes);
    EXPECT_TRUE(sfg_ReadSysReg()) << c.name;
    EXPECT_EQ(Loaded(), c.expected) << c.name;
  }
}

// Kestrane's own section is read beside "Common" and never changes what "Common" gives; what
// its value means is the update step's to judge, so the text arrives as written.
TEST_F(SettingsFile, KestraneRefreshIsReadBesideCommon) {
  const struct {
    const char* bytes;
    std::u16string refresh;
  } cases[] = {
      {"[Common]\r\nHost=h\r\n", u"all"},
      {"[Common]\r\nHost=h\r\n[Kestrane]\r\nRefresh = Changed \r\n", u"Changed"},
      {"[kestrane]\r\nrefresh=\"changed\"\r\n[Common]\r\nHost=h\r\n", u"changed"},
      {"[Common]\r\nHost=h\r\n[Kestrane]\r\nRefresh=\r\n", u""},
      {"[Common]\r\nHost=h\r\n[Kestrane]\r\nRefresh=sometimes\r\n", u"sometimes"},
  };
  for (const auto& c : cases) {
    gKestraneRefresh = kUnset;
    WriteSettings(kProgramFilesX86, c.bytes);
    EXPECT_TRUE(sfg_ReadSysReg()) << c.bytes;
    EXPECT_EQ(gKestraneRefresh, c.refresh) << c.bytes;
    EXPECT_EQ(gCmnHost, u"h") << c.bytes;
  }
}

// Windows' reader takes a UTF-8 byte-order mark for part of the first line (Wine's skips it): such a
// file is judged by its bytes, so that the update stops the same way on both, saying how to save it.
// A UTF-16 byte-order mark is what makes a file Unicode to the reader, and an ANSI file has none.
TEST_F(SettingsFile, AUtf8ByteOrderMarkIsAFaultAndOnlyThat) {
  const std::string text = SettingsText("h");
  const std::string utf16 = [&] {
    std::string bytes = "\xFF\xFE";
    for (char c : text) bytes += {c, '\0'};
    return bytes;
  }();
  const struct {
    std::string bytes;
    bool fault;
  } cases[] = {
      {"\xEF\xBB\xBF" + text, true}, {text, false}, {utf16, false},
      {"\xEF\xBB", false},           {"", false},   {"; \xEF\xBB\xBF\r\n" + text, false},
  };
  for (const auto& c : cases) {
    gSettingsFileFault = kUnset;
    WriteSettings(kProgramFilesX86, c.bytes);
    EXPECT_TRUE(sfg_ReadSysReg());
    EXPECT_EQ(gSettingsFileFault.empty(), !c.fault) << ToUtf8(gSettingsFileFault);
  }
  EXPECT_EQ(gSettingsFileFault, u"");
  WriteSettings(kProgramFilesX86, "\xEF\xBB\xBF" + text);
  sfg_ReadSysReg();
  EXPECT_EQ(gSettingsFileFault,
            u"VUZuze16.cnf is saved as UTF-8 with a byte-order mark, which Windows does not read: save it as ANSI, or "
            u"as Unicode (UTF-16 LE)");
}

TEST_F(SettingsFile, HostileFilesNeitherCrashNorHang) {
  std::mt19937 random(20240611);
  std::string noise(64 * 1024, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  WriteSettings(kProgramFilesX86, noise);
  EXPECT_TRUE(sfg_ReadSysReg());
  for (const std::u16string& value : {gCmnConnector, gCmnHost, gCmnUser, gCmnPswd, gCmnDBName, gSvrCatCode}) {
    EXPECT_LE(value.size(), 2047u);
  }

  // Several megabytes of other sections before the one that counts.
  std::string large;
  for (int section = 0; large.size() < 8 * 1024 * 1024; ++section) {
    large += "[Filler" + std::to_string(section) + "]\r\nKey=" + std::string(200, 'f') + "\r\n";
  }
  large += SettingsText("after the filler");
  WriteSettings(kProgramFilesX86, large);
  EXPECT_TRUE(sfg_ReadSysReg());
  EXPECT_EQ(gCmnHost, u"after the filler");
}

}  // namespace
