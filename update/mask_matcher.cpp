#include "update/mask_matcher.h"

#include <string>

#include "base/exception.h"
#include "base/text.h"

namespace {

// More "*" runs than this cannot be read; the pattern's end after a trailing "*" counts as one.
constexpr int kMaxElementsAfterStar = 30;

[[noreturn]] void ThrowInvalidMask(std::u16string_view pattern, size_t position) {
  throw EMaskException(u"'" + std::u16string(pattern) + u"' is an invalid mask at (" +
                       FromAscii(std::to_string(position)) + u")");
}

char32_t Fold(char32_t c) { return c >= U'a' && c <= U'z' ? c - (U'a' - U'A') : c; }

// The character at text[at], a surrogate pair counting as one; advances at past it.
char32_t ReadChar(std::u16string_view text, size_t& at) {
  const char16_t c = text[at++];
  if (IsHighSurrogate(c) && at < text.size() && IsLowSurrogate(text[at])) {
    return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[at++] - 0xDC00);
  }
  return c;
}

}  // namespace

CompiledMask::CompiledMask(std::u16string_view pattern) {
  elements_.reserve(pattern.size() + 1);
  bool afterStar = false;
  int elementsAfterStar = 0;
  // Every element that ends a "*" run counts toward the limit; position is where it is added.
  auto add = [&](Kind kind, size_t position) -> Element& {
    if (afterStar && ++elementsAfterStar > kMaxElementsAfterStar) ThrowInvalidMask(pattern, position);
    afterStar = false;
    Element& element = elements_.emplace_back();
    element.kind = kind;
    return element;
  };
  size_t at = 0;
  while (at < pattern.size()) {
    const char16_t c = pattern[at];
    if (c == u'*') {
      if (!afterStar) elements_.emplace_back().kind = Kind::kStar;
      afterStar = true;
      ++at;
    } else if (c == u'?') {
      // A "?" right after a "*" run is dropped, so "*?" acts as "*".
      if (!afterStar) add(Kind::kAnyChar, at + 1);
      ++at;
    } else if (c == u'[') {
      bool negated = false;
      const size_t close = ReadSet(pattern, at, negated);
      Element& set = add(Kind::kSet, close + 1);
      set.negated = negated;
      set.set = static_cast<unsigned>(sets_.size() - 1);
      at = close + 1;
    } else {
      const size_t position = at + 1;
      const char32_t literal = Fold(ReadChar(pattern, at));
      add(Kind::kLiteral, position).literal = literal;
    }
  }
  if (afterStar && ++elementsAfterStar > kMaxElementsAfterStar) ThrowInvalidMask(pattern, pattern.size() + 1);
}

// Reads the set that opens at pattern[open] into a new entry of sets_; returns the index of its "]".
size_t CompiledMask::ReadSet(std::u16string_view pattern, size_t open, bool& negated) {
  Members members;
  size_t at = open + 1;
  if (at < pattern.size() && pattern[at] == u'!') {
    negated = true;
    ++at;
  }
  bool empty = true;
  auto addRange = [&members](char32_t low, char32_t high) {
    // Characters outside the Basic Multilingual Plane are ignored inside a set.
    if (low > 0xFFFF || high > 0xFFFF) return;
    for (char32_t c = Fold(low); c <= Fold(high) && c <= 0xFF; ++c) members.set(c);
  };
  for (;;) {
    if (at >= pattern.size()) ThrowInvalidMask(pattern, pattern.size() + 1);
    if (pattern[at] == u']') {
      if (empty) ThrowInvalidMask(pattern, at + 1);
      break;
    }
    if (pattern[at] == u'-' && empty) ThrowInvalidMask(pattern, at + 1);
    const char32_t low = ReadChar(pattern, at);
    char32_t high = low;
    if (at < pattern.size() && pattern[at] == u'-') {
      if (++at >= pattern.size()) ThrowInvalidMask(pattern, pattern.size() + 1);
      high = ReadChar(pattern, at);  // even "]" ends a range here
    }
    addRange(low, high);
    empty = false;
  }
  sets_.push_back(members);
  return at;
}

bool CompiledMask::ElementMatches(const Element& element, char32_t c) const {
  switch (element.kind) {
    case Kind::kAnyChar:
      return true;
    case Kind::kLiteral:
      return element.literal == c;
    case Kind::kSet:
      return c <= 0xFF && sets_[element.set].test(c) != element.negated;
    case Kind::kStar:
      break;
  }
  return false;
}

// Where the element after a "*" can first match from position from on: a plain character of the
// Basic Multilingual Plane is looked for directly (it is never half of a pair), anything else may
// match anywhere. npos when the character does not occur.
size_t CompiledMask::NextCandidate(std::u16string_view name, size_t from, const Element& element) {
  if (element.kind != Kind::kLiteral || element.literal > 0xFFFF || IsHighSurrogate(element.literal) ||
      IsLowSurrogate(element.literal)) {
    return from;
  }
  for (size_t at = from; at < name.size(); ++at) {
    if (Fold(name[at]) == element.literal) return at;
  }
  return name.npos;
}

// Every element but "*" takes exactly one character, so going back to the last "*" and letting
// it take one more character is enough: no earlier "*" needs to be revisited.
bool CompiledMask::MatchesForward(std::u16string_view name, size_t count) const {
  size_t element = 0;
  size_t at = 0;
  bool starMet = false;
  size_t resumeElement = 0;  // the element after the last "*" met
  size_t resumeAt = 0;
  while (at < name.size()) {
    if (element < count && elements_[element].kind == Kind::kStar) {
      if (element + 1 == count) return true;  // a final "*" takes the rest
      starMet = true;
      resumeElement = ++element;
      resumeAt = at = NextCandidate(name, at, elements_[element]);
      if (at == name.npos) return false;
      continue;
    }
    size_t next = at;
    const char32_t c = Fold(ReadChar(name, next));
    if (element < count && ElementMatches(elements_[element], c)) {
      ++element;
      at = next;
    } else if (starMet) {
      ReadChar(name, resumeAt);
      resumeAt = NextCandidate(name, resumeAt, elements_[resumeElement]);
      if (resumeAt == name.npos) return false;
      element = resumeElement;
      at = resumeAt;
    } else {
      return false;
    }
  }
  while (element < count && elements_[element].kind == Kind::kStar) ++element;
  return element == count;
}

bool CompiledMask::Matches(std::u16string_view name) const {
  size_t tail = elements_.size();
  while (tail > 0 && elements_[tail - 1].kind != Kind::kStar) --tail;
  if (tail == 0) return MatchesForward(name, elements_.size());
  // The elements after the last "*" can only take the name's last characters, one each: test
  // them from the end first, which settles most names ("*.exe") without any search.
  size_t end = name.size();
  for (size_t element = elements_.size(); element > tail; --element) {
    if (end == 0) return false;
    size_t start = end - 1;
    if (start > 0 && IsLowSurrogate(name[start]) && IsHighSurrogate(name[start - 1])) --start;
    size_t at = start;
    if (!ElementMatches(elements_[element - 1], Fold(ReadChar(name, at)))) return false;
    end = start;
  }
  return MatchesForward(name.substr(0, end), tail);
}

bool MatchesMask(std::u16string_view name, std::u16string_view pattern) { return CompiledMask(pattern).Matches(name); }
