#include "platform/scaled_picture.h"

#include <new>

#include "platform/area_average.h"
#include "platform/png_rows.h"

namespace platform {

ScaledPicture ScalePng(std::span<const uint8_t> png, uint32_t width, uint32_t height) {
  try {
    AreaAverage scaler(width, height);
    if (!ReadPngRows(png, scaler) || !scaler.Complete()) return {width, height, {}};
    return {width, height, scaler.TakePixels()};
  } catch (const std::bad_alloc&) {
    return {width, height, {}};  // a picture too large for the memory left is no reason to stop the program
  }
}

}  // namespace platform
