#include "update/file_refresh.h"

// PENDING: placeholder until the file refresh lands.
void CopyFilesWithPattern(const std::u16string&, const std::u16string&, const std::u16string&, ActivityLog& memo) {
  for (const char16_t* line : {u"", u"----------", u"UPDATE COMPLETED.!", u"----------"}) memo.AppendLine(line);
}
