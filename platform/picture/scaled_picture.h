#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// A picture at the size it is drawn: 0x00RRGGBB values, rows from the top down.
struct ScaledPicture {
  uint32_t width = 0, height = 0;  // the size asked for, also when there is no picture
  std::vector<uint32_t> pixels;    // empty when there is no picture
};

// The PNG image png scaled to width x height by area averaging, decoded row by row so that the
// image is never held whole. No picture when png cannot be read (see ReadPngRows) or a size is 0.
ScaledPicture ScalePng(std::span<const uint8_t> png, uint32_t width, uint32_t height);

}  // namespace platform
