#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The steps that let a copy replace a file without ever leaving it half-written: the bytes go to
// a new file beside the target first, are made durable, and the new file then takes the target's
// place.

// Writes file's data through to the disk. Without it a power loss after the rename could leave the
// target with its new name, size and time but without its bytes. Returns 0 or the platform's
// error code.
uint32_t FlushToDisk(const std::u16string& file);

// Puts file in target's place in one step, replacing target. Returns 0 or the platform's error
// code. A read-only target is replaced only when file is read-only too (both took the attribute
// from the same source), and refused with ERROR_ACCESS_DENIED otherwise, as a copy over it would
// be. A target in use (a running program, a file held open by a program that lets it be renamed)
// cannot be replaced but can be renamed: it moves to aside, a free name in its folder, file takes
// its place, and aside is deleted at once when nothing holds it any more, else left for the next
// run's leftover cleanup. When the replacement fails the target keeps its name, its bytes and its
// attributes, and the error is the first refusal met.
uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target, const std::u16string& aside);

// Deletes a file of the program's own making, also when it carries the read-only attribute
// copied from its source, unless someone still has it open (another running instance writing
// it, a program still running from it); a missing file is no error. Keeps the last error as it
// was.
void DiscardFile(const std::u16string& path);

}  // namespace platform
