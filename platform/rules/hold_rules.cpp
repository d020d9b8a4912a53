#include "platform/rules/hold_rules.h"

#include "platform/system_error.h"

namespace platform {

Hold HoldOf(uint32_t error, ListedAs listed) {
  // Refused by whoever has it open without sharing: held, whatever the name is.
  if (error == kErrorSharingViolation) return Hold::Held;
  if (error != kErrorAccessDenied) return Hold::NotHeld;
  switch (listed) {
    case ListedAs::Folder:
      return Hold::Folder;
    case ListedAs::ReadOnlyFile:
      return Hold::ReadOnly;
    case ListedAs::File:
      // A file opened by a program that lets nobody replace it, or one whose holder has just let go
      // while an attribute-only handle (Explorer, the indexer, a filter driver) keeps its deletion
      // pending: both go by themselves.
      return Hold::Held;
    case ListedAs::Nothing:
      break;
  }
  // No such name: the folder itself refuses to have it made.
  return Hold::NotHeld;
}

}  // namespace platform
