// Random patterns, names and paths through the matcher and the path rules. Any error other than
// the expected kinds, any broken invariant, a crash or a hang ends the run with the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/exception.h"
#include "base/text.h"
#include "update/mask_matcher.h"
#include "update/path.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    __builtin_printf("broken invariant: %s\n", what);
    std::abort();
  }
}

// Bytes below 0xF0 stand for themselves, so the fuzzer reaches "*", "[", "\" and the control
// characters easily; 0xF0 and above introduce any UTF-16 unit, surrogates included.
std::u16string Decode(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] < 0xF0 || i + 2 >= size) {
      text += static_cast<char16_t>(data[i]);
    } else {
      text += static_cast<char16_t>(data[i + 1] | (data[i + 2] << 8));
      i += 2;
    }
  }
  return text;
}

std::u16string SwapAsciiCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') {
      c -= 32;
    } else if (c >= u'A' && c <= u'Z') {
      c += 32;
    }
  }
  return text;
}

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c -= 32;
  }
  return text;
}

bool HasWildcards(std::u16string_view pattern) { return pattern.find_first_of(u"*?[") != pattern.npos; }

// 0: no match, 1: match, -1: the pattern cannot be read (after checking the message).
int Match(std::u16string_view name, std::u16string_view pattern) {
  try {
    return MatchesMask(name, pattern) ? 1 : 0;
  } catch (const EMaskException& error) {
    const std::u16string head = u"'" + std::u16string(pattern) + u"' is an invalid mask at (";
    const std::u16string& message = error.Message();
    Require(message.starts_with(head) && message.ends_with(u")"), "mask message form");
    const std::string digits = ToUtf8(message.substr(head.size(), message.size() - head.size() - 1));
    const long position = std::strtol(digits.c_str(), nullptr, 10);
    Require(position >= 1 && static_cast<size_t>(position) <= pattern.size() + 1, "mask fault position");
    return -1;
  }
}

void CheckMatcher(const std::u16string& pattern, const std::u16string& name) {
  const int result = Match(name, pattern);
  Require(Match(SwapAsciiCase(name), pattern) == result, "name case changes the result");
  Require(Match(name, SwapAsciiCase(pattern)) == result, "pattern case changes the result");
  if (result == -1) return;
  if (!HasWildcards(pattern)) {
    Require(result == (Upper(name) == Upper(pattern)), "a plain pattern matches its own text only");
  }
  if (result == 1) {
    // A "*" at either end only widens a pattern (and moves its end into the forward search).
    Require(Match(u"x" + name, u"*" + pattern) != 0, "a leading star lost a match");
    Require(Match(name + u"x", pattern + u"*") != 0, "a trailing star lost a match");
    Require(Match(name, pattern + u"*") != 0, "an empty trailing star run lost a match");
  }
}

template <typename Call>
void ExpectOnly(Call&& call) {
  try {
    call();
  } catch (const EArgumentException&) {
  } catch (const ENotSupportedException&) {
  } catch (const EPathTooLongException&) {
  }
}

void CheckPaths(const std::u16string& first, const std::u16string& second) {
  ExpectOnly([&] {
    const std::u16string name = TPath::GetFileName(second);
    Require(second.ends_with(name) && name.find_first_of(u"\\/:") == name.npos, "file-name part");
  });
  ExpectOnly([&] {
    const std::u16string joined = TPath::Combine(first, second);
    Require(joined.ends_with(second) && (joined == second || joined.starts_with(first)), "join keeps its parts");
    Require(JoinListed(first, second) == joined, "the listing's join differs on clean parts");
  });
  ExpectOnly([&] { CheckPathForm(second, kFilePathLimit); });
  ExpectOnly([&] { CheckSearchPattern(second); });
  Require(std::u16string_view(second).starts_with(FolderPart(second)), "folder part is a prefix");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t split = 1 + data[0] % (size);
  const std::u16string pattern = Decode(data + 1, split - 1);
  const std::u16string name = Decode(data + split, size - split);
  CheckMatcher(pattern, name);
  CheckPaths(pattern, name);
  return 0;
}
