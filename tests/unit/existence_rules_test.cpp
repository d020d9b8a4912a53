#include "platform/rules/existence_rules.h"

#include <gtest/gtest.h>

#include <optional>

using namespace platform;

namespace {

constexpr uint32_t kPlainFile = 0x20;  // archive
constexpr uint32_t kFolder = kAttributeDirectory;
constexpr uint32_t kFileLink = kAttributeReparsePoint | kPlainFile;
constexpr uint32_t kFolderLink = kAttributeReparsePoint | kAttributeDirectory;
constexpr uint32_t kAccessDenied = 5;

AttributesAnswer Read(uint32_t attributes) { return {.read = true, .attributes = attributes}; }
AttributesAnswer Failed(uint32_t error) { return {.read = false, .error = error}; }

// One row: what GetFileAttributesW answered, what the open and the search would answer if asked
// (nullopt: the table must not ask), and the verdict.
struct Row {
  const char* situation;
  AttributesAnswer attributes;
  std::optional<OpenAnswer> open;
  std::optional<SearchAnswer> search;
  bool exists;
};

template <typename Answer>
std::function<Answer()> Expect(const std::optional<Answer>& answer, const char* situation, const char* what) {
  return [=] {
    EXPECT_TRUE(answer.has_value()) << situation << ": asked to " << what;
    return answer.value_or(Answer{});
  };
}

}  // namespace

TEST(ExistenceRules, DirectoryTestRowByRow) {
  const OpenAnswer opens{.opened = true};
  const OpenAnswer gone{.opened = false, .error = kErrorFileNotFound};
  const Row rows[] = {
      {"file not found", Failed(kErrorFileNotFound), {}, {}, false},
      {"path not found", Failed(kErrorPathNotFound), {}, {}, false},
      {"invalid name", Failed(kErrorInvalidName), {}, {}, false},
      {"not ready", Failed(kErrorNotReady), {}, {}, false},
      {"bad network path", Failed(kErrorBadNetworkPath), {}, {}, false},
      {"bad network name", Failed(kErrorBadNetworkName), {}, {}, false},
      {"bad path name", Failed(kErrorBadPathName), {}, {}, false},
      {"access denied", Failed(kAccessDenied), {}, {}, true},
      {"sharing violation", Failed(kErrorSharingViolation), {}, {}, true},
      {"plain folder", Read(kFolder), {}, {}, true},
      {"plain file", Read(kPlainFile), {}, {}, false},
      {"folder link whose target opens", Read(kFolderLink), opens, {}, true},
      {"folder link whose target is gone", Read(kFolderLink), gone, {}, false},
      {"file link", Read(kFileLink), {}, {}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DirectoryVerdict(row.attributes, Expect(row.open, row.situation, "open")), row.exists) << row.situation;
  }
}

TEST(ExistenceRules, FileTestRowByRow) {
  const OpenAnswer opens{.opened = true};
  const OpenAnswer held{.opened = false, .error = kErrorSharingViolation};
  const OpenAnswer gone{.opened = false, .error = kErrorFileNotFound};
  const OpenAnswer denied{.opened = false, .error = kAccessDenied};
  const SearchAnswer findsFile{.found = true, .attributes = kPlainFile};
  const SearchAnswer findsFolder{.found = true, .attributes = kFolder};
  const SearchAnswer findsNothing{};
  const Row rows[] = {
      {"file not found", Failed(kErrorFileNotFound), {}, {}, false},
      {"path not found", Failed(kErrorPathNotFound), {}, {}, false},
      {"invalid name", Failed(kErrorInvalidName), {}, {}, false},
      {"not ready, search finds a file", Failed(kErrorNotReady), {}, findsFile, true},
      {"bad network path, search finds a file", Failed(kErrorBadNetworkPath), {}, findsFile, true},
      {"bad network name, search finds nothing", Failed(kErrorBadNetworkName), {}, findsNothing, false},
      {"bad path name, search finds a folder", Failed(kErrorBadPathName), {}, findsFolder, false},
      {"access denied, search finds a file", Failed(kAccessDenied), {}, findsFile, true},
      {"access denied, search finds a folder", Failed(kAccessDenied), {}, findsFolder, false},
      {"access denied, search finds nothing", Failed(kAccessDenied), {}, findsNothing, false},
      {"plain file", Read(kPlainFile), {}, {}, true},
      {"plain folder", Read(kFolder), {}, {}, false},
      {"folder link", Read(kFolderLink), {}, {}, false},
      {"file link whose target opens", Read(kFileLink), opens, {}, true},
      {"file link whose target is held open", Read(kFileLink), held, {}, true},
      {"file link whose target is gone", Read(kFileLink), gone, {}, false},
      {"file link whose target is denied", Read(kFileLink), denied, {}, false},
  };
  for (const Row& row : rows) {
    const bool exists = FileVerdict(row.attributes, Expect(row.open, row.situation, "open"),
                                    Expect(row.search, row.situation, "search"));
    EXPECT_EQ(exists, row.exists) << row.situation;
  }
}
