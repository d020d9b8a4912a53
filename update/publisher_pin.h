#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "update/mask_matcher.h"

// Whose signature a fresh local copy must carry before it takes its name, as the settings file's
// section [Kestrane] pins it. Only the settings file, which administrators own, sets it: nothing a
// run reads from the database or the share can widen it or turn it off.
struct PublisherPin {
  std::vector<std::u16string> publishers;         // the signers' names; none: no check at all
  std::vector<std::vector<uint8_t>> thumbprints;  // SHA-1 (20 bytes) or SHA-256 (32); none: any certificate
  std::vector<CompiledMask> unsignedFiles;        // data files that may come unsigned

  bool Active() const { return !publishers.empty(); }
  // Whether the file called name is to be checked: the pin is active and name is not one of the
  // data files that may come unsigned.
  bool Checks(std::u16string_view name) const;
};

// The pin from the values of Publisher, PublisherThumbprint and Unsigned as written (empty when a
// key is absent), each a list separated by ";". Names and patterns lose the blanks around them;
// thumbprints lose every blank (and the invisible direction marks that copying one from the
// certificate dialog brings along) and are read as hexadecimal in either letter case. Raises
// Exception, naming the key, the value and the rule, for a thumbprint that is not 40 or 64
// hexadecimal digits, a pattern the matcher cannot read, and thumbprints without any Publisher (a
// pin that would check nothing).
PublisherPin ParsePublisherPin(const std::u16string& publisher, const std::u16string& thumbprint,
                               const std::u16string& unsignedFiles);
