#include "platform/win32/picture.h"

#include <memory>

#include "platform/answering.h"

namespace {

bool HasSize(const platform::ScaledPicture& picture, int width, int height) {
  return picture.width == static_cast<uint32_t>(width) && picture.height == static_cast<uint32_t>(height);
}

}  // namespace

Picture Picture::FromResource(HINSTANCE module, const wchar_t* name) {
  Picture picture;
  HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  // A resource stays mapped as long as its module is loaded: nothing to release.
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes) picture.png_ = {static_cast<const uint8_t*>(bytes), SizeofResource(module, resource)};
  return picture;
}

void Picture::Prepare(int width, int height) {
  if (png_.empty() || width <= 0 || height <= 0) return;
  // On the thread the run's steps use later: a thread of its own would cost its memory for the
  // whole run. What the scaling raises (no memory) waits in the future.
  auto scaling = std::make_shared<std::packaged_task<platform::ScaledPicture()>>(
      [png = png_, width, height] { return platform::ScalePng(png, width, height); });
  pending_ = scaling->get_future();
  // No thread to be had: Draw scales the picture itself.
  if (!platform::StartBeside([scaling] { (*scaling)(); })) pending_ = {};
}

void Picture::Draw(HDC dc, const RECT& rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (png_.empty() || width <= 0 || height <= 0) return;
  if (!HasSize(scaled_, width, height) && pending_.valid()) scaled_ = pending_.get();
  if (!HasSize(scaled_, width, height)) scaled_ = platform::ScalePng(png_, width, height);
  if (scaled_.pixels.empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, width, height, scaled_.pixels.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}
