#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files.h"

// The destination folder as one listing showed it: what a refresh needs to know of the local side,
// without a call of its own per file.
class LocalCopies {
 public:
  // Lists folder once. A folder that cannot be listed, or not to its end, knows less: what it does
  // not know is read on its own.
  static LocalCopies List(const std::u16string& folder);

  // The size and time of the local copy called name (letter case ignored), as the listing gave
  // them; nothing when there is no such file.
  std::optional<platform::FileStamp> StampOf(const std::u16string& name) const;

  // Puts each file set aside by a broken-off run back under its target's name when the target is
  // missing: it is then the only copy of that program on the workstation. Takes nothing away.
  void PutBackSetAside();

  // Deletes what broken-off runs left behind (names of the leftover rule alone, never folders, and
  // never a file that someone still has open): the set-aside files whose targets are in place, and
  // the files in the plain form ("~kst" + eight digits + ".tmp"), which may be a copy broken off
  // midway or a program that an earlier release set aside. Those go only when nothing the run
  // listed is missing (everyListedPresent): otherwise any of them may be the only copy of a program
  // the share did not give, and they are kept and returned. Called after the copy, never before it.
  // A leftover that cannot go now goes on a later run, unreported.
  std::vector<std::u16string> RemoveLeftovers(bool everyListedPresent);

 private:
  std::u16string folder_;
  bool complete_ = false;                                          // the listing ran to its end
  std::unordered_map<std::u16string, platform::FileStamp> files_;  // by name, ASCII letters folded
  std::vector<std::u16string> leftovers_;
};
