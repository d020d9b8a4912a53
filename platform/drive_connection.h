#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The platform's network redirector. Both calls return the platform's result code, 0 on success;
// empty texts are handed over as empty strings, never as null. They return when the provider has
// answered, which for an unreachable server takes tens of seconds.

// Drops the connection of device (as "G:"), by force, leaving the user profile's stored
// connections alone.
uint32_t CancelDriveConnection(const std::u16string& device);

// Connects device to remotePath ("\\server\share") with the given credentials, not remembered for
// the next sign-in and without any dialog; the platform chooses the provider.
uint32_t AddDriveConnection(const std::u16string& device, const std::u16string& remotePath,
                            const std::u16string& password, const std::u16string& userName);

}  // namespace platform
