#include "update/file_refresh.h"

#include "base/exception.h"
#include "update/directory.h"
#include "update/leftover_copies.h"
#include "update/path.h"
#include "update/replacing_copy.h"

RefreshCounts CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                                   const std::u16string& destFolder, ActivityLog& memo) {
  // Whatever this run comes to, what broken-off runs left behind goes first: it may be hundreds
  // of megabytes.
  RemoveLeftoverCopies(destFolder);
  // Unguarded: a refused listing ends the run before any file line and before the banner.
  const std::vector<std::u16string> files =
      TDirectory::GetFiles(sourceFolder, pattern, TSearchOption::soTopDirectoryOnly);
  RefreshCounts counts;
  for (const std::u16string& fileName : files) {
    std::u16string name;
    try {
      name = TPath::GetFileName(fileName);
      const std::u16string target = TPath::Combine(destFolder, name);
      // Never TFile::Copy straight over the target: a copy broken off midway would destroy the
      // user's working file.
      CopyReplacing(fileName, target);
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
