// The program's turn wait for a test build: a few seconds instead of ten minutes, so that a whole run
// can be seen to give up on a folder another run holds.
#include "app/most_turn_wait.h"

std::chrono::milliseconds MostTurnWait() { return std::chrono::seconds(3); }
