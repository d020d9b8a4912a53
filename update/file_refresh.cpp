#include "update/file_refresh.h"

#include <chrono>

#include "base/exception.h"
#include "platform/answering.h"
#include "platform/process_clock.h"
#include "update/directory.h"
#include "update/local_copies.h"
#include "update/path.h"
#include "update/publisher_check.h"
#include "update/replacing_copy.h"

namespace {

using namespace std::chrono_literals;

// The files are refreshed in turns on the thread beside the window's, each turn as many files as
// it finishes in this time, the file that reaches it included, and their lines are logged after
// it: handing a small file's copy over on its own cost under Wine about as much as the copy.
constexpr std::chrono::milliseconds kTurn = 50ms;

// Refreshes one listed file and counts it; its log line.
std::u16string RefreshOne(const ListedFile& file, const std::u16string& destFolder, RefreshMode mode,
                          const PublisherPin& pin, const LocalCopies& local, RefreshCounts& counts) {
  std::u16string name;
  try {
    name = TPath::GetFileName(file.path);
    // Decided from the two listings alone: the file on the share is never opened for it. Either
    // side differing, in either direction, means a copy.
    if (mode == RefreshMode::Changed && local.StampOf(name) == file.stamp) {
      ++counts.unchanged;
      return name + u" Is Up To Date.";
    }
    // Never TFile::Copy straight over the target: a copy broken off midway would destroy the
    // user's working file.
    PublisherVerdict verdict;
    FreshCopyVetting vet;
    if (pin.Checks(name)) vet = [&](const std::u16string& fresh) { verdict = CheckPublisher(pin, fresh); };
    CopyReplacing(file.path, TPath::Combine(destFolder, name), vet);
    ++counts.updated;
    if (verdict.revocationUnknown) counts.revocationUnknown.push_back(name + u" (" + verdict.finding + u")");
    return name + u" Updated Successfully.";
  } catch (const Exception& error) {
    ++counts.failed;
    // A failed copy leaves the local copy as it was: missing only when there was none.
    if (name.empty() || !local.StampOf(name)) counts.missing.push_back(name.empty() ? file.path : name);
    if (const auto* refusal = dynamic_cast<const EPublisherRefused*>(&error))
      counts.refused.push_back(name + u" (" + refusal->Finding() + u")");
    return u"Error copying file " + name + u": " + error.Message();
  }
}

}  // namespace

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
  std::vector<std::u16string> lines;
  const auto logTurn = [&] {
    for (const std::u16string& line : lines) memo.AppendLine(line);
    lines.clear();
  };
  for (auto next = files.begin(); next != files.end();) {
    try {
      platform::CallAnswering([&] {
        const std::chrono::milliseconds turnEnd = platform::SteadyNow() + kTurn;
        do lines.push_back(RefreshOne(*next++, destFolder, mode, pin, local, counts));
        while (next != files.end() && platform::SteadyNow() < turnEnd);
      });
    } catch (...) {
      logTurn();  // what failed otherwise (no memory left) ends the run with the files before it logged
      throw;
    }
    logTurn();
  }
  // Only now is it known whether every listed program is here, old or new.
  platform::CallAnswering([&] { counts.keptLeftovers = local.RemoveLeftovers(counts.missing.empty()); });
  for (const char16_t* line : {u"", u"----------", u"UPDATE COMPLETED.!", u"----------"}) memo.AppendLine(line);
  return counts;
}
