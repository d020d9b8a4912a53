#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class Exception;

namespace platform {

enum class ControlKind { Picture, Label, Memo, Edit, Button };
enum class FontKind { Form, LargeBold };
enum class TextColour { WindowText, Window };

// One control of a window, at 96 dpi. Windowed controls are created in table order, which is
// also their tab order; pictures and labels are drawn on the window's face in table order.
struct ControlLayout {
  std::u16string_view name;
  ControlKind kind;
  int left, top, width, height;
  std::u16string_view text;
  bool visible;
  bool enabled;
  FontKind font = FontKind::Form;
  TextColour colour = TextColour::WindowText;
  bool verticalScrollBar = false;
};

struct FormLayout {
  std::u16string_view windowClass;
  std::u16string_view caption;
  int clientWidth, clientHeight;  // at 96 dpi
  std::span<const ControlLayout> controls;
};

// What the window reports to its owner. Every call runs inside a handler boundary: an error
// that escapes it goes to OnHandlerError, and the program carries on.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void OnShow() = 0;
  virtual void OnKeyPress(char16_t& key) = 0;
  virtual void OnClick(size_t control) = 0;
  virtual void OnTimer(unsigned timer) = 0;
  virtual void OnHandlerError(const Exception& error) = 0;
};

// A top-level window built from a FormLayout, scaled to the density of its screen.
class Form {
 public:
  // Raises Exception when the window cannot be created.
  static std::unique_ptr<Form> Create(const FormLayout& layout, FormEvents& events);
  virtual ~Form() = default;

  // Runs action as a handler: errors go to FormEvents::OnHandlerError.
  virtual void Guard(const std::function<void()>& action) = 0;

  virtual std::u16string Text(size_t control) const = 0;
  virtual void SetText(size_t control, const std::u16string& text) = 0;
  // Appends text and a line break at the end of a memo and brings the newest line into view.
  virtual void AppendLine(size_t control, const std::u16string& text) = 0;
  // The outer width, given at 96 dpi and scaled to the window's density; the client area never
  // grows past clientLimit (at 96 dpi), whatever frame the platform draws at that density.
  virtual void SetOuterWidth(int width, int clientLimit) = 0;
  // Raises Exception("Not enough timers available") when the platform has none left.
  virtual void EnableTimer(unsigned timer, unsigned intervalMs) = 0;
  // The window's own next-control request: focus moves forward in tab order.
  virtual void FocusNextControl() = 0;
  // Asks the application to end once the current handler has returned.
  virtual void Close() = 0;
  // Shows the window (OnShow first, then centred, shown and painted) and handles messages until
  // the application ends.
  virtual void Run() = 0;
};

// The error report: a modal stop box with one OK button, owned by the active window.
void ShowErrorReport(const std::u16string& text, const std::u16string& caption);
// The start-up failure box, for errors before the window exists.
void ShowStartupFailure(const std::u16string& errorKind, const std::u16string& message);
// The executable's own file path.
std::u16string ExecutablePath();

}  // namespace platform
