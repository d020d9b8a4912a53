#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The file steps a copy takes to replace a file without ever leaving it half-written: the bytes go
// to a new file beside the target first, are made durable, and the new file then takes the
// target's place. Each returns 0 or the platform's error code and decides nothing: when to try
// again, and what to move aside, is the caller's to decide.

// Writes file's data through to the disk. Without it a power loss after the rename could leave the
// target with its new name, size and time but without its bytes. A read-only file is written
// through as well: it loses the attribute for as long as that takes.
uint32_t FlushToDisk(const std::u16string& file);

// Gives file the name to, in one step and on disk when it returns; an existing file of that name
// is replaced only when replaceExisting is set.
uint32_t RenameFile(const std::u16string& file, const std::u16string& to, bool replaceExisting);

// Whether a rename of path would be refused right now by someone holding it open (0 when it would
// not), asked by opening it as a rename does.
uint32_t RenameRefusal(const std::u16string& path);

// Whether path is a file that carries the read-only attribute; false when there is none.
bool IsReadOnlyFile(const std::u16string& path);

// Sets or clears the read-only attribute of path, keeping its other attributes.
uint32_t SetReadOnly(const std::u16string& path, bool readOnly);

// Deletes a file of the program's own making, also when it carries the read-only attribute
// copied from its source, unless someone still has it open (another running instance writing
// it, a program still running from it); a missing file is no error. Keeps the last error as it
// was.
void DiscardFile(const std::u16string& path);

}  // namespace platform
