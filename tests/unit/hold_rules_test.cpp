// The one rule of "held" that the folder's update lock and the replacement of a file go by. The
// delete-pending row stands for what Windows does and Wine never shows: a lock file whose holder has
// just closed it, while Explorer, the indexer or a filter driver keeps an attribute-only handle on
// it, refuses every open and every read of its attributes as access denied, yet its folder still
// lists it.
#include "platform/rules/hold_rules.h"

#include <gtest/gtest.h>

#include "platform/system_error.h"

using namespace platform;

TEST(HoldOf, EachErrorByHowTheFolderListsTheName) {
  const struct {
    const char* what;
    uint32_t error;
    ListedAs listed;
    Hold hold;
  } cases[] = {
      {"held open without sharing", kErrorSharingViolation, ListedAs::File, Hold::Held},
      {"held open, the listing already past it", kErrorSharingViolation, ListedAs::Nothing, Hold::Held},
      {"delete-pending: listed, every open refused", kErrorAccessDenied, ListedAs::File, Hold::Held},
      {"a program running from the file", kErrorAccessDenied, ListedAs::File, Hold::Held},
      {"read-only, nobody holding it", kErrorAccessDenied, ListedAs::ReadOnlyFile, Hold::ReadOnly},
      {"a folder under the name", kErrorAccessDenied, ListedAs::Folder, Hold::Folder},
      {"a folder that refuses new files", kErrorAccessDenied, ListedAs::Nothing, Hold::NotHeld},
      {"the folder is missing", kErrorPathNotFound, ListedAs::Nothing, Hold::NotHeld},
      {"the file is missing", kErrorFileNotFound, ListedAs::Nothing, Hold::NotHeld},
      {"the drive is not ready", kErrorNotReady, ListedAs::Nothing, Hold::NotHeld},
      {"the server has gone", kErrorBadNetworkPath, ListedAs::File, Hold::NotHeld},
      {"succeeded", 0, ListedAs::File, Hold::NotHeld},
  };
  for (const auto& c : cases) EXPECT_EQ(HoldOf(c.error, c.listed), c.hold) << c.what;
}
