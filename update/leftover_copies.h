#pragma once

#include <string>

// Deletes from folder the copies that runs broken off midway (sign-out, power loss, "End task")
// left beside their targets: files named by the temporary-name rule alone, never folders, and
// never a copy that another running instance still has open. Nothing is reported and nothing
// raised: a leftover that cannot go now goes on a later run.
void RemoveLeftoverCopies(const std::u16string& folder);
