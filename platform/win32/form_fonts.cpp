#include "platform/win32/form_fonts.h"

#include "platform/win32/dpi_scale.h"

namespace platform {
namespace {

constexpr int kFormFontHeight = 11;       // Tahoma 8 pt at 96 dpi
constexpr int kLargeBoldFontHeight = 27;  // Tahoma 20 pt at 96 dpi

UniqueGdiObject MakeFont(int height, int weight, UINT dpi) {
  return UniqueGdiObject(CreateFontW(-Scaled(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

}  // namespace

FormFonts::FormFonts(UINT dpi)
    : form_(MakeFont(kFormFontHeight, FW_NORMAL, dpi)), largeBold_(MakeFont(kLargeBoldFontHeight, FW_BOLD, dpi)) {}

HFONT FormFonts::For(FontKind kind) const {
  return static_cast<HFONT>(kind == FontKind::LargeBold ? largeBold_.get() : form_.get());
}

}  // namespace platform
