#pragma once

#include <windows.h>

#include <wincodec.h>

#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handle.h"

// A picture decoded once from an RCDATA resource, handed out as a bitmap stretched to any size
// without keeping its aspect ratio. Needs COM initialised on the calling thread.
class Picture {
 public:
  static Picture FromResource(HINSTANCE module, const wchar_t* name);

  // A device-independent bitmap of exactly width x height pixels; empty on failure.
  UniqueGdiObject Stretched(int width, int height) const;

 private:
  ComPtr<IWICImagingFactory> factory_;
  ComPtr<IWICBitmapSource> source_;
};
