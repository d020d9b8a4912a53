#pragma once

#include <functional>
#include <string>

#include "update/replacement_policy.h"

// TFile::Copy over a target that must never be left half-written, such as the user's working
// program file: the copy, with every check and message of TFile::Copy, goes to a fresh name beside
// the target, is written through to the disk, and then takes the target's place in one step, by the
// rules of replacement_policy.h (read-only targets, files held for a moment, programs in use). When
// anything fails the target is as it was, byte for byte and attributes included, and the fresh file
// is gone; the error raised is that of the failing step (EInOutError with the system's text for a
// refused copy or replacement).
// vet, when given, sees the fresh copy once it is on disk, before it takes the target's place: the
// copy that will run, not the source. An error it raises refuses the copy, with the same outcome.
using FreshCopyVetting = std::function<void(const std::u16string& fresh)>;
void CopyReplacing(const std::u16string& source, const std::u16string& target, const FreshCopyVetting& vet = {});

// The same, with the numbers of the fresh names drawn by draw instead of the system's random source.
void CopyReplacing(const std::u16string& source, const std::u16string& target, const FreshCopyVetting& vet,
                   const NameDraw& draw);
