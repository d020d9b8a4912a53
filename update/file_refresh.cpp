#include "update/file_refresh.h"

#include "base/exception.h"
#include "platform/answering.h"
#include "update/directory.h"
#include "update/local_copies.h"
#include "update/path.h"
#include "update/publisher_check.h"
#include "update/replacing_copy.h"

RefreshCounts CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                                   const std::u16string& destFolder, RefreshMode mode, ActivityLog& memo,
                                   const PublisherPin& pin) {
  // The destination is read once, for what broken-off runs left there and for each local copy's
  // size and time. The file server and the disks take as long as they take: each step runs while
  // the window answers.
  LocalCopies local;
  std::vector<ListedFile> files;
  platform::CallAnswering([&] {
    local = LocalCopies::List(destFolder);
    local.PutBackSetAside();
    // Unguarded: a refused listing ends the run before any file line and before the banner, and
    // takes nothing away from the workstation.
    files = TDirectory::ListFiles(sourceFolder, pattern, TSearchOption::soTopDirectoryOnly);
  });
  RefreshCounts counts;
  for (const ListedFile& file : files) {
    std::u16string name;
    try {
      name = TPath::GetFileName(file.path);
      // Decided from the two listings alone: the file on the share is never opened for it. Either
      // side differing, in either direction, means a copy.
      if (mode == RefreshMode::Changed && local.StampOf(name) == file.stamp) {
        memo.AppendLine(name + u" Is Up To Date.");
        ++counts.unchanged;
        continue;
      }
      // Never TFile::Copy straight over the target: a copy broken off midway would destroy the
      // user's working file.
      const std::u16string target = TPath::Combine(destFolder, name);
      PublisherVerdict verdict;
      FreshCopyVetting vet;
      if (pin.Checks(name)) vet = [&](const std::u16string& fresh) { verdict = CheckPublisher(pin, fresh); };
      platform::CallAnswering([&] { CopyReplacing(file.path, target, vet); });
      memo.AppendLine(name + u" Updated Successfully.");
      ++counts.updated;
      if (verdict.revocationUnknown) counts.revocationUnknown.push_back(name + u" (" + verdict.finding + u")");
    } catch (const Exception& error) {
      memo.AppendLine(u"Error copying file " + name + u": " + error.Message());
      ++counts.failed;
      // A failed copy leaves the local copy as it was: missing only when there was none.
      if (name.empty() || !local.StampOf(name)) counts.missing.push_back(name.empty() ? file.path : name);
      if (const auto* refusal = dynamic_cast<const EPublisherRefused*>(&error))
        counts.refused.push_back(name + u" (" + refusal->Finding() + u")");
    }
  }
  // Only now is it known whether every listed program is here, old or new.
  platform::CallAnswering([&] { counts.keptLeftovers = local.RemoveLeftovers(counts.missing.empty()); });
  for (const char16_t* line : {u"", u"----------", u"UPDATE COMPLETED.!", u"----------"}) memo.AppendLine(line);
  return counts;
}
