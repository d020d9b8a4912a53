#include "update/local_copies.h"

#include "base/ascii_case.h"
#include "platform/file_replace.h"
#include "update/path.h"
#include "update/temporary_name.h"

namespace {

// Windows compares names without regard to case. The suite's names are plain ASCII; a name with
// other letters, whose case may differ in ways this key does not fold, is read on its own when it
// is not found, never taken for missing.
std::u16string Key(const std::u16string& name) { return FoldedAsciiCase(name); }

}  // namespace

LocalCopies LocalCopies::List(const std::u16string& folder) {
  LocalCopies local;
  local.folder_ = folder;
  const platform::FolderEntries listed = platform::EnumerateEntries(JoinListed(folder, u"*"));
  local.complete_ = listed.error == 0;
  for (const platform::DirectoryEntry& entry : listed.entries) {
    if (entry.isDirectory) continue;
    local.files_.emplace(Key(entry.name), entry.stamp);
    if (IsLeftoverName(entry.name)) local.leftovers_.push_back(entry.name);
  }
  return local;
}

std::optional<platform::FileStamp> LocalCopies::StampOf(const std::u16string& name) const {
  const auto found = files_.find(Key(name));
  if (found != files_.end()) return found->second;
  if (complete_ && IsAscii(name)) return std::nullopt;
  return platform::ReadFileStamp(JoinListed(folder_, name));
}

void LocalCopies::PutBackSetAside() {
  for (const std::u16string& leftover : leftovers_) {
    const auto target = SetAsideTarget(leftover);
    if (!target || files_.contains(Key(*target))) continue;
    // Without replacing: a file that took the name meanwhile is newer than the one set aside.
    if (platform::RenameFile(JoinListed(folder_, leftover), JoinListed(folder_, *target), false)) continue;
    files_.insert_or_assign(Key(*target), files_.at(Key(leftover)));
    files_.erase(Key(leftover));
  }
  std::erase_if(leftovers_, [&](const std::u16string& leftover) { return !files_.contains(Key(leftover)); });
}

std::vector<std::u16string> LocalCopies::RemoveLeftovers(bool everyListedPresent) {
  std::vector<std::u16string> kept;
  for (const std::u16string& leftover : leftovers_) {
    const auto target = SetAsideTarget(leftover);
    if (target && !files_.contains(Key(*target))) continue;  // the only copy: never taken away
    if (!target && !everyListedPresent) {
      kept.push_back(leftover);
      continue;
    }
    platform::DiscardFile(JoinListed(folder_, leftover));
  }
  leftovers_.clear();
  return kept;
}
