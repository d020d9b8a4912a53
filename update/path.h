#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The rules every path and file name pattern of the file operations is held to.

// Below these lengths a folder path and a file path are accepted, unless they begin with "\\?\".
constexpr size_t kFolderPathLimit = 248;
constexpr size_t kFilePathLimit = 260;

// U+0000..U+001F, '"', '<', '>' and '|': 36 characters.
bool IsInvalidPathChar(char16_t c);
// The path characters and '*', '/', ':', '?' and '\': 41 characters.
bool IsInvalidFileNameChar(char16_t c);
bool HasInvalidPathChars(std::u16string_view path);

// Nothing left after removing every character of code 32 or below at both ends.
bool IsBlank(std::u16string_view text);

// A ":" anywhere after the drive part ("X:" after an optional "\\?\" or "\\?\UNC\").
bool HasColonAfterDrive(std::u16string_view path);

// The pattern checks of a listing: blank, or holding a file name character other than a wildcard
// (a leading "\\?\" or "\\?\UNC\" is not examined). Raises EArgumentException.
void CheckSearchPattern(std::u16string_view pattern);

// The form checks of a listing's folder or a copy's file, in their order: length at or above
// limit, ":" after the drive part, blank, invalid characters.
void CheckPathForm(std::u16string_view path, size_t limit);

// Everything before the last "\" or "/" of a full path; a drive's top folder keeps its separator.
std::u16string FolderPart(std::u16string_view fullPath);

// The part of path that a file beside it is named with: everything up to and including the last
// "\" or "/", or the drive ("X:") of a path without one; empty for a bare name. Files placed so
// stay on the path's volume.
std::u16string FolderBeside(std::u16string_view path);

// The listing's join: the join rule without the character test of both parts (a rooted-looking
// second part with invalid characters is still refused).
std::u16string JoinListed(const std::u16string& first, const std::u16string& second);

class TPath {
 public:
  // Everything after the last "\", "/" or ":". Raises EArgumentException for invalid characters.
  static std::u16string GetFileName(const std::u16string& path);
  // Joins two paths: a rooted second part stands alone, a separator is added only when needed.
  static std::u16string Combine(const std::u16string& first, const std::u16string& second);
};
