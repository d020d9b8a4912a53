#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The two steps that let a copy replace a file without ever leaving it half-written: the bytes go
// to a new file beside the target first, which then takes the target's place.

// Puts file in target's place in one step, replacing target. Returns 0 or the platform's error
// code. A read-only target is replaced only when file is read-only too (both took the attribute
// from the same source), and refused with ERROR_ACCESS_DENIED otherwise, as a copy over it would
// be; when the replacement fails the target keeps its bytes and its attributes.
uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target);

// Deletes a file of the program's own making, also when it carries the read-only attribute
// copied from its source, unless someone still has it open (another running instance writing
// it); a missing file is no error. Keeps the last error as it was.
void DiscardFile(const std::u16string& path);

}  // namespace platform
