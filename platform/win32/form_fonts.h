#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/window_toolkit.h"

namespace platform {

// The window's fonts, made for one density. A control keeps using the font it was sent, so a
// set is released only once every control has been sent its successor.
class FormFonts {
 public:
  FormFonts() = default;
  explicit FormFonts(UINT dpi);

  HFONT For(FontKind kind) const;

 private:
  UniqueGdiObject form_;
  UniqueGdiObject largeBold_;
};

}  // namespace platform
