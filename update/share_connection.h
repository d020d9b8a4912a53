#pragma once

#include <cstdint>
#include <string>

#include "base/slots.h"

// Connects DriveLetter + ":" to RemotePath with the share credentials, or, when UserName is empty,
// with the signed-in user's own (Password is then not sent); the platform's result code, 0 on
// success.
uint32_t MapNetworkDrive(const std::u16string& RemotePath, const std::u16string& DriveLetter,
                         const std::u16string& UserName, const std::u16string& Password);

// The two steps of the main button's handler before the copy, each ending in one log line. The
// file server takes as long as it takes, tens of seconds when unreachable: the window answers
// meanwhile.
void DisconnectStep(const std::u16string& ServerFolder, ActivityLog& log);
// Returns the code its log line leaves out, 0 when the drive was connected.
uint32_t MapStep(const std::u16string& ServerIP, const std::u16string& ServerFolder, const std::u16string& ServerUser,
                 const std::u16string& ServerPassword, ActivityLog& log);
