#include "update/temporary_name.h"

#include <algorithm>

namespace {

constexpr std::u16string_view kPrefix = u"~kst";
constexpr std::u16string_view kSuffix = u".tmp";
constexpr std::u16string_view kDigits = u"0123456789abcdef";
constexpr size_t kDigitCount = 8;

}  // namespace

std::u16string TemporaryName(uint32_t number) {
  std::u16string name(kPrefix);
  for (int shift = 4 * (kDigitCount - 1); shift >= 0; shift -= 4) name += kDigits[(number >> shift) & 0xF];
  return name += kSuffix;
}

bool IsTemporaryName(std::u16string_view name) {
  if (name.size() != kPrefix.size() + kDigitCount + kSuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  const std::u16string_view digits = name.substr(kPrefix.size(), kDigitCount);
  return std::all_of(digits.begin(), digits.end(), [](char16_t c) { return kDigits.find(c) != kDigits.npos; });
}
