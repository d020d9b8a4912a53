#include "app/error_report.h"

#include "base/exception.h"

std::u16string ErrorReportText(const Exception& error) {
  std::u16string text = error.Message();
  for (const Exception* inner = error.Inner(); inner; inner = inner->Inner())
    if (!inner->Message().empty()) text = inner->Message();
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}
