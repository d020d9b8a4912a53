#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/exception.h"
#include "base/text.h"
#include "platform/answering.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/form_face.h"
#include "platform/win32/form_fonts.h"
#include "platform/win32/memo_log.h"
#include "platform/win32/picture.h"
#include "platform/win32/tab_order.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_dpi.h"
#include "platform/window_toolkit.h"

namespace platform {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Marks a handler as running for as long as it runs, so that it has ended when its error is
// reported and the report's own loop may run the next one.
class HandlerScope {
 public:
  explicit HandlerScope(bool& running) : running_(running), outer_(std::exchange(running, true)) {}
  ~HandlerScope() { running_ = outer_; }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;

 private:
  bool& running_;
  bool outer_;
};

bool IsWindowed(ControlKind kind) { return kind != ControlKind::Picture && kind != ControlKind::Label; }

class Win32Form final : public Form {
 public:
  Win32Form(const FormLayout& layout, FormEvents& events) : layout_(layout), events_(events) {}
  // The window is the first member to go, but this object has ended by then: the window's last
  // messages go to the default procedure.
  ~Win32Form() override {
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }

  void Build() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClassOnce(instance);
    const std::u16string windowClass(layout_.windowClass), caption(layout_.caption);
    window_.reset(CreateWindowExW(kExStyle, Wide(windowClass), Wide(caption), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  layout_.clientWidth, layout_.clientHeight, nullptr, nullptr, instance, this));
    if (!window_) throw Exception(u"Error creating window: " + LastErrorCode());
    dpi_ = WindowDpi(window_.get());
    StartPicture(instance);
    fonts_ = FormFonts(dpi_);
    SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(FontKind::Form)), FALSE);
    const RECT outer = OuterRectForClient();
    SetWindowPos(window_.get(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls(instance);
  }

  // The lines a handler logged are all shown when it ends, and before its error is reported.
  void Guard(const std::function<void()>& action) override {
    try {
      const HandlerScope running(handlerRunning_);
      action();
    } catch (const Exception& error) {
      ShowLogs();
      events_.OnHandlerError(error);
    } catch (const std::exception& error) {
      ShowLogs();
      events_.OnHandlerError(Exception(FromUtf8(error.what())));
    }
    ShowLogs();
  }

  std::u16string Text(size_t control) const override {
    HWND hwnd = controls_.at(control);
    if (!hwnd) return std::u16string(layout_.controls[control].text);
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, Wide(text), static_cast<int>(text.size()))));
    return text;
  }

  void SetText(size_t control, const std::u16string& text) override {
    SetWindowTextW(controls_.at(control), Wide(text));
  }

  void AppendLine(size_t control, const std::u16string& text) override { logs_.at(control)->AppendLine(text); }

  void SetOuterWidth(int width, int clientLimit) override {
    RECT window, client;
    GetWindowRect(window_.get(), &window);
    GetClientRect(window_.get(), &client);
    const int frame = (window.right - window.left) - (client.right - client.left);
    const int outer = std::min(Scaled(width, dpi_), Scaled(clientLimit, dpi_) + frame);
    SetWindowPos(window_.get(), nullptr, 0, 0, outer, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void EnableTimer(unsigned timer, unsigned intervalMs) override {
    if (!SetTimer(window_.get(), timer, intervalMs, nullptr)) throw Exception(u"Not enough timers available");
  }

  void FocusNextControl() override { SendMessageW(window_.get(), WM_NEXTDLGCTL, 0, 0); }

  void Close() override { PostQuitMessage(0); }

  void Run() override {
    Guard([this] { events_.OnShow(); });
    CentreOnScreen();
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    UpdateWindow(window_.get());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (MoveFocusOnTab(window_.get(), controls_, message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  void ShowLogs() {
    for (const std::unique_ptr<MemoLog>& log : logs_)
      if (log) log->Show();
  }

  static std::u16string LastErrorCode() { return FromAscii(std::to_string(GetLastError())); }

  // The picture is scaled for the window's density while the window is built and filled in.
  void StartPicture(HINSTANCE instance) {
    for (const ControlLayout& control : layout_.controls) {
      if (control.kind != ControlKind::Picture) continue;
      picture_ = Picture::FromResource(instance, Wide(std::u16string(control.text)));
      const RECT rect = ScaledRect(control, dpi_);
      picture_.Prepare(rect.right - rect.left, rect.bottom - rect.top);
    }
  }

  void RegisterClassOnce(HINSTANCE instance) {
    const std::u16string windowClass(layout_.windowClass);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, Wide(windowClass), &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32Form::WindowProcedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = Wide(windowClass);
    if (!RegisterClassExW(&wc)) throw Exception(u"Error registering window class: " + LastErrorCode());
  }

  RECT OuterRectForClient() const {
    RECT rect{0, 0, Scaled(layout_.clientWidth, dpi_), Scaled(layout_.clientHeight, dpi_)};
    AdjustWindowRectForDpi(rect, kStyle, kExStyle, dpi_);
    return rect;
  }

  void CreateControls(HINSTANCE instance) {
    controls_.assign(layout_.controls.size(), nullptr);
    logs_.resize(layout_.controls.size());
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
      const ControlLayout& control = layout_.controls[i];
      if (!IsWindowed(control.kind)) continue;
      const wchar_t* windowClass = control.kind == ControlKind::Button ? L"BUTTON" : L"EDIT";
      DWORD style = WS_CHILD | WS_TABSTOP | (control.visible ? WS_VISIBLE : 0) | (control.enabled ? 0 : WS_DISABLED);
      DWORD exStyle = 0;
      if (control.kind == ControlKind::Button) style |= BS_PUSHBUTTON;
      if (control.kind == ControlKind::Edit) style |= ES_AUTOHSCROLL, exStyle = WS_EX_CLIENTEDGE;
      if (control.kind == ControlKind::Memo) {
        style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | (control.verticalScrollBar ? WS_VSCROLL : 0);
        exStyle = WS_EX_CLIENTEDGE;
      }
      const RECT rect = ScaledRect(control, dpi_);
      const std::u16string text(control.text);
      HWND hwnd = CreateWindowExW(exStyle, windowClass, Wide(text), style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, window_.get(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(i))), instance, nullptr);
      if (!hwnd) throw Exception(u"Error creating control: " + LastErrorCode());
      // A slot holds any text, of any length.
      if (control.kind != ControlKind::Button) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(control.font)), FALSE);
      controls_[i] = hwnd;
      if (control.kind == ControlKind::Memo) logs_[i] = std::make_unique<MemoLog>(hwnd);
    }
  }

  void ApplyDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The old fonts live on until the end of this call: every control is sent its new font first.
    const FormFonts previousFonts = std::exchange(fonts_, FormFonts(dpi));
    SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(FontKind::Form)), FALSE);
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t i = 0; i < controls_.size(); ++i) {
      if (!controls_[i]) continue;
      const RECT rect = ScaledRect(layout_.controls[i], dpi_);
      SetWindowPos(controls_[i], nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(layout_.controls[i].font)), TRUE);
    }
    InvalidateRect(window_.get(), nullptr, TRUE);
  }

  void CentreOnScreen() {
    RECT rect;
    GetWindowRect(window_.get(), &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    SetWindowPos(window_.get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // A handler's message sent to the window while another handler runs (answered from inside a
  // long step) would start the second handler inside the first: it waits behind the running one
  // instead, as a posted one does.
  bool DeferredBehindRunningHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!handlerRunning_) return false;
    PostMessageW(window_.get(), message, wParam, lParam);
    return true;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window_.get();
    switch (message) {
      case WM_PAINT:
        PaintFormFace(hwnd, layout_.controls, dpi_, fonts_, picture_);
        return 0;
      case WM_TIMER:
        if (DeferredBehindRunningHandler(message, wParam, lParam)) return 0;
        Guard([&] { events_.OnTimer(static_cast<unsigned>(wParam)); });
        return 0;
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= kFirstControlId) {
          if (DeferredBehindRunningHandler(message, wParam, lParam)) return 0;
          const size_t index = LOWORD(wParam) - kFirstControlId;
          Guard([&] { events_.OnClick(index); });
          return 0;
        }
        break;
      case WM_CHAR: {
        if (DeferredBehindRunningHandler(message, wParam, lParam)) return 0;
        char16_t key = static_cast<char16_t>(wParam);
        Guard([&] { events_.OnKeyPress(key); });
        if (key == 0) return 0;
        return DefWindowProcW(hwnd, message, key, lParam);
      }
      case WM_NEXTDLGCTL:
        // Only a dialog's own procedure answers this request; this window is no dialog.
        if (HWND next = NextInTabOrder(controls_, FocusedChild(hwnd), wParam != 0)) SetFocus(next);
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          lastFocus_ = FocusedChild(hwnd);
        } else if (HWND focus = lastFocus_ ? lastFocus_ : NextInTabOrder(controls_, nullptr, false)) {
          SetFocus(focus);
          return 0;
        }
        break;
      case WM_CTLCOLORSTATIC:
        // The read-only log keeps the window colour, like any enabled text field.
        if (IsWindowEnabled(reinterpret_cast<HWND>(lParam)) &&
            (GetWindowLongW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & ES_MULTILINE)) {
          HDC dc = reinterpret_cast<HDC>(wParam);
          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
          SetBkColor(dc, GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
      case WM_DPICHANGED:
        // Before the controls exist there is nothing to rescale; the creation scales them itself.
        if (!controls_.empty()) ApplyDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      case WM_CLOSE:
        Close();
        return 0;
      default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  // Nothing may unwind into the system's code that called this procedure: the handlers' errors
  // are reported by Guard, and anything else thrown here (no memory left while painting) ends
  // the program on the spot.
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!self || !self->window_) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
  }

  const FormLayout& layout_;
  FormEvents& events_;
  UINT dpi_ = kDesignDpi;
  FormFonts fonts_;
  Picture picture_;
  HWND lastFocus_ = nullptr;
  bool handlerRunning_ = false;
  std::vector<HWND> controls_;                  // owned by the window; null for pictures and labels
  std::vector<std::unique_ptr<MemoLog>> logs_;  // one for each memo, null for the other controls
  // Declared after everything the window uses, so that it is destroyed first.
  UniqueWindow window_;
};

}  // namespace

std::unique_ptr<Form> Form::Create(const FormLayout& layout, FormEvents& events) {
  static const bool initialised = [] {
    // Kestrane.exe declares this awareness in its manifest, which Windows applies before any code
    // runs (so that the start-up failure box scales too) and which makes Windows refuse this call.
    // The call is for the programs that host the window without that manifest, the tests, so that
    // their window scales as Kestrane's does. (Wine 8 makes every process per-monitor aware and
    // refuses the call either way.)
    RequestPerMonitorDpiAwareness();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)initialised;
  auto form = std::make_unique<Win32Form>(layout, events);
  form->Build();
  return form;
}

}  // namespace platform
