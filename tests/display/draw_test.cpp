#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "content/fontface.h"
#include "content/glyph.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "support/engine_fixture.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::BitZeroLit;
using test::EngineTest;
using test::FillFrameBuffer;
using test::PictureAt;
using test::ReadPicture;

// Source rows written as pictures. 1-bit: '#' set, first pixel in bit 7.
// 2-bit: digits 0..3, first pixel in bits 0-1. 4-bit: hex digits, first
// pixel in the low nibble. Every row is padded to `pitch` bytes.
std::vector<uint8_t> Pack(const std::vector<std::string>& rows, uint32_t bits, size_t pitch) {
  std::vector<uint8_t> out(rows.size() * pitch, 0);
  const uint32_t perbyte = 8 / bits;
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t x = 0; x < rows[r].size(); ++x) {
      const char c = rows[r][x];
      uint32_t v = c == '#' ? 1 : c >= 'a' ? static_cast<uint32_t>(c - 'a' + 10) : c == '.' ? 0 : c - '0';
      const uint32_t shift = bits == 1 ? 7 - x % 8 : (x % perbyte) * bits;
      out[r * pitch + x / perbyte] |= static_cast<uint8_t>(v << shift);
    }
  }
  return out;
}

// A frame strip: header then the frames.
std::vector<uint8_t> Strip(uint32_t count, uint16_t w, uint16_t h, uint32_t format, uint32_t pitch,
                           const std::vector<uint8_t>& frames) {
  std::vector<uint8_t> out(sizeof(FrameStrip) + frames.size());
  const FrameStrip head{count, w, h, format, pitch};
  std::memcpy(out.data(), &head, sizeof head);
  std::memcpy(out.data() + sizeof head, frames.data(), frames.size());
  return out;
}
const FrameStrip* AsStrip(const std::vector<uint8_t>& s) { return reinterpret_cast<const FrameStrip*>(s.data()); }

bool Start(int32_t mode) {
  testing::internal::CaptureStdout();
  const int32_t rc = InitLedConfigure(64, 64, mode);
  testing::internal::GetCapturedStdout();
  return rc == 0;
}

class EachLayout : public EngineTest, public testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_TRUE(Start(GetParam()));
    ClearFrameBuffer();
  }
  // How a picture of colour values shows when bit 0 decides in colour mode 1.
  std::string ByBitZero(const std::string& values) const { return GetParam() == 1 ? BitZeroLit(values) : values; }
};

INSTANTIATE_TEST_SUITE_P(Modes, EachLayout, testing::Values(1, 2, 4),
                         [](const testing::TestParamInfo<int32_t>& i) { return "ColourMode" + std::to_string(i.param); });

// Random sources drawn opaquely and transparently for every format, offsets
// across a byte and widths around the 8-pixel runs, over rows 14..16 that
// straddle colour mode 1's half boundary: every pixel of the region, the
// partner rows sharing the bytes included, is what the pixel rule says.
TEST_P(EachLayout, EveryFormatOffsetAndWidthMatchesThePixelRule) {
  std::mt19937 rng(11);
  std::vector<uint8_t> src(3 * 16);
  const uint8_t depth = ledconfig.depth;
  constexpr int32_t kW = 32, kH = 48, kTop = 14;
  std::vector<uint8_t> before(kW * kH);
  for (uint32_t format : {0u, 5u, 8u, 12u}) {
    for (int over = 0; over < 2; ++over) {
      for (int32_t sx = 0; sx < 9; ++sx) {
        for (int32_t w : {1, 3, 7, 8, 9, 16, 21}) {
          for (uint8_t& v : src) v = static_cast<uint8_t>(rng());
          for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
              before[y * kW + x] = static_cast<uint8_t>(rng() & 7);
              drawops.SetPixel(x, y, before[y * kW + x]);
            }
          }
          const Bitmap b{static_cast<int16_t>(sx + w), 3, static_cast<uint16_t>(format), 16, src.data()};
          const BlitRect r{static_cast<int16_t>(sx), 0, 5, kTop, static_cast<int16_t>(w), 3};
          (over ? drawops.BlitBitmapOver : drawops.BlitBitmap)(&r, &b);
          const uint32_t bits = format <= 7 ? 1 : format == 8 ? 2 : 4;
          for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
              const uint8_t old = before[y * kW + x];
              uint32_t want = depth == 1 ? old != 0 : old;
              if (x >= 5 && x < 5 + w && y >= kTop && y < kTop + 3) {
                const uint32_t p = static_cast<uint32_t>(sx + x - 5);
                const uint8_t byte = src[(y - kTop) * 16 + p * bits / 8];
                const uint32_t v = bits == 1 ? (byte >> (7 - p % 8)) & 1 : (byte >> (p % (8 / bits) * bits)) & ((1u << bits) - 1);
                const uint32_t colour = depth == 1 ? (bits == 1 ? v : v & 1) : bits == 1 ? (v ? format : 0) : v & 7;
                want = over ? (want | colour) : colour;
              }
              const uint8_t* at = PixelAddress(x, y, depth);
              const uint32_t got = depth == 1 ? (*at & PixelBit(y)) != 0 : *at;
              ASSERT_EQ(got, depth == 1 ? want != 0 : want)
                  << "format " << format << (over ? " over" : " opaque") << " sx " << sx << " w " << w
                  << " at (" << x << ", " << y << ")";
            }
          }
        }
      }
    }
  }
}

// The copy shrinks to the source and to row 0; nothing is read outside it.
// DrawText has no caller in the engine but is a slot of both tables: the
// built-in glyphs at the pen, a line feed back to the left edge one size
// lower, a tab half a cell; a lead byte without its trail ends the text
// (the exact-size text lets the sanitizer see a read past it). Colour mode 1
// writes whole cells, the others only the ink, in the colour given.
TEST_P(EachLayout, DrawTextLaysOutBuiltInGlyphs) {
  const uint8_t depth = ledconfig.depth;
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 24; ++x) drawops.SetPixel(x, y, 5);
  }
  const std::vector<uint8_t> text{'A', '\n', '\t', 'B', 0xB0};
  const DestRect d{2, 14, 40, 40};
  drawops.DrawText(16, text.data(), static_cast<int32_t>(text.size()), &d, 3);
  const struct { uint16_t code; int32_t x, y; } placed[] = {{'A', 2, 14}, {'B', 10, 30}};
  for (const auto& p : placed) {
    const GlyphCell cell = *GetGlyph(16, p.code, 1);
    ASSERT_NE(cell.rows, nullptr);
    for (uint32_t gy = 0; gy < cell.height; ++gy) {
      for (uint32_t gx = 0; gx < cell.width; ++gx) {
        const bool ink = (cell.rows[gy * cell.pitch + gx / 8] >> (7 - gx % 8)) & 1;
        const int32_t x = p.x + static_cast<int32_t>(gx), y = p.y + static_cast<int32_t>(gy);
        const uint8_t* at = PixelAddress(x, y, depth);
        const int got = depth == 1 ? (*at & PixelBit(y)) != 0 : *at;
        ASSERT_EQ(got, depth == 1 ? ink : ink ? 3 : 5) << char(p.code) << " at " << gx << "," << gy;
      }
    }
  }
}

TEST_P(EachLayout, CopiesShrinkToTheSource) {
  // 12 pixels declared, but a 1-byte pitch holds only 8.
  const std::vector<uint8_t> narrow = Pack({"########", "#.#.#.#."}, 1, 1);
  const Bitmap nb{12, 2, 3, 1, narrow.data()};
  const BlitRect tall{0, 0, 0, 0, 12, 5};
  drawops.BlitBitmap(&tall, &nb);

  const std::vector<uint8_t> px = Pack({"1111", "3333"}, 2, 1);
  const Bitmap b{4, 2, 8, 1, px.data()};
  const BlitRect clipped[] = {
      {4, 0, 0, 3, 4, 2},    // source offset past the width
      {0, 2, 0, 3, 4, 2},    // past the height
      {-2, 1, 10, 3, 4, 2},  // before the first column
      {0, -1, 2, 6, 4, 3},   // above the first row: the first destination row has no source
      {-1, -2, 9, 6, 3, 4},  // one column and two rows dropped
  };
  for (const BlitRect& r : clipped) drawops.BlitBitmap(&r, &b);
  const Bitmap nopixels{4, 2, 8, 1, nullptr};
  drawops.BlitBitmap(&tall, &nopixels);
  const Bitmap nopitch{4, 2, 8, 0, px.data()};
  drawops.BlitBitmap(&clipped[0], &nopitch);

  const std::vector<uint8_t> strip = Strip(2, 4, 1, 8, 1, Pack({"3333", "1111"}, 2, 1));
  const DestRect d{0, 4, 4, 1};
  drawops.BlitFrame(2, &d, AsStrip(strip));  // no frame 2
  drawops.BlitFrame(-1, &d, AsStrip(strip));
  drawops.BlitFrameOver(2, &d, AsStrip(strip));
  drawops.BlitFramePart(0, 4, 0, &d, AsStrip(strip));

  EXPECT_TRUE(PictureAt(0, 0, ByBitZero(R"(
    33333333.......
    3.3.3.3........
    ...............
    ............33.
    ...............
    ...............
    ...............
    ..1111.........
    ..3333....11...
    ..........33...
    ...............)")));
}

// A frame larger than its strip, transparent frames ORing every value of a
// byte, and a part from an origin.
TEST_P(EachLayout, FramesOpaqueTransparentAndInPart) {
  FillFrameBuffer(5);
  const std::vector<uint8_t> two = Strip(2, 12, 1, 8, 3, Pack({"333333333333", "012312302103"}, 2, 3));
  const DestRect wide{3, 2, 20, 3};
  drawops.BlitFrame(1, &wide, AsStrip(two));
  EXPECT_TRUE(PictureAt(2, 1, ByBitZero(R"(
    55555555555555
    5.123123.21.35
    55555555555555)")));

  ClearFrameBuffer();
  const DestRect back{0, 0, 6, 1};
  drawops.FillRect(&back, 1);
  const std::vector<uint8_t> values = Strip(1, 4, 2, 8, 1, Pack({"0123", "0123"}, 2, 1));
  const DestRect over{1, 0, 4, 2};
  drawops.BlitFrameOver(0, &over, AsStrip(values));
  EXPECT_TRUE(PictureAt(0, 0, ByBitZero("111331\n..123.")));

  const std::vector<uint8_t> one =
      Strip(2, 6, 3, 7, 1, Pack({"######", "######", "######", "#.##.#", "..#..#", "######"}, 1, 1));
  const DestRect part{1, 11, 3, 9};  // at most the rest of the frame from (2, 1)
  drawops.BlitFramePart(1, 2, 1, &part, AsStrip(one));
  EXPECT_TRUE(PictureAt(0, 10, ByBitZero(".....\n.7...\n.777.\n.....")));
}

// Four-bit frames read both nibbles AND 7, as bitmaps do, so a damaged strip
// still gives colour values. Colour mode 1 reads a format above 8 one bit a
// pixel.
TEST_F(EngineTest, FourBitFrames) {
  ASSERT_TRUE(Start(2));
  ClearFrameBuffer();
  const std::vector<uint8_t> strip = Strip(1, 5, 1, 10, 3, Pack({"9f2ab"}, 4, 3));
  const DestRect d{0, 0, 8, 1};
  drawops.BlitFrame(0, &d, AsStrip(strip));
  const DestRect over{0, 1, 8, 1};
  drawops.FillRect(&over, 2);
  drawops.BlitFrameOver(0, &over, AsStrip(strip));
  const DestRect part{0, 2, 8, 1};
  drawops.BlitFramePart(0, 1, 0, &part, AsStrip(strip));
  EXPECT_TRUE(PictureAt(0, 0, "17223...\n37223222\n7223...."));

  ReleasePreview();
  ASSERT_TRUE(Start(1));
  ClearFrameBuffer();
  const std::vector<uint8_t> bits = Strip(1, 11, 1, 10, 2, Pack({"##.#..#.#.#"}, 1, 2));
  const DestRect row{0, 0, 16, 1};
  drawops.BlitFrame(0, &row, AsStrip(bits));
  EXPECT_TRUE(PictureAt(0, 0, "##.#..#.#.#....."));
}

// Rows 14..19 cross the half boundary of colour mode 1; odd colours light
// there. Byte rows are d.width rounded up to 4 bytes apart, so the 9s never
// show.
TEST_P(EachLayout, LinesRectanglesPixelsAndBytes) {
  const DestRect block{1, 15, 5, 3};
  drawops.FillRect(&block, 3);
  drawops.DrawHLine(19, 0, 7, 5);
  drawops.DrawHLine(18, 4, 4, 5);  // empty
  drawops.DrawVLine(7, 14, 20, 7);
  drawops.SetPixel(0, 14, 1);
  const DestRect narrow{2, 16, 1, 1};
  drawops.FillRect(&narrow, 0);
  const uint8_t bytes[] = {1, 2, 3, 4, 5, 9, 9, 9, 6, 7, 0, 1, 2, 9, 9, 9};
  const DestRect d{9, 15, 5, 2};
  drawops.BlitBytes(&d, bytes);
  EXPECT_TRUE(PictureAt(0, 14, ByBitZero(R"(
    1......7......
    .33333.7.12345
    .3.333.7.67.12
    .33333.7......
    .......7......
    55555557......
    ..............)")));
}

// Darkening clears one bit and leaves the partner row's bit set.
TEST_F(EngineTest, BitPlaneDarkeningKeepsThePartnerRow) {
  ASSERT_TRUE(Start(1));
  FillFrameBuffer(1);
  const DestRect block{1, 14, 3, 4};
  drawops.FillRect(&block, 0);
  drawops.DrawHLine(33, 0, 2, 0);
  drawops.DrawVLine(5, 30, 33, 0);
  drawops.SetPixel(6, 0, 0);
  EXPECT_TRUE(PictureAt(0, 0, "######.\n#######"));
  EXPECT_TRUE(PictureAt(0, 14, "#...###\n#...###\n#...###\n#...###"));
  EXPECT_TRUE(PictureAt(0, 29, "#######\n#####.#\n#####.#\n#####.#\n..#####\n#######"));
}

// Moves of a random block in every direction, overlapping or not, across
// the bands of colour mode 1 and between partner rows: the destination shows
// the old source, every other pixel keeps its value.
TEST_P(EachLayout, MoveRectCopiesCorrectlyInEveryDirection) {
  std::mt19937 rng(5);
  const int16_t moves[][2] = {{1, 0},  {-1, 0},  {0, 1},   {0, -1}, {3, 2},  {-9, -3}, {9, 16},
                              {0, 16}, {0, -16}, {-1, 17}, {0, -9}, {-2, 9}, {12, 0},  {0, 0}};
  for (const auto& m : moves) {
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 48; ++x) drawops.SetPixel(x, y, static_cast<uint8_t>(rng() % 8));
    const std::string old = ReadPicture(0, 0, 48, 48);
    const BlitRect r{12, 20, static_cast<int16_t>(12 + m[0]), static_cast<int16_t>(20 + m[1]), 21, 9};
    drawops.MoveRect(&r);
    std::string want = old;
    for (int32_t y = 0; y < r.height; ++y)
      for (int32_t x = 0; x < r.width; ++x) want[(r.dy + y) * 49 + r.dx + x] = old[(r.sy + y) * 49 + r.sx + x];
    EXPECT_EQ(ReadPicture(0, 0, 48, 48), want) << "move by (" << m[0] << ", " << m[1] << ")";
  }
}

}  // namespace
}  // namespace ledview
