#include "settings/destination_folder.h"

std::u16string DestinationFolder(const std::u16string& userName) {
  return u"C:\\Users\\" + userName + u"\\AppData\\Local\\tavirel";
}
