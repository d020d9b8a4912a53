#pragma once

#include <string>

// TFile::Copy over a target that must never be left half-written, such as the user's working
// program file: the copy, with every check and message of TFile::Copy, goes to a fresh name beside
// the target, is written through to the disk, and then takes the target's place in one step. A
// read-only target is replaced only when its source is read-only too, and refused as access denied
// otherwise. A program running from the target (or a file held open that may be renamed) is moved
// aside and replaced; it keeps running from the old bytes. When anything fails the target is as it
// was, byte for byte and attributes included, and the fresh file is gone; the error raised is that
// of the failing step (EInOutError with the system's text for a refused copy or replacement).
void CopyReplacing(const std::u16string& source, const std::u16string& target);
