#pragma once

#include <cstdint>
#include <string>

// The operating system's error codes, as portable code meets them, and their text.
//
// A platform call reports a failure in one of three ways, each chosen by what its caller does:
// - It returns the system code (0 for success) where the caller branches on the code or turns it
//   into an error kind of its own: ExpandFullPath (FullPath::lastError), EnumerateEntries
//   (FolderEntries::error), CopyOneFile, the file steps of file_replace.h, CancelDriveConnection and
//   AddDriveConnection, FolderUpdateLock::TryAcquire (Attempt::error) and CheckSignature
//   (SignatureCheck::result, a trust result rather than a system error).
// - It raises an error kind (base/exception.h) where the failure simply ends the step:
//   DatabaseConnection, DatabaseQuery and ExecuteStatement (EDatabaseError, EOleException),
//   ShellLink (EOleException, Exception), Form::Create and Form::EnableTimer (Exception).
// - It neither returns a code nor raises where the failure has an answer of its own: the
//   existence tests answer false, DiscardFile leaves the file, IniFile::ReadString gives the
//   default, AccountName gives nothing, UserDesktopFolder, ComputerName, FileVersion and
//   SystemErrorText give empty text.
namespace platform {

// The codes that portable code branches on, with the platform's own values (the Win32 layer
// checks them against the system headers).
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNotReady = 21;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorBadNetworkPath = 53;
inline constexpr uint32_t kErrorBadNetworkName = 67;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorBadPathName = 161;
inline constexpr uint32_t kErrorAlreadyExists = 183;

// The operating system's message text for an error code, with trailing full stops and characters
// of code 32 or below removed; empty when the system has no text for the code. The one place
// that formats system errors.
std::u16string SystemErrorText(uint32_t code);

}  // namespace platform
