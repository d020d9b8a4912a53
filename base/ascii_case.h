#pragma once

#include <string>
#include <string_view>

// Comparisons for names that are matched without regard to letter case (connection-string keys,
// provider and driver names, column names). Only A..Z fold: the names are ASCII in practice, and
// no locale may change how they match.
inline char16_t FoldAsciiCase(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

inline bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  }
  return true;
}

inline bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

inline std::u16string FoldedAsciiCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = FoldAsciiCase(c);
  return folded;
}

inline bool IsAscii(std::u16string_view text) {
  for (char16_t c : text) {
    if (c > 0x7F) return false;
  }
  return true;
}
