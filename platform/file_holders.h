#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The processes the system says have a file open (Restart Manager), each as its name and id
// ("Kestrane.exe, process 4242"); error is the system's code when it cannot tell. A file held only
// by what the system does not track (an attribute-only handle, a handle of another session the
// caller may not see) has no holder the system can name.
struct FileHolders {
  std::vector<std::u16string> processes{};
  uint32_t error = 0;
};
FileHolders ProcessesHolding(const std::u16string& path);

}  // namespace platform
