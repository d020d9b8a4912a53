#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/picture/png_rows.h"

namespace platform {

// Scales a picture streamed row by row to a fixed size by area averaging: each pixel of the
// result is the mean of the source area it covers, a source pixel it covers in part weighted by
// that part. Shrinking and stretching alike, in each direction on its own. Holds the result and
// one row of sums, never the source.
class AreaAverage final : public RgbRowSink {
 public:
  AreaAverage(uint32_t width, uint32_t height);

  bool Begin(uint32_t sourceWidth, uint32_t sourceHeight) override;
  void Row(std::span<const uint8_t> rgb) override;

  // True once every source row is in.
  bool Complete() const { return sourceHeight_ != 0 && rowsDone_ == height_; }
  // The result as 0x00RRGGBB values, rows from the top down (32-bit device-independent pixels).
  std::vector<uint32_t> TakePixels() { return std::move(pixels_); }

 private:
  void AddToSums(std::span<const uint64_t> rowSums, uint64_t weight);
  void EmitRow();

  const uint32_t width_, height_;
  uint32_t sourceWidth_ = 0, sourceHeight_ = 0;
  uint32_t sourceRow_ = 0;
  uint32_t rowsDone_ = 0;
  std::vector<uint64_t> rowSums_;  // one source row squeezed to the result's width
  std::vector<uint64_t> sums_;     // the result row under way
  std::vector<uint32_t> pixels_;
};

}  // namespace platform
