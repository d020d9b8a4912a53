#include "platform/win32/form_face.h"

#include <string>

#include "platform/win32/device_context.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

void PaintLabel(HDC dc, const ControlLayout& control, UINT dpi, const FormFonts& fonts) {
  RECT rect = ScaledRect(control, dpi);
  const std::u16string text(control.text);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(control.colour == TextColour::Window ? COLOR_WINDOW : COLOR_WINDOWTEXT));
  const SelectedObject font(dc, fonts.For(control.font));
  DrawTextW(dc, Wide(text), -1, &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

}  // namespace

void PaintFormFace(HWND window, std::span<const ControlLayout> controls, UINT dpi, const FormFonts& fonts,
                   Picture& picture) {
  const PaintDc dc(window);
  for (const ControlLayout& control : controls) {
    if (control.kind == ControlKind::Picture) picture.Draw(dc.get(), ScaledRect(control, dpi));
    if (control.kind == ControlKind::Label && control.visible) PaintLabel(dc.get(), control, dpi, fonts);
  }
}

}  // namespace platform
