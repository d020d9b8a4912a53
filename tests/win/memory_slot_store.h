#pragma once

#include <map>
#include <string>

#include "base/slots.h"

// The slots as a plain map, for steps tested without the window.
class MemorySlotStore : public SlotStore {
 public:
  MemorySlotStore() = default;
  MemorySlotStore(std::initializer_list<std::pair<const Slot, std::u16string>> values) : values_(values) {}

  std::u16string Read(Slot slot) const override {
    const auto found = values_.find(slot);
    return found == values_.end() ? std::u16string() : found->second;
  }
  void Write(Slot slot, const std::u16string& text) override { values_[slot] = text; }

 private:
  std::map<Slot, std::u16string> values_;
};
