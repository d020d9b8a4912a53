#include "update/file_refresh.h"

#include "base/exception.h"
#include "platform/answering_call.h"
#include "platform/files.h"
#include "update/directory.h"
#include "update/leftover_copies.h"
#include "update/path.h"
#include "update/replacing_copy.h"

namespace {

// Decided from the listing and one attribute read of the target: the file on the share is never
// opened for it. Either side differing, in either direction, means a copy.
bool IsUpToDate(const ListedFile& file, const std::u16string& target) {
  return platform::ReadFileStamp(target) == file.stamp;
}

}  // namespace

RefreshCounts CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                                   const std::u16string& destFolder, RefreshMode mode, ActivityLog& memo) {
  // Whatever this run comes to, what broken-off runs left behind goes first: it may be hundreds
  // of megabytes.
  RemoveLeftoverCopies(destFolder);
  // Unguarded: a refused listing ends the run before any file line and before the banner.
  const std::vector<ListedFile> files = TDirectory::ListFiles(sourceFolder, pattern, TSearchOption::soTopDirectoryOnly);
  RefreshCounts counts;
  for (const ListedFile& file : files) {
    std::u16string name;
    try {
      name = TPath::GetFileName(file.path);
      const std::u16string target = TPath::Combine(destFolder, name);
      if (mode == RefreshMode::Changed && IsUpToDate(file, target)) {
        memo.AppendLine(name + u" Is Up To Date.");
        ++counts.unchanged;
        continue;
      }
      // Never TFile::Copy straight over the target: a copy broken off midway would destroy the
      // user's working file. The share and the disk take as long as they take over one file (its
      // checks, copy, flush and rename): the window answers meanwhile.
      platform::CallAnswering([&] { CopyReplacing(file.path, target); });
      memo.AppendLine(name + u" Updated Successfully.");
      ++counts.updated;
    } catch (const Exception& error) {
      memo.AppendLine(u"Error copying file " + name + u": " + error.Message());
      ++counts.failed;
    }
  }
  for (const char16_t* line : {u"", u"----------", u"UPDATE COMPLETED.!", u"----------"}) memo.AppendLine(line);
  return counts;
}
