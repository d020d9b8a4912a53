#include "base/text.h"

std::u16string Trim(std::u16string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && text[first] <= u' ') ++first;
  while (last > first && text[last - 1] <= u' ') --last;
  return std::u16string(text.substr(first, last - first));
}

std::u16string TrimTrailingStopsAndBlanks(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == u'.' || text[end - 1] <= u' ')) --end;
  return std::u16string(text.substr(0, end));
}

std::u16string CutWithin(std::u16string_view text, size_t most) {
  if (text.size() <= most) return std::u16string(text);
  return std::u16string(text.substr(0, most > 0 && IsHighSurrogate(text[most - 1]) ? most - 1 : most));
}

std::u16string FromAscii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c;
    int extra;
    if (b < 0x80) {
      c = b, extra = 0;
    } else if ((b >> 5) == 6) {
      c = b & 0x1F, extra = 1;
    } else if ((b >> 4) == 14) {
      c = b & 0x0F, extra = 2;
    } else if ((b >> 3) == 30) {
      c = b & 0x07, extra = 3;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (i + extra >= text.size() && extra > 0) {
      out += u'\uFFFD';
      break;
    }
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}
