#pragma once

#include <string>

#include "base/slots.h"

// Connects DriveLetter + ":" to RemotePath with the share credentials; true on success.
bool MapNetworkDrive(const std::u16string& RemotePath, const std::u16string& DriveLetter,
                     const std::u16string& UserName, const std::u16string& Password);

// The two steps of the main button's handler before the copy, each ending in one log line.
void DisconnectStep(const std::u16string& ServerFolder, ActivityLog& log);
void MapStep(const std::u16string& ServerIP, const std::u16string& ServerFolder, const std::u16string& ServerUser,
             const std::u16string& ServerPassword, ActivityLog& log);
