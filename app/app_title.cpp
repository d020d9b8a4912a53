#include "app/app_title.h"

namespace {

// Lower case for the Latin letters a file name is made of; other characters stay as they are.
char16_t ToLower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + (u'a' - u'A');
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  return c;
}

}  // namespace

std::u16string ApplicationTitle(const std::u16string& executablePath) {
  const size_t folderEnd = executablePath.find_last_of(u"\\/:");
  std::u16string title = folderEnd == std::u16string::npos ? executablePath : executablePath.substr(folderEnd + 1);
  title = title.substr(0, title.find(u'.'));
  for (size_t i = 1; i < title.size(); ++i) title[i] = ToLower(title[i]);
  return title;
}
