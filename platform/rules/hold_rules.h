#pragma once

#include <cstdint>

// Whether a name that refused an open or a rename is held by someone: the one rule that the folder's
// update lock and the replacement of a file both go by.
namespace platform {

// How the folder's listing (FindFirstFileW) shows the name. The listing still shows a file whose
// deletion waits for someone's handle to close, which answers every open and every attribute read
// of its own name as access denied.
enum class ListedAs { Nothing, File, ReadOnlyFile, Folder };

enum class Hold {
  Held,      // someone has it open, or its deletion waits on someone's handle: worth asking again
  ReadOnly,  // a file that refuses writing by its own attribute
  Folder,    // a folder stands under the name
  NotHeld,   // nobody holds it: the refusal is the folder's or the system's, and asking again changes nothing
};

// What error, met on opening or renaming a name the listing shows as listed, says of that name.
Hold HoldOf(uint32_t error, ListedAs listed);

}  // namespace platform
