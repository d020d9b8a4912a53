#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The two steps that let a copy replace a file without ever leaving it half-written: the bytes go
// to a new file beside the target first, which then takes the target's place.

// Whether path carries the read-only attribute; false for a path that cannot be read.
bool IsReadOnly(const std::u16string& path);

enum class ReadOnlyTarget { kRefuse, kReplace };

// Puts file in target's place in one step, replacing target. Returns 0 or the platform's error
// code. A read-only target is refused with ERROR_ACCESS_DENIED, as a copy over it would be, or
// replaced; when the replacement fails the target keeps its bytes and its attributes.
uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target, ReadOnlyTarget readOnly);

// Deletes a file of the program's own making, also when it carries the read-only attribute
// copied from its source, unless someone still has it open (another running instance writing
// it); a missing file is no error. Keeps the last error as it was.
void DiscardFile(const std::u16string& path);

}  // namespace platform
