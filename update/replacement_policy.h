#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How a fresh copy, already on disk beside its target, takes the target's place, whoever else has
// a hand on either file:
// - A read-only target is replaced only when the copy is read-only too (both took the attribute
//   from the same source), and refused as access denied otherwise, before anything moves.
// - A refusal by someone holding a file for a moment (a scanner, an indexer, a backup agent opening
//   a fresh file) is tried again a few times over about two seconds (kHoldRetryDelays).
// - A target that is itself what refuses (a program running from it, a file held open by a program
//   that lets it be renamed) is moved aside under a name that carries its own (SetAsidePath) and the
//   copy takes its name; the set-aside file goes as soon as nothing holds it, else it is left to the
//   next run, which puts it back when its target is missing. When the copy cannot take the name
//   after all, the target comes back, with the same retries; when even that fails, the EInOutError
//   raised names the file the target waits in. A target whose set-aside name does not fit is not
//   replaced: the EInOutError raised says so.
// Whether a refusal is a hold is platform::HoldOf's to say, of the name refused.
// Returns 0, or the first refusal met on the last try; the target then keeps its name, its bytes
// and its attributes.
using NameDraw = std::function<uint32_t()>;
uint32_t TakeTargetsPlace(const std::u16string& fresh, const std::u16string& target, const NameDraw& draw);

// Runs step until it succeeds, fails otherwise than by a hold of name, or the retries are spent; its
// last result.
uint32_t RetriedWhileHeld(const std::u16string& name, const std::function<uint32_t()>& step);
