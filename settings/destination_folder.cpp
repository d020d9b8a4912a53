#include "settings/destination_folder.h"

#include "base/ascii_case.h"

std::u16string DestinationFolder(const std::u16string& userName, const std::u16string& localAppData) {
  const std::u16string formed = u"C:\\Users\\" + userName + u"\\AppData\\Local\\tavirel";
  if (localAppData.empty()) return formed;
  const std::u16string systems = localAppData + u"\\tavirel";
  return EqualsIgnoringAsciiCase(systems, formed) ? formed : systems;
}
