#pragma once

#include <memory>
#include <string>

namespace platform {

// The signed-in user's own desktop folder (not the shared one of all users), as the shell gives
// it; empty when the lookup fails, which callers accept without a test.
std::u16string UserDesktopFolder();

// The signed-in user's local application data folder, as the system knows it wherever the profile
// lies; empty when the lookup fails.
std::u16string LocalAppDataFolder();

// The shell's link object, holding its references only while it lives: released on every path,
// also when a step raises.
class ShellLink {
 public:
  // Creates the object, in-process or local server, asking for the base interface first, then
  // for its link interface. Raises EOleException "<system text>, ClassID: <class id>" when it
  // cannot be created and Exception "Interface not supported" when the interface is missing.
  static std::unique_ptr<ShellLink> Create();
  virtual ~ShellLink() = default;

  // Sets the target; the result is not tested.
  virtual void SetPath(const std::u16string& target) = 0;
  // Asks the object for its file interface (Exception "Interface not supported" when missing)
  // and saves to fileName without adopting it as the current file; the result is not tested.
  virtual void Save(const std::u16string& fileName) = 0;
};

}  // namespace platform
