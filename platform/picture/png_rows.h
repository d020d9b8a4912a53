#pragma once

#include <cstdint>
#include <span>

namespace platform {

// Takes a picture's rows as 8-bit RGB triples, top to bottom.
class RgbRowSink {
 public:
  virtual ~RgbRowSink() = default;
  // Told the picture's size before the first row; false stops the reading.
  virtual bool Begin(uint32_t width, uint32_t height) = 0;
  virtual void Row(std::span<const uint8_t> rgb) = 0;
};

// The largest width or height read: far beyond any picture a window shows, and small enough
// that a row of any form stays a few hundred kilobytes.
inline constexpr uint32_t kPngSideLimit = 32768;

// Streams the rows of a PNG image into sink, never holding more than two rows of it. Reads grey
// and colour images of 8 or 16 bits per channel, with or without alpha (which is ignored), not
// interlaced; 16-bit channels keep their high byte. False for any other form, and for a stream
// that is cut short or damaged (chunk checksum, compressed data, row filter): the rows the sink
// took before are then to be thrown away.
bool ReadPngRows(std::span<const uint8_t> png, RgbRowSink& sink);

}  // namespace platform
