#include "platform/picture/area_average.h"

#include <algorithm>

namespace platform {

// Lengths are counted in units that divide both pixel grids: along a side of n source and m
// result pixels, source pixel i spans [i*m, (i+1)*m) and result pixel j spans [j*n, (j+1)*n).
// The overlap of the two is the weight of i in j, and the weights of j add up to n.

AreaAverage::AreaAverage(uint32_t width, uint32_t height) : width_(width), height_(height) {}

bool AreaAverage::Begin(uint32_t sourceWidth, uint32_t sourceHeight) {
  if (width_ == 0 || height_ == 0 || sourceWidth == 0 || sourceHeight == 0) return false;
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  sourceRow_ = rowsDone_ = 0;
  rowSums_.assign(size_t{width_} * 3, 0);
  sums_.assign(size_t{width_} * 3, 0);
  pixels_.assign(size_t{width_} * height_, 0);
  return true;
}

void AreaAverage::Row(std::span<const uint8_t> rgb) {
  if (sourceRow_ >= sourceHeight_ || rgb.size() < size_t{sourceWidth_} * 3) return;
  const uint64_t sourceWidth = sourceWidth_, width = width_;
  for (uint64_t x = 0; x < width; ++x) {
    const uint64_t begin = x * sourceWidth, end = begin + sourceWidth;
    uint64_t red = 0, green = 0, blue = 0;
    for (uint64_t i = begin / width; i * width < end; ++i) {
      const uint64_t weight = std::min(end, (i + 1) * width) - std::max(begin, i * width);
      red += weight * rgb[i * 3];
      green += weight * rgb[i * 3 + 1];
      blue += weight * rgb[i * 3 + 2];
    }
    rowSums_[x * 3] = red, rowSums_[x * 3 + 1] = green, rowSums_[x * 3 + 2] = blue;
  }
  const uint64_t sourceHeight = sourceHeight_, height = height_;
  const uint64_t rowBegin = sourceRow_ * height, rowEnd = rowBegin + height;
  while (rowsDone_ < height_) {
    const uint64_t begin = rowsDone_ * sourceHeight, end = begin + sourceHeight;
    if (begin >= rowEnd) break;
    AddToSums(rowSums_, std::min(end, rowEnd) - std::max(begin, rowBegin));
    if (end > rowEnd) break;  // the result row goes on into the next source row
    EmitRow();
  }
  ++sourceRow_;
}

void AreaAverage::AddToSums(std::span<const uint64_t> rowSums, uint64_t weight) {
  for (size_t i = 0; i < sums_.size(); ++i) sums_[i] += weight * rowSums[i];
}

void AreaAverage::EmitRow() {
  const uint64_t area = uint64_t{sourceWidth_} * sourceHeight_;
  auto mean = [&](size_t i) { return static_cast<uint32_t>((sums_[i] + area / 2) / area); };
  uint32_t* out = pixels_.data() + size_t{rowsDone_} * width_;
  for (size_t x = 0; x < width_; ++x) out[x] = mean(x * 3) << 16 | mean(x * 3 + 1) << 8 | mean(x * 3 + 2);
  std::fill(sums_.begin(), sums_.end(), 0);
  ++rowsDone_;
}

}  // namespace platform
