#pragma once

#include <string>

// The per-user folder that the refreshed files are copied into: fixed drive, profile root and tail
// around the sign-in name. Where the system names the user's local application data folder
// elsewhere (a profile folder not named after the account, "anna.CORP" or "anna.000", or a profile
// root on another drive), the suite lives there, and the folder is the system's plus "\tavirel";
// where the two agree, or the system names none (empty localAppData), it is the formed one.
std::u16string DestinationFolder(const std::u16string& userName, const std::u16string& localAppData);
