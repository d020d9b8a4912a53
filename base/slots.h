#pragma once

#include <string>

// The settings slots: the edit fields through which every value passes from one step of the run
// to the next. The window implements this; the steps read and write through it.
enum class Slot {
  Edit1,
  Edit2,
  Edit3,
  Edit4,
  Edit5,
  Edit6,
  Edit7,
  Edit8,
  Edit9,
  Edit10,
  Edit11,
  Edit12,
  Edit13,
  Edit14
};

class SlotStore {
 public:
  virtual ~SlotStore() = default;
  virtual std::u16string Read(Slot slot) const = 0;
  virtual void Write(Slot slot, const std::u16string& text) = 0;
};

// The activity log: lines appended at its end, one at a time.
class ActivityLog {
 public:
  virtual ~ActivityLog() = default;
  virtual void AppendLine(const std::u16string& line) = 0;
};
