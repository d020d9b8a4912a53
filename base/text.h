#pragma once

#include <string>
#include <string_view>

// Text helpers shared by every layer. All texts are UTF-16.

// The Trim rule: removes every character from U+0000 to U+0020 at both ends.
std::u16string Trim(std::u16string_view text);

// Removes trailing full stops and characters of code 32 or below, one after the other, as the
// system error texts and the database messages are cleaned before they are shown.
std::u16string TrimTrailingStopsAndBlanks(std::u16string_view text);

// The two halves of a character beyond U+FFFF.
constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first most code units of text, one fewer where the cut would part a character's two halves.
std::u16string CutWithin(std::u16string_view text, size_t most);

// ASCII-only conversions, for the fixed texts the program formats itself.
std::u16string FromAscii(std::string_view text);

// UTF-8 for test output and diagnostics; unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
