#include "settings/destination_folder.h"

#include <gtest/gtest.h>

#include "base/text.h"

// The formed path stands unless the system's own folder for the user's local data is elsewhere.
TEST(DestinationFolder, TheSystemsFolderWhereItDiffersFromTheFormedOne) {
  const struct {
    const char16_t* user;
    const char16_t* localAppData;
    const char16_t* folder;
  } cases[] = {
      {u"anna", u"C:\\Users\\anna\\AppData\\Local", u"C:\\Users\\anna\\AppData\\Local\\tavirel"},
      {u"anna", u"c:\\users\\ANNA\\appdata\\local", u"C:\\Users\\anna\\AppData\\Local\\tavirel"},
      {u"anna", u"", u"C:\\Users\\anna\\AppData\\Local\\tavirel"},
      {u"anna", u"C:\\Users\\anna.CORP\\AppData\\Local", u"C:\\Users\\anna.CORP\\AppData\\Local\\tavirel"},
      {u"anna", u"C:\\Users\\anna.000\\AppData\\Local", u"C:\\Users\\anna.000\\AppData\\Local\\tavirel"},
      {u"anna", u"D:\\Profiles\\anna\\AppData\\Local", u"D:\\Profiles\\anna\\AppData\\Local\\tavirel"},
      {u"Unknown", u"C:\\Users\\anna\\AppData\\Local", u"C:\\Users\\anna\\AppData\\Local\\tavirel"},
  };
  for (const auto& c : cases) EXPECT_EQ(DestinationFolder(c.user, c.localAppData), c.folder) << ToUtf8(c.localAppData);
}
