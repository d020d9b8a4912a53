// database_form_floor CONNECTION-STRING: the floor of Kestrane's start-up and memory. The bare form
// of the same make-up (common controls 6 through the same manifest, the same edit fields and buttons
// with the same fonts, the labels painted on the face, no picture) that also does what every program
// reading the settings row must do: it connects through the data source, runs the same query and
// reads the row into the fields, then narrows and shows the window as Kestrane does.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>

#include "app/layout.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/form_face.h"
#include "platform/win32/form_fonts.h"
#include "platform/win32/odbc_handle.h"
#include "platform/win32/picture.h"
#include "platform/win32/unique_handle.h"

namespace {

using platform::ControlKind;

constexpr wchar_t kQuery[] =
    L"SELECT FTPHost, FTPUser, FTPPswd, FTPPath, DownloadPath, TempEXEPath FROM vcUpgradeSettings\r\n";
// The fields the row's columns go to, in the query's order.
constexpr std::array kColumnFields = {layout::IndexOf(u"Edit9"),  layout::IndexOf(u"Edit10"),
                                      layout::IndexOf(u"Edit11"), layout::IndexOf(u"Edit12"),
                                      layout::IndexOf(u"Edit13"), layout::IndexOf(u"Edit14")};

struct Face {
  UINT dpi = platform::kDesignDpi;
  platform::FormFonts fonts;
  Picture noPicture;
};

LRESULT CALLBACK FaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* face = reinterpret_cast<Face*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_PAINT && face) {
    platform::PaintFormFace(window, layout::kControls, face->dpi, face->fonts, face->noPicture);
    return 0;
  }
  if (message == WM_CLOSE) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

void CreateControls(HWND window, const Face& face) {
  for (size_t i = 0; i < std::size(layout::kControls); ++i) {
    const platform::ControlLayout& control = layout::kControls[i];
    if (control.kind == ControlKind::Picture || control.kind == ControlKind::Label) continue;
    DWORD style = WS_CHILD | WS_TABSTOP | (control.visible ? WS_VISIBLE : 0) | (control.enabled ? 0 : WS_DISABLED);
    if (control.kind == ControlKind::Button) style |= BS_PUSHBUTTON;
    if (control.kind == ControlKind::Edit) style |= ES_AUTOHSCROLL;
    if (control.kind == ControlKind::Memo)
      style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | (control.verticalScrollBar ? WS_VSCROLL : 0);
    const RECT rect = platform::ScaledRect(control, face.dpi);
    const std::wstring text(control.text.begin(), control.text.end());
    HWND child =
        CreateWindowExW(control.kind == ControlKind::Button ? 0 : WS_EX_CLIENTEDGE,
                        control.kind == ControlKind::Button ? L"BUTTON" : L"EDIT", text.c_str(), style, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(platform::ControlId(i))), nullptr, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(face.fonts.For(control.font)), FALSE);
  }
}

// The settings row into its fields; a failure leaves them empty, as nothing here is measured by it.
void ReadSettingsRow(HWND window, const wchar_t* connectionString) {
  SQLHANDLE handle = SQL_NULL_HANDLE;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle);
  const UniqueOdbcEnvironment environment(handle);
  SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, environment.get(), &handle);
  const UniqueOdbcConnection connection(handle);
  if (!SQL_SUCCEEDED(SQLDriverConnectW(connection.get(), nullptr, const_cast<SQLWCHAR*>(connectionString), SQL_NTS,
                                       nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
    return;
  SQLAllocHandle(SQL_HANDLE_STMT, connection.get(), &handle);
  UniqueOdbcStatement statement(handle);
  if (SQL_SUCCEEDED(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR*>(kQuery), SQL_NTS)) &&
      SQL_SUCCEEDED(SQLFetch(statement.get()))) {
    for (SQLUSMALLINT column = 1; column <= kColumnFields.size(); ++column) {
      wchar_t value[512] = {};
      SQLLEN length = 0;
      SQLGetData(statement.get(), column, SQL_C_WCHAR, value, sizeof(value), &length);
      SetDlgItemTextW(window, platform::ControlId(kColumnFields[column - 1]), value);
    }
  }
  statement.reset();
  SQLDisconnect(connection.get());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR connectionString, int) {
  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = FaceProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"TForm1";
  RegisterClassExW(&windowClass);
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  Face face;  // outlives the window, which paints with it
  const UniqueWindow owner(CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, windowClass.lpszClassName, L"TavCopy",
                                           kStyle, CW_USEDEFAULT, CW_USEDEFAULT, layout::kClientWidth,
                                           layout::kClientHeight, nullptr, nullptr, instance, nullptr));
  HWND window = owner.get();
  face.dpi = GetDpiForWindow(window);
  face.fonts = platform::FormFonts(face.dpi);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&face));
  CreateControls(window, face);
  ReadSettingsRow(window, connectionString);
  RECT outer{0, 0, platform::Scaled(layout::kStripClientWidth, face.dpi),
             platform::Scaled(layout::kClientHeight, face.dpi)};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
