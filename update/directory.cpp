#include "update/directory.h"

#include <optional>
#include <utility>

#include "base/exception.h"
#include "platform/existence.h"
#include "platform/files.h"
#include "platform/system_error.h"
#include "update/full_path.h"
#include "update/mask_matcher.h"
#include "update/path.h"

std::vector<std::u16string> TDirectory::GetFiles(const std::u16string& path, const std::u16string& pattern,
                                                 TSearchOption option) {
  std::vector<std::u16string> paths;
  for (ListedFile& file : ListFiles(path, pattern, option)) paths.push_back(std::move(file.path));
  return paths;
}

std::vector<ListedFile> TDirectory::ListFiles(const std::u16string& path, const std::u16string& pattern,
                                              TSearchOption) {
  const std::u16string fullPath = FullPathOf(path);
  CheckSearchPattern(pattern);
  CheckPathForm(fullPath, kFolderPathLimit);
  if (!platform::DirectoryExists(fullPath)) throw EDirectoryNotFoundException(u"The specified path was not found");

  const platform::FolderEntries folder = platform::EnumerateEntries(JoinListed(path, u"*"));
  std::vector<ListedFile> files;
  const bool everyName = pattern == u"*.*";
  // Read at the first entry, not before: a folder that delivers no entry lets any pattern pass.
  std::optional<CompiledMask> mask;
  for (const platform::DirectoryEntry& entry : folder.entries) {
    if (!everyName) {
      if (!mask) mask.emplace(pattern);
      if (!mask->Matches(entry.name)) continue;
    }
    if (!entry.isDirectory) files.push_back({JoinListed(path, entry.name), entry.stamp});
  }
  // A folder that cannot be listed, or a listing cut short, would leave files silently out of
  // the update and still report it finished.
  if (folder.error != 0) throw EInOutError(platform::SystemErrorText(folder.error));
  return files;
}
