// Random bytes through the picture decoder and the scaler. The first bytes choose the header and
// the size drawn at; the rest is the whole file, or the compressed stream, or the rows before
// compression: the file is built around them with valid checksums, so that the damage reaches the
// inflater and the row filters. A crash, a hang or a broken invariant ends the run with the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/picture/scaled_picture.h"
#include "tests/unit/png_writer.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    __builtin_printf("broken invariant: %s\n", what);
    std::abort();
  }
}

constexpr size_t kChoices = 8;

PngHeader HeaderFrom(const uint8_t* choice) {
  static const uint8_t kColourTypes[] = {0, 2, 4, 6};
  PngHeader header;
  header.width = 1 + choice[1] % 64;
  header.height = 1 + choice[2] % 64;
  // Mostly forms the decoder reads; now and then any value at all.
  header.depth = choice[3] >= 0xF0 ? choice[3] : choice[3] % 2 ? 16 : 8;
  header.colourType = choice[4] >= 0xF0 ? choice[4] : kColourTypes[choice[4] % 4];
  header.interlace = choice[5] == 0xFF;
  return header;
}

std::vector<uint8_t> FileAround(const PngHeader& header, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> png = kPngSignature;
  for (const auto& chunk : {PngHeaderChunk(header), PngChunk("IDAT", stream), PngChunk("IEND", {})})
    png.insert(png.end(), chunk.begin(), chunk.end());
  return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kChoices) return 0;
  const PngHeader header = HeaderFrom(data);
  const uint32_t width = 1 + data[6] % 80, height = 1 + data[7] % 80;
  const std::vector<uint8_t> rest(data + kChoices, data + size);
  std::vector<uint8_t> png;
  switch (data[0] % 3) {
    case 0:
      png = rest;
      break;
    case 1:
      png = FileAround(header, rest);
      break;
    default:
      png = FileAround(header, Deflate(rest));
      break;
  }
  const platform::ScaledPicture picture = platform::ScalePng(png, width, height);
  Require(picture.width == width && picture.height == height, "the size asked for");
  Require(picture.pixels.empty() || picture.pixels.size() == size_t{width} * height, "all of the picture or none");
  for (uint32_t pixel : picture.pixels) Require(pixel >> 24 == 0, "no bits above the colour");
  return 0;
}
