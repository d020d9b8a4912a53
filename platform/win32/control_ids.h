#pragma once

#include <cstddef>

namespace platform {

// A windowed control's id is this base plus its index in the layout table: the window tells its
// controls' notifications apart by it, and a program that watches the window from outside finds
// a control by it.
inline constexpr int kFirstControlId = 100;

inline int ControlId(size_t index) { return kFirstControlId + static_cast<int>(index); }

}  // namespace platform
