#pragma once

#include <string>
#include <vector>

#include "base/slots.h"

// The activity log as the steps see it, keeping every line for the test to compare.
class RecordingLog : public ActivityLog {
 public:
  void AppendLine(const std::u16string& line) override { lines.push_back(line); }
  std::vector<std::u16string> lines;
};
