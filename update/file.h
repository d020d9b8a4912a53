#pragma once

#include <string>

class TFile {
 public:
  // Copies source over target (replacing it when overwrite is true). Checks the source, then the
  // target, before copying; a refused copy raises EInOutError with the system's text.
  static void Copy(const std::u16string& source, const std::u16string& target, bool overwrite);
};
