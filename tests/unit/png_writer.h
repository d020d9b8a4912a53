#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Writes PNG files for the tests, from the raw samples of each row: each row filtered with the
// filter type given for it, every header field free to be set to anything.
struct PngHeader {
  uint32_t width = 0, height = 0;
  uint8_t depth = 8, colourType = 2, compression = 0, filterMethod = 0, interlace = 0;
};

inline size_t ChannelsOf(uint8_t colourType) {
  switch (colourType) {
    case 0:
      return 1;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 3;
  }
}

inline void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline std::vector<uint8_t> PngChunk(const std::string& type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk;
  PutBigEndian32(chunk, static_cast<uint32_t>(data.size()));
  for (char letter : type) chunk.push_back(static_cast<uint8_t>(letter));
  chunk.insert(chunk.end(), data.begin(), data.end());
  const uLong crc = crc32(crc32(0, nullptr, 0), chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
  PutBigEndian32(chunk, static_cast<uint32_t>(crc));
  return chunk;
}

inline std::vector<uint8_t> PngHeaderChunk(const PngHeader& h) {
  std::vector<uint8_t> data;
  PutBigEndian32(data, h.width);
  PutBigEndian32(data, h.height);
  data.insert(data.end(), {h.depth, h.colourType, h.compression, h.filterMethod, h.interlace});
  return PngChunk("IHDR", data);
}

inline uint8_t PaethPredictor(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// The rows as the compressed stream carries them: each led by its filter type and filtered
// against the raw row above, as an encoder does.
inline std::vector<uint8_t> FilteredRows(const std::vector<std::vector<uint8_t>>& rows,
                                         const std::vector<uint8_t>& filters, size_t bytesPerPixel) {
  std::vector<uint8_t> out;
  for (size_t y = 0; y < rows.size(); ++y) {
    const std::vector<uint8_t>& row = rows[y];
    const uint8_t filter = filters[y % filters.size()];
    out.push_back(filter);
    for (size_t i = 0; i < row.size(); ++i) {
      const int a = i >= bytesPerPixel ? row[i - bytesPerPixel] : 0;
      const int b = y > 0 ? rows[y - 1][i] : 0;
      const int c = y > 0 && i >= bytesPerPixel ? rows[y - 1][i - bytesPerPixel] : 0;
      int predicted = 0;
      if (filter == 1) predicted = a;
      if (filter == 2) predicted = b;
      if (filter == 3) predicted = (a + b) / 2;
      if (filter == 4) predicted = PaethPredictor(a, b, c);
      out.push_back(static_cast<uint8_t>(row[i] - predicted));
    }
  }
  return out;
}

inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9);
  out.resize(size);
  return out;
}

inline const std::vector<uint8_t> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// A whole file: signature, header, the compressed rows in data chunks of at most chunkSize
// bytes, the end chunk.
inline std::vector<uint8_t> EncodePng(const PngHeader& header, const std::vector<std::vector<uint8_t>>& rows,
                                      const std::vector<uint8_t>& filters = {0}, size_t chunkSize = 1 << 20) {
  const size_t bytesPerPixel = ChannelsOf(header.colourType) * (header.depth == 16 ? 2 : 1);
  const std::vector<uint8_t> stream = Deflate(FilteredRows(rows, filters, bytesPerPixel));
  std::vector<uint8_t> png = kPngSignature;
  auto append = [&](const std::vector<uint8_t>& chunk) { png.insert(png.end(), chunk.begin(), chunk.end()); };
  append(PngHeaderChunk(header));
  for (size_t at = 0; at < stream.size(); at += chunkSize)
    append(PngChunk(
        "IDAT", std::vector<uint8_t>(stream.begin() + at, stream.begin() + std::min(stream.size(), at + chunkSize))));
  append(PngChunk("IEND", {}));
  return png;
}
