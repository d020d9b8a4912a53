#include "update/publisher_pin.h"

#include <string_view>

#include "base/exception.h"
#include "base/text.h"

namespace {

constexpr size_t kSha1Bytes = 20;
constexpr size_t kSha256Bytes = 32;

std::vector<std::u16string> Items(std::u16string_view list) {
  std::vector<std::u16string> items;
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(u';', start), list.size());
    std::u16string item = Trim(list.substr(start, end - start));
    if (!item.empty()) items.push_back(std::move(item));
    start = end + 1;
  }
  return items;
}

[[noreturn]] void Refuse(std::u16string_view key, const std::u16string& value, std::u16string_view rule) {
  throw Exception(u"The value \"" + value + u"\" of " + std::u16string(key) +
                  u" in section [Kestrane] of VUZuze16.cnf is not accepted: " + std::u16string(rule));
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Blanks and the left-to-right and right-to-left marks (U+200E, U+200F) are not part of a
// thumbprint: the certificate dialog shows one in pairs of digits and copies it with a mark first.
bool IsFiller(char16_t c) { return c <= u' ' || c == u'\u200E' || c == u'\u200F'; }

std::vector<uint8_t> Thumbprint(std::u16string_view text) {
  std::u16string digits;
  for (char16_t c : text) {
    if (!IsFiller(c)) digits += c;
  }
  if (digits.size() != 2 * kSha1Bytes && digits.size() != 2 * kSha256Bytes) return {};
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

bool PublisherPin::Checks(std::u16string_view name) const {
  if (!Active()) return false;
  for (const CompiledMask& mask : unsignedFiles) {
    if (mask.Matches(name)) return false;
  }
  return true;
}

PublisherPin ParsePublisherPin(const std::u16string& publisher, const std::u16string& thumbprint,
                               const std::u16string& unsignedFiles) {
  PublisherPin pin;
  pin.publishers = Items(publisher);
  for (const std::u16string& item : Items(thumbprint)) {
    std::vector<uint8_t> bytes = Thumbprint(item);
    if (bytes.empty()) {
      Refuse(u"PublisherThumbprint", thumbprint,
             u"use SHA-1 thumbprints (40 hexadecimal digits) or SHA-256 ones (64), separated by ;");
    }
    pin.thumbprints.push_back(std::move(bytes));
  }
  if (!pin.thumbprints.empty() && !pin.Active()) {
    Refuse(u"PublisherThumbprint", thumbprint, u"it pins nothing without Publisher, the signer's name");
  }
  for (const std::u16string& pattern : Items(unsignedFiles)) {
    try {
      pin.unsignedFiles.emplace_back(pattern);
    } catch (const Exception& error) {
      Refuse(u"Unsigned", unsignedFiles, error.Message());
    }
  }
  return pin;
}
