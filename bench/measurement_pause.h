#pragma once

// A pause at the edges of the timed part, for bench/run to read this process's counters from
// outside (under Wine, /proc/PID/io of the process that started it): prints the mark on a line of
// its own and waits for a line on standard input.
#include <cstdio>

inline void PauseForMeasurement(const char* mark) {
  std::printf("%s\n", mark);
  std::fflush(stdout);
  for (int c = std::getchar(); c != '\n' && c != EOF;) c = std::getchar();
}
