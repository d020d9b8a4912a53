// Watches the program's window from another process in the same Wine prefix: every change of its
// controls, and every message box, is written as one JSON line until the window is gone.
//
//   inspector OUTFILE [--timeout SECONDS] [--screenshot FILE.bmp] [--when-log TEXT] [--action click|close]
//             [--act-after MS] [--controls NAME,NAME...] [--every yes]
//
// Every window of the program is watched, each line naming the process that owns it, until the
// last one is gone. Before any window shows, message boxes of any process are written (a start
// that failed), until the last one is gone.
// --action acts once, as soon as the window is visible: "click" presses the main button and
// "close" closes the window with its close box, as a user would; "shortcut" sends the hidden
// shortcut button's click notification to the window, a route no user has. --act-after puts the
// action off until the window has been visible for MS milliseconds.
// The screenshot (the whole screen) is taken once, as soon as the window is visible and, when
// --when-log is given, the log holds TEXT.
// --controls watches only the controls named (a comma-separated list): each snapshot then costs the
// program fewer answers, so a busy program is seen more often.
// --every writes every look, changed or not: a window that keeps answering while nothing changes
// then shows as a run of answered lines.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/layout.h"
#include "base/text.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/device_context.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tests/e2e/program_window.h"

namespace {

using program_window::ProgramWindows;
using program_window::ReadText;

std::string Json(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::u16string ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return FromWide(name);
}

std::string RectJson(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top) + "]";
}

struct Watch {
  HWND form = nullptr;
  std::u16string only;                    // ",Memo1,Button1,": the controls watched; empty for all
  std::vector<std::u16string> lastTexts;  // kept when the program is too busy to answer
  std::u16string log;
  std::string previous;  // the last state written
};

struct Options {
  std::wstring screenshot;
  std::u16string whenLog;
  std::wstring action;
  ULONGLONG actAfterMs = 0;
  ULONGLONG visibleSince = 0;  // when the window was first seen visible and answering
  bool every = false;
};

// Every window of the program, of every process running it.

std::string ControlsJson(Watch& watch, bool& answered) {
  std::string out = "[";
  std::vector<HWND> children;
  EnumChildWindows(
      watch.form,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  watch.lastTexts.resize(std::size(layout::kControls));
  // GetFocus answers for the calling thread only; the program's thread has its own focus.
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  GetGUIThreadInfo(GetWindowThreadProcessId(watch.form, nullptr), &thread);
  answered = true;
  for (HWND child : children) {
    if (GetParent(child) != watch.form) continue;
    const int index = GetDlgCtrlID(child) - platform::kFirstControlId;
    if (index < 0 || index >= static_cast<int>(std::size(layout::kControls))) continue;
    const auto& control = layout::kControls[index];
    if (!watch.only.empty() && watch.only.find(u"," + std::u16string(control.name) + u",") == std::u16string::npos)
      continue;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, watch.form, reinterpret_cast<POINT*>(&rect), 2);
    std::u16string text;
    if (ReadText(child, text))
      watch.lastTexts[index] = text;
    else
      answered = false;
    if (control.name == u"Memo1") watch.log = watch.lastTexts[index];
    if (out.size() > 1) out += ",";
    out += "{\"name\":" + Json(control.name) + ",\"class\":" + Json(ClassOf(child)) + ",\"rect\":" + RectJson(rect) +
           ",\"visible\":" + (IsWindowVisible(child) ? "true" : "false") +
           ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false") +
           ",\"focused\":" + (thread.hwndFocus == child ? "true" : "false") +
           ",\"text\":" + Json(watch.lastTexts[index]) + "}";
  }
  return out + "]";
}

// The screen's pixels inside rect, as 32-bit BGRX rows from the top down.
std::vector<unsigned char> CaptureScreen(const RECT& rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  std::vector<unsigned char> pixels;
  if (width <= 0 || height <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  const UniqueScreenDc screen(GetDC(nullptr));
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  void* bits = nullptr;
  const UniqueGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const SelectedObject selected(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
  GdiFlush();
  pixels.assign(static_cast<const unsigned char*>(bits), static_cast<const unsigned char*>(bits) + 4 * width * height);
  return pixels;
}

// Icon handles do not cross processes, so the icon is told by its pixels: the stop icon is the
// only one of the message box icons that is mostly red.
bool ShowsStopIcon(HWND icon) {
  if (!icon || !IsWindowVisible(icon)) return false;
  RECT rect;
  GetWindowRect(icon, &rect);
  const std::vector<unsigned char> pixels = CaptureScreen(rect);
  size_t red = 0;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
    const unsigned char b = pixels[i], g = pixels[i + 1], r = pixels[i + 2];
    if (r > 160 && g < 90 && b < 90) ++red;
  }
  return !pixels.empty() && red > pixels.size() / 4 / 8;
}

// The visible message boxes of process, or of every process but this one when process is 0.
std::vector<HWND> MessageBoxes(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> boxes;
  } search{process, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        const bool ofProcess = s->process ? owner == s->process : owner != GetCurrentProcessId();
        if (ofProcess && ClassOf(hwnd) == u"#32770" && IsWindowVisible(hwnd)) s->boxes.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.boxes;
}

std::string MessageBoxesJson(const std::vector<HWND>& boxes) {
  std::string out = "[";
  for (HWND hwnd : boxes) {
    std::u16string caption, text;
    // A box met while it is being built or torn down tells nothing yet; the next look sees it.
    HWND label = GetDlgItem(hwnd, 0xFFFF);
    if (!label || !ReadText(hwnd, caption) || !ReadText(label, text)) continue;
    const bool stop = ShowsStopIcon(GetDlgItem(hwnd, 0x440));
    int buttons = 0;
    EnumChildWindows(
        hwnd,
        [](HWND child, LPARAM count) {
          if (ClassOf(child) == u"Button" && IsWindowVisible(child)) ++*reinterpret_cast<int*>(count);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&buttons));
    HWND ownerWindow = GetWindow(hwnd, GW_OWNER);
    if (out.size() > 1) out += ",";
    out += "{\"caption\":" + Json(caption) + ",\"text\":" + Json(text) + ",\"stop_icon\":" + (stop ? "true" : "false") +
           ",\"buttons\":" + std::to_string(buttons) + ",\"owned\":" + (ownerWindow ? "true" : "false") + "}";
  }
  return out + "]";
}

// A 24-bit BMP of the whole screen: without an alpha byte, no reader takes the screen as
// transparent.
bool SaveScreen(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const std::vector<unsigned char> pixels = CaptureScreen(RECT{0, 0, width, height});
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<unsigned char> rows(stride * height);
  for (size_t i = 0; i < pixels.size() / 4; ++i) {
    unsigned char* out = &rows[(i / width) * stride + (i % width) * 3];
    out[0] = pixels[4 * i], out[1] = pixels[4 * i + 1], out[2] = pixels[4 * i + 2];
  }
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = -height;  // top-down rows, as captured
  header.biPlanes = 1;
  header.biBitCount = 24;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
  return out.good();
}

// Writes the window's state when it changed (or always, with --every) and acts as asked.
void Look(Watch& watch, Options& options, std::ofstream& out, ULONGLONG start) {
  DWORD process = 0;
  // A window destroyed since it was found has no process, and nothing of it is left to tell.
  if (!GetWindowThreadProcessId(watch.form, &process) || !process) return;
  RECT window, client;
  GetWindowRect(watch.form, &window);
  GetClientRect(watch.form, &client);
  POINT clientOrigin{0, 0};
  ClientToScreen(watch.form, &clientOrigin);
  std::u16string caption;
  ReadText(watch.form, caption);
  bool answered = false;
  const std::string controls = ControlsJson(watch, answered);
  const bool visible = IsWindowVisible(watch.form);
  const std::string state = std::string("{\"process\":") + std::to_string(process) + ",\"caption\":" + Json(caption) +
                            ",\"window\":" + RectJson(window) + ",\"client\":" + RectJson(client) +
                            ",\"client_origin\":[" + std::to_string(clientOrigin.x) + "," +
                            std::to_string(clientOrigin.y) + "]" + ",\"visible\":" + (visible ? "true" : "false") +
                            ",\"dpi\":" + std::to_string(GetDpiForWindow(watch.form)) +
                            ",\"answered\":" + (answered ? "true" : "false") + ",\"controls\":" + controls +
                            ",\"message_boxes\":" + MessageBoxesJson(MessageBoxes(process));
  if (state != watch.previous || options.every) {
    watch.previous = state;
    out << "{\"t\":" << (GetTickCount64() - start) << "," << state.substr(1) << "}\n";
    out.flush();
  }
  const std::wstring& action = options.action;
  if (visible && answered && !options.visibleSince) options.visibleSince = GetTickCount64();
  if (!action.empty() && visible && answered && GetTickCount64() - options.visibleSince >= options.actAfterMs) {
    if (action == L"click")
      PostMessageW(GetDlgItem(watch.form, platform::ControlId(layout::IndexOf(u"Button1"))), BM_CLICK, 0, 0);
    if (action == L"close") PostMessageW(watch.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (action == L"shortcut") {
      const int id = platform::ControlId(layout::IndexOf(u"Button4"));
      PostMessageW(watch.form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(watch.form, id)));
    }
    options.action.clear();
  }
  if (!options.screenshot.empty() && visible && answered && watch.log.find(options.whenLog) != std::u16string::npos) {
    Sleep(150);  // let the window finish painting what was just read
    SaveScreen(options.screenshot);
    options.screenshot.clear();
  }
}

// A start that fails shows its box before any window exists: with no window, the boxes of every
// other process are written, and "close" answers them as a user would. True while one shows.
bool LookWithoutWindow(Options& options, std::ofstream& out, ULONGLONG start, std::string& previous) {
  const std::vector<HWND> boxes = MessageBoxes(0);
  if (boxes.empty()) return false;
  const std::string state =
      "\"visible\":false,\"answered\":false,\"controls\":[],\"message_boxes\":" + MessageBoxesJson(boxes);
  if (state != previous || options.every) {
    previous = state;
    out << "{\"t\":" << (GetTickCount64() - start) << "," << state << "}\n";
    out.flush();
  }
  if (options.action == L"close" && state.find("\"text\"") != std::string::npos) {
    for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
    options.action.clear();
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc < 2) {
    std::fputs(
        "usage: inspector OUTFILE [--timeout S] [--screenshot FILE.bmp] [--when-log TEXT] [--action A] [--act-after MS] "
        "[--controls NAME,...] [--every yes]\n",
        stderr);
    return 2;
  }
  Options options;
  std::u16string only;
  double timeout = 120;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--timeout") timeout = _wtof(argv[i + 1]);
    if (option == L"--screenshot") options.screenshot = argv[i + 1];
    if (option == L"--when-log") options.whenLog = FromWide(argv[i + 1]);
    if (option == L"--action") options.action = argv[i + 1];
    if (option == L"--act-after") options.actAfterMs = _wtoi(argv[i + 1]);
    if (option == L"--controls") only = u"," + FromWide(argv[i + 1]) + u",";
    if (option == L"--every") options.every = true;
  }
  std::ofstream out(std::filesystem::path(argv[1]), std::ios::binary);
  std::map<HWND, Watch> watches;
  bool seen = false, boxSeen = false;
  std::string withoutWindow;
  const ULONGLONG start = GetTickCount64();
  while (GetTickCount64() - start < timeout * 1000) {
    const std::vector<HWND> forms = ProgramWindows();
    if (forms.empty()) {
      if (seen) break;
      const bool box = LookWithoutWindow(options, out, start, withoutWindow);
      if (boxSeen && !box) break;
      boxSeen = boxSeen || box;
      Sleep(20);
      continue;
    }
    seen = true;
    for (HWND form : forms) {
      Watch& watch = watches.try_emplace(form, Watch{form, only, {}, {}, {}}).first->second;
      Look(watch, options, out, start);
    }
    Sleep(20);
  }
  return seen || boxSeen ? 0 : 1;
}
