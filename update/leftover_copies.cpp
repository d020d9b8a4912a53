#include "update/leftover_copies.h"

#include "platform/file_replace.h"
#include "platform/files.h"
#include "update/path.h"
#include "update/temporary_name.h"

void RemoveLeftoverCopies(const std::u16string& folder) {
  // A folder that cannot be listed holds nothing this run could remove either. The system narrows
  // the listing to likely names, so a folder of many files costs little more than a lookup; the
  // exact rule is applied here.
  for (const platform::DirectoryEntry& entry : platform::EnumerateEntries(JoinListed(folder, u"~kst*.tmp")).entries) {
    if (!entry.isDirectory && IsTemporaryName(entry.name)) platform::DiscardFile(JoinListed(folder, entry.name));
  }
}
