#pragma once

#include <string>
#include <string_view>

// On Windows wchar_t is UTF-16, so the program's texts cross the API boundary unchanged; these
// are the only conversions between the two spellings.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline wchar_t* Wide(std::u16string& text) { return reinterpret_cast<wchar_t*>(text.data()); }

inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* text, size_t count) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), count);
}
