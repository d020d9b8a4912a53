#include "platform/picture/png_rows.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kChunkFrame = 12;  // length, type and checksum around a chunk's data
constexpr uint32_t kChunkLengthLimit = 0x7FFFFFFF;

constexpr uint32_t ChunkType(const char (&name)[5]) {
  return uint32_t{static_cast<uint8_t>(name[0])} << 24 | uint32_t{static_cast<uint8_t>(name[1])} << 16 |
         uint32_t{static_cast<uint8_t>(name[2])} << 8 | uint32_t{static_cast<uint8_t>(name[3])};
}
constexpr uint32_t kHeader = ChunkType("IHDR");
constexpr uint32_t kData = ChunkType("IDAT");
constexpr uint32_t kEnd = ChunkType("IEND");
constexpr uint32_t kPalette = ChunkType("PLTE");

uint32_t BigEndian32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

// A chunk whose first letter is upper case is one a reader must understand to draw the image.
bool IsCritical(uint32_t type) { return (type & 0x20000000) == 0; }

struct Chunk {
  uint32_t type;
  std::span<const uint8_t> data;
};

// Hands out the chunks one by one, each only when it is whole and its checksum matches.
class ChunkReader {
 public:
  explicit ChunkReader(std::span<const uint8_t> chunks) : rest_(chunks) {}

  std::optional<Chunk> Next() {
    if (rest_.size() < kChunkFrame) return std::nullopt;
    const uint32_t length = BigEndian32(rest_.data());
    if (length > kChunkLengthLimit || length > rest_.size() - kChunkFrame) return std::nullopt;
    const std::span<const uint8_t> typeAndData = rest_.subspan(4, 4 + size_t{length});
    const uint32_t checksum = BigEndian32(rest_.data() + 8 + length);
    if (crc32(crc32(0, nullptr, 0), typeAndData.data(), static_cast<uInt>(typeAndData.size())) != checksum)
      return std::nullopt;
    rest_ = rest_.subspan(kChunkFrame + length);
    return Chunk{BigEndian32(typeAndData.data()), typeAndData.subspan(4)};
  }

 private:
  std::span<const uint8_t> rest_;
};

struct Format {
  uint32_t width, height;
  size_t channels;        // grey, grey + alpha, RGB or RGBA: 1, 2, 3 or 4
  size_t bytesPerSample;  // 1 or 2
  size_t BytesPerPixel() const { return channels * bytesPerSample; }
  size_t RowBytes() const { return width * BytesPerPixel(); }
};

std::optional<Format> ReadFormat(std::span<const uint8_t> header) {
  if (header.size() != 13) return std::nullopt;
  const uint32_t width = BigEndian32(header.data()), height = BigEndian32(header.data() + 4);
  const uint8_t depth = header[8], colourType = header[9];
  const uint8_t compression = header[10], filterMethod = header[11], interlace = header[12];
  if (width == 0 || height == 0 || width > kPngSideLimit || height > kPngSideLimit) return std::nullopt;
  if (depth != 8 && depth != 16) return std::nullopt;
  if (compression != 0 || filterMethod != 0 || interlace != 0) return std::nullopt;
  size_t channels;
  switch (colourType) {
    case 0:
      channels = 1;
      break;
    case 2:
      channels = 3;
      break;
    case 4:
      channels = 2;
      break;
    case 6:
      channels = 4;
      break;
    default:
      return std::nullopt;  // palette images, and types PNG does not define
  }
  return Format{width, height, channels, size_t{depth} / 8u};
}

uint8_t Paeth(int left, int above, int upperLeft) {
  const int estimate = left + above - upperLeft;
  const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above);
  const int toUpperLeft = std::abs(estimate - upperLeft);
  if (toLeft <= toAbove && toLeft <= toUpperLeft) return static_cast<uint8_t>(left);
  return static_cast<uint8_t>(toAbove <= toUpperLeft ? above : upperLeft);
}

// Undoes a row's filter in place, given the row above it already unfiltered (zeros above the
// first row). False for a filter type PNG does not define.
bool Unfilter(uint8_t filter, std::span<uint8_t> row, std::span<const uint8_t> above, size_t bytesPerPixel) {
  auto left = [&](size_t i) { return i >= bytesPerPixel ? row[i - bytesPerPixel] : 0; };
  auto upperLeft = [&](size_t i) { return i >= bytesPerPixel ? above[i - bytesPerPixel] : 0; };
  switch (filter) {
    case 0:
      return true;
    case 1:
      for (size_t i = bytesPerPixel; i < row.size(); ++i) row[i] = static_cast<uint8_t>(row[i] + left(i));
      return true;
    case 2:
      for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(row[i] + above[i]);
      return true;
    case 3:
      for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(row[i] + (left(i) + above[i]) / 2);
      return true;
    case 4:
      for (size_t i = 0; i < row.size(); ++i)
        row[i] = static_cast<uint8_t>(row[i] + Paeth(left(i), above[i], upperLeft(i)));
      return true;
    default:
      return false;
  }
}

// The zlib stream that the data chunks carry between them, owned for the reading.
class Inflater {
 public:
  Inflater() { ready_ = inflateInit(&stream_) == Z_OK; }
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool Ready() const { return ready_; }
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

// Inflates the data chunks row by row: each row is unfiltered against the one above it, turned
// into RGB and handed on, and its buffer then takes the next row.
class RowDecoder {
 public:
  RowDecoder(const Format& format, RgbRowSink& sink)
      : format_(format),
        sink_(sink),
        current_(format.RowBytes() + 1),
        above_(format.RowBytes() + 1),
        rgb_(IsRgb8() ? 0 : size_t{format.width} * 3) {}

  bool Ready() const { return inflater_.Ready(); }

  // False when the stream is damaged or holds more than the picture.
  bool Feed(std::span<const uint8_t> input) {
    z_stream& stream = inflater_.Stream();
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(input.size());
    while (!ended_) {
      const bool rowsLeft = rowsDone_ < format_.height;
      uint8_t spare;
      stream.next_out = rowsLeft ? current_.data() + filled_ : &spare;
      stream.avail_out = rowsLeft ? static_cast<uInt>(current_.size() - filled_) : 1;
      const int status = inflate(&stream, Z_NO_FLUSH);
      if (!rowsLeft && stream.avail_out == 0) return false;
      if (status == Z_STREAM_END) {
        ended_ = true;
      } else if (status == Z_BUF_ERROR) {
        return true;  // every byte of input taken and nothing held back: the next chunk goes on
      } else if (status != Z_OK) {
        return false;
      }
      if (rowsLeft) {
        filled_ = current_.size() - stream.avail_out;
        if (filled_ == current_.size() && !CompleteRow()) return false;
      }
      if (stream.avail_in == 0 && stream.avail_out != 0) return true;
    }
    return true;  // anything after the stream's end belongs to no row
  }

  bool Finished() const { return ended_ && rowsDone_ == format_.height; }

 private:
  bool IsRgb8() const { return format_.channels == 3 && format_.bytesPerSample == 1; }

  bool CompleteRow() {
    const std::span<uint8_t> row = std::span(current_).subspan(1);
    if (!Unfilter(current_[0], row, std::span<const uint8_t>(above_).subspan(1), format_.BytesPerPixel())) return false;
    sink_.Row(IsRgb8() ? row : ToRgb(row));
    std::swap(current_, above_);
    filled_ = 0;
    ++rowsDone_;
    return true;
  }

  std::span<const uint8_t> ToRgb(std::span<const uint8_t> row) {
    const size_t step = format_.bytesPerSample;
    const bool colour = format_.channels >= 3;
    for (size_t x = 0; x < format_.width; ++x) {
      const uint8_t* pixel = row.data() + x * format_.BytesPerPixel();
      for (size_t c = 0; c < 3; ++c) rgb_[x * 3 + c] = pixel[colour ? c * step : 0];
    }
    return rgb_;
  }

  const Format format_;
  RgbRowSink& sink_;
  Inflater inflater_;
  std::vector<uint8_t> current_, above_;  // a row as inflated, its filter type first
  std::vector<uint8_t> rgb_;              // the row turned into RGB, for forms other than 8-bit RGB
  size_t filled_ = 0;
  uint32_t rowsDone_ = 0;
  bool ended_ = false;
};

}  // namespace

bool ReadPngRows(std::span<const uint8_t> png, RgbRowSink& sink) {
  if (png.size() < sizeof kSignature || !std::equal(std::begin(kSignature), std::end(kSignature), png.begin()))
    return false;
  ChunkReader chunks(png.subspan(sizeof kSignature));
  const std::optional<Chunk> header = chunks.Next();
  if (!header || header->type != kHeader) return false;
  const std::optional<Format> format = ReadFormat(header->data);
  if (!format || !sink.Begin(format->width, format->height)) return false;
  RowDecoder rows(*format, sink);
  if (!rows.Ready()) return false;
  enum { kBeforeData, kInData, kAfterData } place = kBeforeData;
  while (const std::optional<Chunk> chunk = chunks.Next()) {
    if (chunk->type == kEnd) break;
    if (chunk->type == kData) {
      // The compressed stream is the data chunks in a row: one that comes after others is not part of it.
      if (place == kAfterData || !rows.Feed(chunk->data)) return false;
      place = kInData;
      continue;
    }
    if (place == kInData) place = kAfterData;
    // A suggested palette may come with any colour image; no other chunk may change the pixels.
    if (IsCritical(chunk->type) && chunk->type != kPalette) return false;
  }
  return rows.Finished();
}

}  // namespace platform
