#pragma once

#include <windows.h>

#include <cstdint>
#include <future>
#include <span>

#include "platform/picture/scaled_picture.h"

// A picture kept as the PNG of an RCDATA resource and drawn stretched to any size without keeping
// its aspect ratio. It is decoded afresh for every size it is drawn at and only the scaled result
// is kept, so the image is never held at full size, also not for a later change of density.
class Picture {
 public:
  static Picture FromResource(HINSTANCE module, const wchar_t* name);

  // Starts scaling to width x height beside the calling thread (StartBeside), so that the work
  // overlaps whatever the caller does until it first draws at that size.
  void Prepare(int width, int height);
  // Draws the picture over rect, scaled to its size; nothing when the PNG cannot be read.
  void Draw(HDC dc, const RECT& rect);

 private:
  std::span<const uint8_t> png_;
  std::future<platform::ScaledPicture> pending_;
  platform::ScaledPicture scaled_;
};
