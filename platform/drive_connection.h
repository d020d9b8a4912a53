#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The platform's network redirector. Both calls return the platform's result code, 0 on success;
// empty texts are handed over as empty strings, never as null. They return when the provider has
// answered, which for an unreachable server takes tens of seconds.

// Drops the connection of device (as "G:"), by force, leaving the user profile's stored
// connections alone.
uint32_t CancelDriveConnection(const std::u16string& device);

// An account of the file server's, given by name and password.
struct ShareAccount {
  std::u16string userName;
  std::u16string password;
};

// Connects device to remotePath ("\\server\share") as account, or without one as the signed-in
// user with that user's own credentials (a null user name and a null password: an empty password
// would mean no password at all); not remembered for the next sign-in and without any dialog; the
// platform chooses the provider.
uint32_t AddDriveConnection(const std::u16string& device, const std::u16string& remotePath,
                            const std::optional<ShareAccount>& account);

}  // namespace platform
