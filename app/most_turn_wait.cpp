#include "app/most_turn_wait.h"

#include "update/folder_update_turn.h"

std::chrono::milliseconds MostTurnWait() { return kMostTurnWait; }
