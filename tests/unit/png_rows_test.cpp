#include "platform/picture/png_rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/unit/png_writer.h"

namespace {

using Rows = std::vector<std::vector<uint8_t>>;

struct RecordingSink : platform::RgbRowSink {
  bool accept = true;
  uint32_t width = 0, height = 0;
  Rows rows;
  bool Begin(uint32_t w, uint32_t h) override {
    width = w, height = h;
    return accept;
  }
  void Row(std::span<const uint8_t> rgb) override { rows.emplace_back(rgb.begin(), rgb.end()); }
};

bool Read(const std::vector<uint8_t>& png, RecordingSink& sink) { return platform::ReadPngRows(png, sink); }

// Samples that differ from pixel to pixel, row to row and channel to channel, so that a filter
// undone against the wrong neighbour shows.
uint8_t Sample(size_t x, size_t y, size_t channel) {
  return static_cast<uint8_t>(x * 37 + y * 101 + channel * 59 + 13);
}

TEST(PngRows, ReadsEveryFormThroughEveryFilter) {
  const struct {
    uint8_t colourType, depth;
  } forms[] = {{0, 8}, {0, 16}, {2, 8}, {2, 16}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  constexpr size_t kWidth = 5, kHeight = 5;  // one row for each filter type
  for (const auto& form : forms) {
    const size_t channels = ChannelsOf(form.colourType), bytes = form.depth / 8;
    Rows raw(kHeight), expected(kHeight);
    for (size_t y = 0; y < kHeight; ++y) {
      for (size_t x = 0; x < kWidth; ++x) {
        for (size_t c = 0; c < channels; ++c) {
          raw[y].push_back(Sample(x, y, c));
          if (bytes == 2) raw[y].push_back(static_cast<uint8_t>(~Sample(x, y, c)));  // the low byte drops
        }
        for (size_t c = 0; c < 3; ++c) expected[y].push_back(Sample(x, y, channels >= 3 ? c : 0));
      }
    }
    const PngHeader header{kWidth, kHeight, form.depth, form.colourType};
    RecordingSink sink;
    SCOPED_TRACE(testing::Message() << "colour type " << int{form.colourType} << ", depth " << int{form.depth});
    ASSERT_TRUE(Read(EncodePng(header, raw, {0, 1, 2, 3, 4}), sink));
    EXPECT_EQ(sink.width, kWidth);
    EXPECT_EQ(sink.height, kHeight);
    EXPECT_EQ(sink.rows, expected);
  }
}

// Where the Paeth predictor's distances tie, the left pixel wins over the others and the one above
// over the upper left one: an encoder and a decoder that break ties differently disagree.
TEST(PngRows, PaethTiesGoLeftThenUp) {
  const struct {
    uint8_t left, above, upperLeft;
  } ties[] = {{180, 0, 120} /* above and upper left */, {180, 0, 60} /* left and upper left */};
  for (const auto& tie : ties) {
    const Rows raw = {{tie.upperLeft, tie.above}, {tie.left, 77}};
    RecordingSink sink;
    ASSERT_TRUE(Read(EncodePng({2, 2, 8, 0}, raw, {4}), sink));
    EXPECT_EQ(sink.rows[1][3], 77) << int{tie.left} << " " << int{tie.above} << " " << int{tie.upperLeft};
  }
}

// A valid 4 x 3 RGB image with the parts that the cases below take apart.
struct Parts {
  PngHeader header{4, 3};
  Rows raw = Rows(3, std::vector<uint8_t>(12, 0x80));
  std::vector<uint8_t> Stream(uint8_t filter = 0) const { return Deflate(FilteredRows(raw, {filter}, 3)); }
  std::vector<uint8_t> File(const std::vector<std::vector<uint8_t>>& chunks) const {
    std::vector<uint8_t> png = kPngSignature;
    for (const auto& chunk : chunks) png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
  }
  std::vector<uint8_t> WithHeader(const PngHeader& h) const {
    return File({PngHeaderChunk(h), PngChunk("IDAT", Stream()), PngChunk("IEND", {})});
  }
  std::vector<uint8_t> WithStream(const std::vector<uint8_t>& stream) const {
    return File({PngHeaderChunk(header), PngChunk("IDAT", stream), PngChunk("IEND", {})});
  }
};

TEST(PngRows, AcceptsWhatMayVaryAndRejectsTheRest) {
  const Parts p;
  const std::vector<uint8_t> text = PngChunk("tEXt", {'a', 0, 'b'});
  auto header = [&](const std::function<void(PngHeader&)>& change) {
    PngHeader h = p.header;
    change(h);
    return p.WithHeader(h);
  };
  auto rawRows = [&](size_t count) {
    std::vector<uint8_t> bytes;
    for (size_t y = 0; y < count; ++y) bytes.insert(bytes.end(), 13, 0);  // filter type and 12 bytes each
    return Deflate(bytes);
  };
  std::vector<uint8_t> badRowFilter = FilteredRows(p.raw, {0}, 3);
  badRowFilter[13] = 5;
  const std::vector<uint8_t> stream = p.Stream();
  std::vector<uint8_t> damagedStream = stream;
  damagedStream[2] ^= 0xFF;
  std::vector<uint8_t> wrongAdler = stream;
  wrongAdler.back() ^= 0x01;
  std::vector<uint8_t> badSignature = p.WithHeader(p.header);
  badSignature[1] = 'p';
  std::vector<uint8_t> badHeaderChecksum = p.WithHeader(p.header);
  badHeaderChecksum[8 + 8 + 13] ^= 0x01;
  std::vector<uint8_t> badDataChecksum = p.WithHeader(p.header);
  badDataChecksum[8 + 25 + 8] ^= 0x01;  // first byte of the data chunk's data

  const struct {
    const char* what;
    std::vector<uint8_t> png;
    bool read;
  } cases[] = {
      {"as written", p.WithHeader(p.header), true},
      {"data in chunks of one byte", EncodePng(p.header, p.raw, {0}, 1), true},
      {"text before the data", p.File({PngHeaderChunk(p.header), text, PngChunk("IDAT", p.Stream()), text}), true},
      {"suggested palette",
       p.File({PngHeaderChunk(p.header), PngChunk("PLTE", {1, 2, 3}), PngChunk("IDAT", p.Stream())}), true},
      {"no end chunk", p.File({PngHeaderChunk(p.header), PngChunk("IDAT", p.Stream())}), true},
      {"signature damaged", badSignature, false},
      {"header not first", p.File({text, PngHeaderChunk(p.header), PngChunk("IDAT", p.Stream())}), false},
      {"header checksum wrong", badHeaderChecksum, false},
      {"data checksum wrong", badDataChecksum, false},
      {"header too short", p.File({PngChunk("IHDR", {0, 0, 0, 4}), PngChunk("IDAT", p.Stream())}), false},
      {"width 0", header([](PngHeader& h) { h.width = 0; }), false},
      {"height 0", header([](PngHeader& h) { h.height = 0; }), false},
      {"width beyond the limit", header([](PngHeader& h) { h.width = platform::kPngSideLimit + 1; }), false},
      {"height beyond the limit", header([](PngHeader& h) { h.height = 0x80000000u; }), false},
      {"4-bit grey", header([](PngHeader& h) { h.depth = 4, h.colourType = 0; }), false},
      {"palette image", header([](PngHeader& h) { h.colourType = 3; }), false},
      {"colour type 1", header([](PngHeader& h) { h.colourType = 1; }), false},
      {"interlaced", header([](PngHeader& h) { h.interlace = 1; }), false},
      {"compression method 1", header([](PngHeader& h) { h.compression = 1; }), false},
      {"filter method 1", header([](PngHeader& h) { h.filterMethod = 1; }), false},
      {"unknown critical chunk", p.File({PngHeaderChunk(p.header), PngChunk("QUAD", {}), PngChunk("IDAT", p.Stream())}),
       false},
      {"data chunks apart",
       p.File({PngHeaderChunk(p.header), PngChunk("IDAT", {stream.begin(), stream.begin() + 4}), text,
               PngChunk("IDAT", {stream.begin() + 4, stream.end()})}),
       false},
      {"no data chunk", p.File({PngHeaderChunk(p.header), PngChunk("IEND", {})}), false},
      {"undefined row filter", p.WithStream(Deflate(badRowFilter)), false},
      {"a row short", p.WithStream(rawRows(2)), false},
      {"a row too many", p.WithStream(rawRows(4)), false},
      {"compressed data damaged", p.WithStream(damagedStream), false},
      {"stream checksum wrong", p.WithStream(wrongAdler), false},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(Read(c.png, sink), c.read) << c.what;
    if (c.read) {
      EXPECT_EQ(sink.rows, p.raw) << c.what;
    }
  }
  RecordingSink refusing;
  refusing.accept = false;
  EXPECT_FALSE(Read(p.WithHeader(p.header), refusing));
  EXPECT_TRUE(refusing.rows.empty());
}

TEST(PngRows, AFileCutShortIsReadOnlyOnceItsDataIsWhole) {
  const Parts p;
  const std::vector<uint8_t> png = EncodePng(p.header, p.raw, {4}, 7);
  const size_t endOfData = png.size() - 12;  // all but the end chunk
  for (size_t length = 0; length < png.size(); ++length) {
    RecordingSink sink;
    const std::vector<uint8_t> cut(png.begin(), png.begin() + length);
    EXPECT_EQ(Read(cut, sink), length >= endOfData) << length;
    EXPECT_LE(sink.rows.size(), p.raw.size());
  }
}

// Every byte of the compressed stream changed in turn, its chunk's checksum made to match: the
// damage reaches the inflater and the row filters, which must turn it away or read rows of the
// right length, never more of them than the picture has.
TEST(PngRows, DamageBehindAValidChecksumIsHandled) {
  Parts p;
  for (size_t y = 0; y < p.raw.size(); ++y)
    for (size_t i = 0; i < p.raw[y].size(); ++i) p.raw[y][i] = Sample(i, y, 0);
  const std::vector<uint8_t> stream = p.Stream(4);
  for (size_t at = 0; at < stream.size(); ++at) {
    for (uint8_t flip : {0x01, 0x80, 0xFF}) {
      std::vector<uint8_t> damaged = stream;
      damaged[at] ^= flip;
      RecordingSink sink;
      Read(p.WithStream(damaged), sink);
      EXPECT_LE(sink.rows.size(), p.raw.size());
      for (const auto& row : sink.rows) EXPECT_EQ(row.size(), 12u);
    }
  }
}

}  // namespace
