#pragma once

#include <cstdint>
#include <string>

class TFile {
 public:
  // Copies source over target (replacing it when overwrite is true). Checks the source, then the
  // target, before copying; a refused copy raises EInOutError with the system's text.
  static void Copy(const std::u16string& source, const std::u16string& target, bool overwrite);
};

// TFile::Copy with every check raising as there, but a copy the system refuses answers its error
// code (0 when copied), for a caller that decides by the code.
uint32_t CopyFileChecked(const std::u16string& source, const std::u16string& target, bool overwrite);
