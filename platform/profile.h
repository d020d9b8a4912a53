#pragma once

#include <string>
#include <utility>

namespace platform {

// A Windows INI (private profile) file, read by the platform's own rules for comments, quotes,
// blanks, letter case and repeated keys. Reading never fails: a missing file, section or key
// gives the default.
class IniFile {
 public:
  explicit IniFile(std::u16string fileName) : fileName_(std::move(fileName)) {}

  // The key's value, even when empty, cut to its first 2047 characters.
  std::u16string ReadString(const std::u16string& section, const std::u16string& key,
                            const std::u16string& defaultValue) const;

  // Whether the file's first bytes are a UTF-8 byte-order mark, which Windows' reader takes for
  // part of the first line, so that a section named there is not found. Wine's reader skips it.
  bool BeginsWithUtf8ByteOrderMark() const;

 private:
  std::u16string fileName_;
};

}  // namespace platform
