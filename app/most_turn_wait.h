#pragma once

#include <chrono>

// How long a run waits for its folder's turn before it gives up (kMostTurnWait). Defined apart from
// the window so that a test build of the program can link a shorter one and show the whole give-up.
std::chrono::milliseconds MostTurnWait();
