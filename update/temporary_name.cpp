#include "update/temporary_name.h"

#include <algorithm>

#include "update/path.h"

namespace {

constexpr std::u16string_view kPrefix = u"~kst";
constexpr std::u16string_view kSuffix = u".tmp";
constexpr char16_t kTargetMark = u'~';
constexpr std::u16string_view kDigits = u"0123456789abcdef";
constexpr size_t kDigitCount = 8;
constexpr size_t kLongestFileName = 255;

std::u16string Numbered(uint32_t number) {
  std::u16string name(kPrefix);
  for (int shift = 4 * (kDigitCount - 1); shift >= 0; shift -= 4) name += kDigits[(number >> shift) & 0xF];
  return name;
}

// "~kst" and eight digits at the start, ".tmp" at the end, and what lies between them.
std::optional<std::u16string_view> Between(std::u16string_view name) {
  if (name.size() < kPrefix.size() + kDigitCount + kSuffix.size()) return std::nullopt;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  const std::u16string_view digits = name.substr(kPrefix.size(), kDigitCount);
  if (!std::all_of(digits.begin(), digits.end(), [](char16_t c) { return kDigits.find(c) != kDigits.npos; }))
    return std::nullopt;
  const size_t start = kPrefix.size() + kDigitCount;
  return name.substr(start, name.size() - start - kSuffix.size());
}

bool IsPlainName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/:") == name.npos;
}

}  // namespace

std::u16string TemporaryName(uint32_t number) { return Numbered(number) + std::u16string(kSuffix); }

bool IsTemporaryName(std::u16string_view name) {
  const auto between = Between(name);
  return between && between->empty();
}

std::optional<std::u16string> SetAsidePath(uint32_t number, std::u16string_view target) {
  const std::u16string folder = FolderBeside(target);
  const std::u16string_view targetName = target.substr(folder.size());
  const size_t nameSize = kPrefix.size() + kDigitCount + 1 + targetName.size() + kSuffix.size();
  if (!IsPlainName(targetName) || nameSize > kLongestFileName || folder.size() + nameSize >= kFilePathLimit)
    return std::nullopt;
  return folder + Numbered(number) + kTargetMark + std::u16string(targetName) + std::u16string(kSuffix);
}

std::optional<std::u16string> SetAsideTarget(std::u16string_view name) {
  const auto between = Between(name);
  if (!between || between->size() < 2 || between->front() != kTargetMark) return std::nullopt;
  const std::u16string_view target = between->substr(1);
  if (!IsPlainName(target)) return std::nullopt;
  return std::u16string(target);
}

bool IsLeftoverName(std::u16string_view name) { return IsTemporaryName(name) || SetAsideTarget(name).has_value(); }
