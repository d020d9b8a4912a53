#include "platform/picture/scaled_picture.h"

#include <exception>

#include "platform/picture/area_average.h"
#include "platform/picture/png_rows.h"

namespace platform {

ScaledPicture ScalePng(std::span<const uint8_t> png, uint32_t width, uint32_t height) {
  try {
    AreaAverage scaler(width, height);
    if (!ReadPngRows(png, scaler) || !scaler.Complete()) return {width, height, {}};
    return {width, height, scaler.TakePixels()};
  } catch (const std::exception&) {
    // A size too large for the memory left (bad_alloc, length_error) is no reason to stop the program.
    return {width, height, {}};
  }
}

}  // namespace platform
