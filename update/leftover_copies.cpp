#include "update/leftover_copies.h"

#include <vector>

#include "platform/file_replace.h"
#include "platform/files.h"
#include "update/path.h"
#include "update/temporary_name.h"

void RemoveLeftoverCopies(const std::u16string& folder) {
  std::vector<std::u16string> leftovers;
  // A folder that cannot be listed holds nothing this run could remove either.
  platform::EnumerateEntries(JoinListed(folder, u"*"), [&](const platform::DirectoryEntry& entry) {
    if (!entry.isDirectory && IsTemporaryName(entry.name)) leftovers.push_back(JoinListed(folder, entry.name));
  });
  for (const std::u16string& leftover : leftovers) platform::DiscardFile(leftover);
}
