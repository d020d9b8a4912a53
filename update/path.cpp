#include "update/path.h"

#include "base/exception.h"
#include "base/text.h"

namespace {

constexpr std::u16string_view kLongPathPrefix = u"\\\\?\\";
constexpr std::u16string_view kLongUncPrefix = u"\\\\?\\UNC\\";

[[noreturn]] void ThrowInvalidPathChars() { throw EArgumentException(u"Invalid characters in path"); }

size_t PrefixLength(std::u16string_view path) {
  if (path.starts_with(kLongUncPrefix)) return kLongUncPrefix.size();
  if (path.starts_with(kLongPathPrefix)) return kLongPathPrefix.size();
  return 0;
}

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Where the drive part ends: after the prefix, and after "X:" when the path has one.
size_t DrivePartEnd(std::u16string_view path) {
  const size_t start = PrefixLength(path);
  if (path.size() >= start + 2 && IsAsciiLetter(path[start]) && path[start + 1] == u':') return start + 2;
  return start;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

}  // namespace

bool IsInvalidPathChar(char16_t c) { return c < 0x20 || c == u'"' || c == u'<' || c == u'>' || c == u'|'; }

bool IsInvalidFileNameChar(char16_t c) {
  return IsInvalidPathChar(c) || c == u'*' || c == u'/' || c == u':' || c == u'?' || c == u'\\';
}

bool HasInvalidPathChars(std::u16string_view path) {
  for (char16_t c : path) {
    if (IsInvalidPathChar(c)) return true;
  }
  return false;
}

bool IsBlank(std::u16string_view text) { return Trim(text).empty(); }

bool HasColonAfterDrive(std::u16string_view path) { return path.find(u':', DrivePartEnd(path)) != path.npos; }

void CheckSearchPattern(std::u16string_view pattern) {
  if (!IsBlank(pattern)) {
    const std::u16string_view examined = pattern.substr(PrefixLength(pattern));
    bool invalid = false;
    for (char16_t c : examined) invalid |= c != u'*' && c != u'?' && IsInvalidFileNameChar(c);
    if (!invalid) return;
  }
  throw EArgumentException(u"Invalid characters in search pattern");
}

void CheckPathForm(std::u16string_view path, size_t limit) {
  if (path.size() >= limit && !path.starts_with(kLongPathPrefix)) {
    throw EPathTooLongException(u"The specified path is too long");
  }
  if (HasColonAfterDrive(path)) throw ENotSupportedException(u"The path format is not supported");
  if (IsBlank(path) || HasInvalidPathChars(path)) ThrowInvalidPathChars();
}

std::u16string FolderPart(std::u16string_view fullPath) {
  const size_t separator = fullPath.find_last_of(u"\\/");
  if (separator == fullPath.npos) return {};
  const size_t drive = DrivePartEnd(fullPath);
  const bool driveTop = separator == drive && drive >= 2 && fullPath[drive - 1] == u':';
  return std::u16string(fullPath.substr(0, driveTop ? separator + 1 : separator));
}

std::u16string FolderBeside(std::u16string_view path) {
  const size_t separator = path.find_last_of(u"\\/");
  if (separator != path.npos) return std::u16string(path.substr(0, separator + 1));
  if (path.size() >= 2 && path[1] == u':') return std::u16string(path.substr(0, 2));
  return {};
}

std::u16string JoinListed(const std::u16string& first, const std::u16string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  // The rootedness test reads every character of the second part and refuses the invalid ones.
  if (HasInvalidPathChars(second)) ThrowInvalidPathChars();
  const bool rooted =
      second.starts_with(kLongPathPrefix) || IsSeparator(second[0]) || (second.size() >= 2 && second[1] == u':');
  if (rooted) return second;
  const char16_t last = first.back();
  if (IsSeparator(last) || last == u':') return first + second;
  return first + u'\\' + second;
}

std::u16string TPath::GetFileName(const std::u16string& path) {
  if (path.empty()) return {};
  if (HasInvalidPathChars(path)) ThrowInvalidPathChars();
  const size_t last = path.find_last_of(u"\\/:");
  return last == path.npos ? path : path.substr(last + 1);
}

std::u16string TPath::Combine(const std::u16string& first, const std::u16string& second) {
  if (!first.empty() && !second.empty() && (HasInvalidPathChars(first) || HasInvalidPathChars(second))) {
    ThrowInvalidPathChars();
  }
  return JoinListed(first, second);
}
