#include "platform/picture/area_average.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/picture/scaled_picture.h"
#include "tests/unit/png_writer.h"

namespace {

using Pixels = std::vector<std::vector<uint32_t>>;  // 0xRRGGBB, rows from the top

constexpr uint32_t Grey(uint32_t level) { return level * 0x010101; }

std::vector<uint32_t> Flat(const Pixels& rows) {
  std::vector<uint32_t> flat;
  for (const auto& row : rows) flat.insert(flat.end(), row.begin(), row.end());
  return flat;
}

std::vector<uint32_t> Scale(const Pixels& source, uint32_t width, uint32_t height) {
  platform::AreaAverage scaler(width, height);
  EXPECT_TRUE(scaler.Begin(static_cast<uint32_t>(source[0].size()), static_cast<uint32_t>(source.size())));
  for (const auto& row : source) {
    std::vector<uint8_t> rgb;
    for (uint32_t pixel : row)
      rgb.insert(rgb.end(),
                 {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel)});
    scaler.Row(rgb);
  }
  EXPECT_TRUE(scaler.Complete());
  return scaler.TakePixels();
}

TEST(AreaAverage, EachPixelIsTheMeanOfTheAreaItCovers) {
  const struct {
    const char* what;
    Pixels source;
    uint32_t width, height;
    Pixels expected;
  } cases[] = {
      {"same size", {{0x102030, 0x405060}, {0x708090, 0xA0B0C0}}, 2, 2, {{0x102030, 0x405060}, {0x708090, 0xA0B0C0}}},
      {"two into one", {{Grey(10), Grey(20), Grey(30), Grey(50)}}, 2, 1, {{Grey(15), Grey(40)}}},
      {"three into two: the middle pixel is shared", {{Grey(0), Grey(90), Grey(180)}}, 2, 1, {{Grey(30), Grey(150)}}},
      {"rows alike", {{Grey(0)}, {Grey(90)}, {Grey(180)}}, 1, 2, {{Grey(30)}, {Grey(150)}}},
      {"both ways at once", {{Grey(0), Grey(40)}, {Grey(80), Grey(120)}}, 1, 1, {{Grey(60)}}},
      {"stretched: the covered parts blend", {{Grey(0), Grey(100)}}, 3, 1, {{Grey(0), Grey(50), Grey(100)}}},
      {"one pixel fills everything",
       {{0x123456}},
       3,
       2,
       {{0x123456, 0x123456, 0x123456}, {0x123456, 0x123456, 0x123456}}},
      {"a half rounds up", {{Grey(0), Grey(1)}}, 1, 1, {{Grey(1)}}},
      {"channels apart", {{0xFF0000, 0x0000FF}}, 1, 1, {{0x800080}}},
      {"shrunk one way, stretched the other", {{Grey(0), Grey(200)}}, 1, 2, {{Grey(100)}, {Grey(100)}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Scale(c.source, c.width, c.height), Flat(c.expected)) << c.what;
}

TEST(ScalePng, NoPictureFromWhatCannotBeRead) {
  const std::vector<uint8_t> png = EncodePng({1, 1}, {{1, 2, 3}});
  EXPECT_EQ(platform::ScalePng(png, 2, 2).pixels, std::vector<uint32_t>(4, 0x010203));
  const std::vector<uint8_t> cut(png.begin(), png.begin() + 40);
  const platform::ScaledPicture none = platform::ScalePng(cut, 2, 3);
  EXPECT_TRUE(none.pixels.empty());
  EXPECT_EQ(none.width, 2u);
  EXPECT_EQ(none.height, 3u);
  EXPECT_TRUE(platform::ScalePng(png, 0, 3).pixels.empty());
}

// The background picture's pixels as a reader without any of the code under test sees them: the
// asset holds one data chunk whose rows are all stored unfiltered.
struct RawImage {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows of width * 3 bytes
};

RawImage ReadBackground(const std::vector<uint8_t>& png) {
  RawImage image;
  auto be32 = [&](size_t at) {
    return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 | png[at + 3];
  };
  std::vector<uint8_t> stream;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = be32(at);
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    if (type == "IHDR") image.width = be32(at + 8), image.height = be32(at + 12);
    if (type == "IDAT") stream.insert(stream.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  const size_t rowBytes = size_t{image.width} * 3 + 1;
  std::vector<uint8_t> rows(rowBytes * image.height);
  uLongf size = static_cast<uLongf>(rows.size());
  EXPECT_EQ(uncompress(rows.data(), &size, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
  EXPECT_EQ(size, rows.size());
  for (size_t y = 0; y < image.height; ++y) {
    EXPECT_EQ(rows[y * rowBytes], 0) << "row " << y << " is filtered";
    image.rgb.insert(image.rgb.end(), rows.begin() + y * rowBytes + 1, rows.begin() + (y + 1) * rowBytes);
  }
  return image;
}

// Channel c of the result pixel (x, y) at width x height: the source area it covers, averaged in
// floating point with every partly covered source pixel weighted by the part covered.
int TrueAreaAverage(const RawImage& image, uint32_t width, uint32_t height, uint32_t x, uint32_t y, int c) {
  const double sx = double(image.width) / width, sy = double(image.height) / height;
  const double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
  double sum = 0;
  for (auto j = static_cast<size_t>(y0); j < y1 && j < image.height; ++j) {
    const double wy = std::min(y1, j + 1.0) - std::max(y0, double(j));
    for (auto i = static_cast<size_t>(x0); i < x1 && i < image.width; ++i) {
      const double wx = std::min(x1, i + 1.0) - std::max(x0, double(i));
      sum += wx * wy * image.rgb[(j * image.width + i) * 3 + c];
    }
  }
  return static_cast<int>(std::floor(sum / (sx * sy) + 0.5));
}

TEST(ScalePng, TheBackgroundAsDrawnAt96And144DpiIsItsTrueAreaAverage) {
  std::ifstream file(KESTRANE_ASSETS_DIR "/background.png", std::ios::binary);
  const std::vector<uint8_t> png{std::istreambuf_iterator<char>(file), {}};
  const RawImage image = ReadBackground(png);
  ASSERT_EQ(image.width, 3542u);
  ASSERT_EQ(image.height, 1566u);
  // Image1 is 226 x 338 at 96 dpi.
  for (const auto& [width, height] : {std::pair{226u, 338u}, std::pair{339u, 507u}}) {
    const platform::ScaledPicture picture = platform::ScalePng(png, width, height);
    ASSERT_EQ(picture.pixels.size(), size_t{width} * height);
    int largest = 0;
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t pixel = picture.pixels[size_t{y} * width + x];
        for (int c = 0; c < 3; ++c) {
          const int drawn = static_cast<int>(pixel >> (16 - 8 * c) & 0xFF);
          largest = std::max(largest, std::abs(drawn - TrueAreaAverage(image, width, height, x, y, c)));
        }
      }
    }
    std::cout << "background at " << width << " x " << height << ": largest difference per channel " << largest
              << std::endl;
    EXPECT_LE(largest, 1) << width << " x " << height;
  }
}

}  // namespace
