#include "settings/user_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/text.h"
#include "platform/win32/wide.h"
#include "settings/destination_folder.h"

namespace {

// Wine answers GetUserNameW from the process's WINEUSERNAME variable, which it sets at start from
// the Unix USER variable (or, without one, from the account database). Changing it in the running
// process lets a test choose the name; the name of the run is put back afterwards.
class ChosenUserName {
 public:
  ChosenUserName() {
    if (const wchar_t* name = _wgetenv(L"WINEUSERNAME")) original_ = name;
  }
  ~ChosenUserName() { _wputenv_s(L"WINEUSERNAME", original_.c_str()); }
  ChosenUserName(const ChosenUserName&) = delete;
  ChosenUserName& operator=(const ChosenUserName&) = delete;

  void Set(const std::u16string& name) { _wputenv_s(L"WINEUSERNAME", Wide(name)); }
  void Unset() { _wputenv_s(L"WINEUSERNAME", L""); }  // an empty value removes the variable

 private:
  std::wstring original_;
};

TEST(UserName, TheAccountNameUnchanged) {
  ChosenUserName chosen;
  for (const std::u16string& name : {std::u16string(u"Jane Q Doe"), std::u16string(u" lead and trail "),
                                     std::u16string(u"Zo\u00eb \U0001F600"), std::u16string(255, u'n')}) {
    chosen.Set(name);
    EXPECT_EQ(GetUserName(), name) << ToUtf8(name);
  }
  chosen.Set(u"Jane Q Doe");
  EXPECT_EQ(DestinationFolder(GetUserName(), u""), u"C:\\Users\\Jane Q Doe\\AppData\\Local\\tavirel");
}

TEST(UserName, AFailedLookupGivesTheFailureText) {
  ChosenUserName chosen;
  chosen.Set(std::u16string(256, u'n'));  // no room left for the terminating null
  EXPECT_EQ(GetUserName(), u"Error retrieving username");
  chosen.Unset();
  EXPECT_EQ(GetUserName(), u"Error retrieving username");
}

}  // namespace
