#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

// A file name pattern read into its elements: "*" (any run, several in a row act as one), "?"
// (one character), "[...]" (one character of a set, "!" negating it, "a-z" ranges) and any other
// character for itself. Letters a-z match either case; nothing else is case-folded.
class CompiledMask {
 public:
  // Raises EMaskException with the 1-based position of the fault for a pattern it cannot read.
  explicit CompiledMask(std::u16string_view pattern);

  bool Matches(std::u16string_view name) const;

 private:
  enum class Kind : unsigned char { kStar, kAnyChar, kLiteral, kSet };
  struct Element {
    Kind kind;
    bool negated = false;
    char32_t literal = 0;  // folded
    unsigned set = 0;      // index into sets_
  };
  using Members = std::bitset<256>;  // name characters above U+00FF are never in a set

  size_t ReadSet(std::u16string_view pattern, size_t open, Element& element);
  bool ElementMatches(const Element& element, char32_t c) const;

  std::vector<Element> elements_;
  std::vector<Members> sets_;
};

// Whether name matches pattern; the pattern is read anew on every call.
bool MatchesMask(std::u16string_view name, std::u16string_view pattern);
