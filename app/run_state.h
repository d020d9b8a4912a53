#pragma once

#include <string_view>

// The run state is the main button's caption; pressing the button decides on it alone.
inline constexpr std::u16string_view kStartCopy = u"START COPY";
inline constexpr std::u16string_view kRunning = u"RUNNING";

enum class Button1Step { StartCopy, CloseWindow, Nothing };

// The whole caption decides, case included.
constexpr Button1Step DecideButton1Step(std::u16string_view caption) {
  if (caption == kRunning) return Button1Step::CloseWindow;
  if (caption == kStartCopy) return Button1Step::StartCopy;
  return Button1Step::Nothing;
}
