#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/exception.h"
#include "base/text.h"
#include "platform/win32/picture.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "platform/window_toolkit.h"

namespace platform {
namespace {

constexpr int kDesignDpi = 96;
constexpr int kFormFontHeight = 11;       // Tahoma 8 pt at 96 dpi
constexpr int kLargeBoldFontHeight = 27;  // Tahoma 20 pt at 96 dpi
constexpr UINT_PTR kFirstControlId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

struct UniqueWindowTraits {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueHandle<UniqueWindowTraits>;

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
  // The window outlives nothing of this object: its last messages go to the default procedure.
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
    dpi_ = GetDpiForWindow(window_.get());
    StartPicture(instance);
    RebuildFonts();
    const RECT outer = OuterRectForClient();
    SetWindowPos(window_.get(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls(instance);
  }

  void Guard(const std::function<void()>& action) override {
    try {
      const HandlerScope running(handlerRunning_);
      action();
    } catch (const Exception& error) {
      events_.OnHandlerError(error);
    } catch (const std::exception& error) {
      events_.OnHandlerError(Exception(FromUtf8(error.what())));
    }
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

  void AppendLine(size_t control, const std::u16string& text) override {
    HWND memo = controls_.at(control);
    const std::u16string line = text + u"\r\n";
    const LRESULT end = GetWindowTextLengthW(memo);
    SendMessageW(memo, EM_SETSEL, end, end);
    SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(line)));
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
    // The line shows, and a reader of the log gets an answer, while the step that wrote it runs on.
    KeepResponsive();
  }

  void SetOuterWidth(int width, int clientLimit) override {
    RECT window, client;
    GetWindowRect(window_.get(), &window);
    GetClientRect(window_.get(), &client);
    const int frame = (window.right - window.left) - (client.right - client.left);
    const int outer = std::min(Scale(width), Scale(clientLimit) + frame);
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
      if (HandleTabKey(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  static std::u16string LastErrorCode() { return FromAscii(std::to_string(GetLastError())); }

  // The picture is scaled for the window's density while the window is built and filled in.
  void StartPicture(HINSTANCE instance) {
    for (const ControlLayout& control : layout_.controls) {
      if (control.kind != ControlKind::Picture) continue;
      picture_ = Picture::FromResource(instance, Wide(std::u16string(control.text)));
      const RECT rect = ScaledRect(control);
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

  int Scale(int value) const { return MulDiv(value, static_cast<int>(dpi_), kDesignDpi); }

  RECT OuterRectForClient() const {
    RECT rect{0, 0, Scale(layout_.clientWidth), Scale(layout_.clientHeight)};
    AdjustWindowRectExForDpi(&rect, kStyle, FALSE, kExStyle, dpi_);
    return rect;
  }

  RECT ScaledRect(const ControlLayout& control) const {
    const int left = Scale(control.left), top = Scale(control.top);
    return RECT{left, top, left + Scale(control.width), top + Scale(control.height)};
  }

  HFONT FontFor(const ControlLayout& control) const {
    return static_cast<HFONT>(control.font == FontKind::LargeBold ? largeBoldFont_.get() : formFont_.get());
  }

  void RebuildFonts() {
    auto make = [this](int height, int weight) {
      return UniqueGdiObject(CreateFontW(-Scale(height), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
    };
    formFont_ = make(kFormFontHeight, FW_NORMAL);
    largeBoldFont_ = make(kLargeBoldFontHeight, FW_BOLD);
    SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  }

  void CreateControls(HINSTANCE instance) {
    controls_.assign(layout_.controls.size(), nullptr);
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
      const RECT rect = ScaledRect(control);
      const std::u16string text(control.text);
      HWND hwnd = CreateWindowExW(exStyle, windowClass, Wide(text), style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, window_.get(), reinterpret_cast<HMENU>(kFirstControlId + i),
                                  instance, nullptr);
      if (!hwnd) throw Exception(u"Error creating control: " + LastErrorCode());
      // A slot holds any text, of any length.
      if (control.kind != ControlKind::Button) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control)), FALSE);
      controls_[i] = hwnd;
    }
  }

  void ApplyDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    RebuildFonts();
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t i = 0; i < controls_.size(); ++i) {
      if (!controls_[i]) continue;
      const RECT rect = ScaledRect(layout_.controls[i]);
      SetWindowPos(controls_[i], nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout_.controls[i])), TRUE);
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

  // The controls that take the focus, in tab order: visible, enabled tab stops.
  bool CanFocus(HWND hwnd) const {
    return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP);
  }

  HWND NextInTabOrder(HWND from, bool backward) const {
    const size_t count = controls_.size();
    size_t start = count;
    for (size_t i = 0; i < count; ++i)
      if (controls_[i] == from) start = i;
    for (size_t step = 1; step <= count; ++step) {
      size_t i;
      if (start == count)
        i = backward ? count - step : step - 1;
      else
        i = backward ? (start + count - step) % count : (start + step) % count;
      if (CanFocus(controls_[i])) return controls_[i];
    }
    return nullptr;
  }

  HWND FocusedControl() const {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == window_.get() ? focus : nullptr;
  }

  bool HandleTabKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if (message.hwnd != window_.get() && GetParent(message.hwnd) != window_.get()) return false;
    const bool backward = GetKeyState(VK_SHIFT) < 0;
    if (HWND next = NextInTabOrder(FocusedControl(), backward)) SetFocus(next);
    return true;
  }

  // A handler's message sent to the window while another handler runs (answered from inside a
  // long step) would start the second handler inside the first: it waits behind the running one
  // instead, as a posted one does.
  bool DeferredBehindRunningHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!handlerRunning_) return false;
    PostMessageW(window_.get(), message, wParam, lParam);
    return true;
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_.get(), &ps);
    for (const ControlLayout& control : layout_.controls) {
      if (control.kind == ControlKind::Picture) picture_.Draw(dc, ScaledRect(control));
      if (control.kind == ControlKind::Label && control.visible) PaintLabel(dc, control);
    }
    EndPaint(window_.get(), &ps);
  }

  void PaintLabel(HDC dc, const ControlLayout& control) {
    RECT rect = ScaledRect(control);
    const std::u16string text(control.text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(control.colour == TextColour::Window ? COLOR_WINDOW : COLOR_WINDOWTEXT));
    HGDIOBJ previous = SelectObject(dc, FontFor(control));
    DrawTextW(dc, Wide(text), -1, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, previous);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window_.get();
    switch (message) {
      case WM_PAINT:
        Paint();
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
        if (HWND next = NextInTabOrder(FocusedControl(), wParam != 0)) SetFocus(next);
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          lastFocus_ = FocusedControl();
        } else if (HWND focus = lastFocus_ ? lastFocus_ : NextInTabOrder(nullptr, false)) {
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

  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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
  UniqueWindow window_;
  std::vector<HWND> controls_;  // owned by the window; null for pictures and labels
  UINT dpi_ = kDesignDpi;
  UniqueGdiObject formFont_;
  UniqueGdiObject largeBoldFont_;
  Picture picture_;
  HWND lastFocus_ = nullptr;
  bool handlerRunning_ = false;
};

}  // namespace

std::unique_ptr<Form> Form::Create(const FormLayout& layout, FormEvents& events) {
  static const bool initialised = [] {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)initialised;
  auto form = std::make_unique<Win32Form>(layout, events);
  form->Build();
  return form;
}

}  // namespace platform
