#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "content/glyph.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "support/engine_fixture.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::PictureAt;

// Source rows written as pictures, each padded to `pitch` bytes. 1-bit: '#' set, first pixel in bit 7.
// 2-bit: digits 0..3, first pixel in bits 0-1. 4-bit: hex digits, first pixel in the low nibble.
std::vector<uint8_t> Pack(const std::vector<std::string>& rows, uint32_t bits, size_t pitch) {
  std::vector<uint8_t> out(rows.size() * pitch, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t x = 0; x < rows[r].size(); ++x) {
      const char c = rows[r][x];
      const int v = c == '#' ? 1 : c >= 'a' ? c - 'a' + 10 : c == '.' ? 0 : c - '0';
      const size_t shift = bits == 1 ? 7 - x % 8 : x % (8 / bits) * bits;
      out[r * pitch + x * bits / 8] |= static_cast<uint8_t>(v << shift);
    }
  }
  return out;
}

// A frame strip: header then the frames.
std::vector<uint8_t> Strip(uint32_t n, uint16_t w, uint16_t h, uint32_t format, uint32_t pitch,
                           const std::vector<uint8_t>& frames) {
  std::vector<uint8_t> out(sizeof(FrameStrip) + frames.size());
  const FrameStrip head{n, w, h, format, pitch};
  std::memcpy(out.data(), &head, sizeof head);
  std::memcpy(out.data() + sizeof head, frames.data(), frames.size());
  return out;
}
const FrameStrip* AsStrip(const std::vector<uint8_t>& s) { return reinterpret_cast<const FrameStrip*>(s.data()); }

class EachLayout : public test::EngineTest, public testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    testing::internal::CaptureStdout();
    const int32_t rc = InitLedConfigure(64, 64, GetParam());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0);
    ClearFrameBuffer();
  }
  // How a picture of colour values shows when bit 0 decides in colour mode 1.
  std::string ByBitZero(const std::string& v) const { return GetParam() == 1 ? test::BitZeroLit(v) : v; }
};

INSTANTIATE_TEST_SUITE_P(ColourModes, EachLayout, testing::Values(1, 2, 4));

// Random sources drawn opaquely and transparently for every format, offsets across a byte and widths
// around the 8-pixel runs, over rows 14..16 that straddle colour mode 1's half boundary: the whole area,
// partner rows included, is what the pixel rule says.
TEST_P(EachLayout, EveryFormatOffsetAndWidthMatchesThePixelRule) {
  std::mt19937 rng(11);
  std::vector<uint8_t> src(3 * 16);
  const uint8_t depth = ledconfig.depth;
  for (uint32_t format : {0u, 5u, 8u, 12u}) {
    const uint32_t bits = format <= 7 ? 1 : format == 8 ? 2 : 4;
    for (int over = 0; over < 2; ++over) {
      for (int32_t sx = 0; sx < 9; ++sx) {
        for (int32_t w : {1, 3, 7, 8, 9, 16, 21}) {
          for (uint8_t& v : src) v = static_cast<uint8_t>(rng());
          for (int32_t i = 0; i < 32 * 48; ++i) drawops.SetPixel(i % 32, i / 32, static_cast<uint8_t>(rng() & 7));
          std::string want = test::ReadPicture(0, 0, 32, 48);
          const Bitmap b{static_cast<int16_t>(sx + w), 3, static_cast<uint16_t>(format), 16, src.data()};
          const BlitRect r{static_cast<int16_t>(sx), 0, 5, 14, static_cast<int16_t>(w), 3};
          (over ? drawops.BlitBitmapOver : drawops.BlitBitmap)(&r, &b);
          for (int32_t y = 14; y < 17; ++y) {
            for (int32_t x = 5; x < 5 + w; ++x) {
              const uint32_t p = static_cast<uint32_t>(sx + x - 5);
              const uint32_t shift = bits == 1 ? 7 - p % 8 : p % (8 / bits) * bits;
              const uint32_t s = (src[(y - 14) * 16 + p * bits / 8] >> shift) & ((1u << bits) - 1);
              const uint32_t colour = depth == 1 ? s & 1 : bits == 1 ? (s ? format : 0) : s & 7;
              char& c = want[y * 33 + x];
              const uint32_t old = c == '.' ? 0 : depth == 1 ? 1 : c - '0';
              const uint32_t v = over ? old | colour : colour;
              c = v == 0 ? '.' : depth == 1 ? '#' : static_cast<char>('0' + v);
            }
          }
          ASSERT_TRUE(PictureAt(0, 0, want)) << format << (over ? " over" : " opaque") << " sx " << sx << " w " << w;
        }
      }
    }
  }
}

// DrawText has no caller in the engine but is a slot of both tables: built-in glyphs at the pen, a line
// feed back to the left edge one size lower, a tab half a cell; a lead byte without its trail ends the
// text (sized exactly, so the sanitizer sees a read past it). Colour mode 1 writes whole cells.
TEST_P(EachLayout, DrawTextLaysOutBuiltInGlyphs) {
  const DestRect back{0, 0, 24, 48}, d{2, 14, 40, 40};
  drawops.FillRect(&back, 5);
  const std::vector<uint8_t> text{'A', '\n', '\t', 'B', 0xB0};
  drawops.DrawText(16, text.data(), static_cast<int32_t>(text.size()), &d, 3);
  const struct { uint16_t code; int32_t x, y; } placed[] = {{'A', 2, 14}, {'B', 10, 30}};
  for (const auto& p : placed) {
    const GlyphCell* cell = GetGlyph(16, p.code, 1);
    ASSERT_NE(cell, nullptr);
    std::string want;
    for (uint32_t gy = 0; gy < cell->height; ++gy) {
      for (uint32_t gx = 0; gx < cell->width; ++gx) {
        const bool ink = (cell->rows[gy * cell->pitch + gx / 8] >> (7 - gx % 8)) & 1;
        want += GetParam() == 1 ? (ink ? '#' : '.') : ink ? '3' : '5';
      }
      want += '\n';
    }
    EXPECT_TRUE(PictureAt(p.x, p.y, want)) << char(p.code);
  }
}

// The copy shrinks to the source and to row 0; nothing is read outside it.
TEST_P(EachLayout, CopiesShrinkToTheSource) {
  const std::vector<uint8_t> narrow = Pack({"########", "#.#.#.#."}, 1, 1);
  const Bitmap nb{12, 2, 3, 1, narrow.data()};  // 12 pixels declared, but a 1-byte pitch holds only 8
  const BlitRect tall{0, 0, 0, 0, 12, 5};
  drawops.BlitBitmap(&tall, &nb);

  const std::vector<uint8_t> px = Pack({"1111", "3333"}, 2, 1);
  const Bitmap b{4, 2, 8, 1, px.data()};
  // Past the width, past the height, and one column and two rows before the origin.
  const BlitRect past_width{4, 0, 0, 3, 4, 2}, past_height{0, 2, 0, 3, 4, 2}, before_origin{-1, -2, 9, 1, 3, 4};
  for (const BlitRect* r : {&past_width, &past_height, &before_origin}) drawops.BlitBitmap(r, &b);
  const Bitmap nopixels{4, 2, 8, 1, nullptr}, nopitch{4, 2, 8, 0, px.data()};
  drawops.BlitBitmap(&tall, &nopixels);
  drawops.BlitBitmap(&past_height, &nopitch);

  const auto strip = Strip(2, 4, 1, 8, 1, Pack({"3333", "1111"}, 2, 1));
  const DestRect d{0, 4, 4, 1};
  drawops.BlitFrame(2, &d, AsStrip(strip));  // no frame 2
  drawops.BlitFrame(-1, &d, AsStrip(strip));
  drawops.BlitFramePart(0, 4, 0, &d, AsStrip(strip));
  EXPECT_TRUE(PictureAt(0, 0, ByBitZero("33333333....\n3.3.3.3.....\n............\n..........11\n..........33")));
}

// A frame larger than its strip, a part from an origin, and four-bit frames that read both nibbles AND 7,
// as bitmaps do, so a damaged strip still gives colour values (colour mode 1 reads whole ones one bit a
// pixel, a part as a bitmap); over a background they OR, 0 leaving it be.
TEST_P(EachLayout, FramesOpaqueTransparentAndInPart) {
  test::FillFrameBuffer(5);
  const auto two = Strip(2, 12, 1, 8, 3, Pack({"333333333333", "012312302103"}, 2, 3));
  const DestRect wide{3, 2, 20, 3};
  drawops.BlitFrame(1, &wide, AsStrip(two));
  EXPECT_TRUE(PictureAt(2, 1, ByBitZero("55555555555555\n5.123123.21.35\n55555555555555")));

  ClearFrameBuffer();
  const auto one = Strip(2, 6, 3, 7, 1, Pack({"######", "######", "######", "#.##.#", "..#..#", "######"}, 1, 1));
  const DestRect part{1, 11, 3, 9};  // at most the rest of the frame from (2, 1)
  drawops.BlitFramePart(1, 2, 1, &part, AsStrip(one));
  EXPECT_TRUE(PictureAt(0, 10, ByBitZero(".....\n.7...\n.777.\n.....")));

  const auto nibbles = Strip(1, 5, 1, 10, 3, Pack({"6b2a8"}, 4, 3));
  const DestRect row{0, 0, 8, 1}, back{3, 1, 5, 1}, over_row{0, 1, 8, 1}, part_row{0, 2, 8, 1};
  drawops.BlitFrame(0, &row, AsStrip(nibbles));
  drawops.FillRect(&back, 1);
  drawops.BlitFrameOver(0, &over_row, AsStrip(nibbles));
  drawops.BlitFramePart(0, 1, 0, &part_row, AsStrip(nibbles));
  EXPECT_TRUE(PictureAt(0, 0, GetParam() == 1 ? "#.##....\n#.######\n#......." : "6322....\n63231111\n322....."));
}

// Rows 14..19 cross the half boundary of colour mode 1; odd colours light there, 0 darkens and leaves the
// partner rows 16 away lit. Byte rows are d.width rounded up to 4 bytes apart, so the 9s never show.
TEST_P(EachLayout, LinesRectanglesPixelsAndBytes) {
  const DestRect partners[] = {{0, 0, 14, 4}, {0, 30, 14, 2}}, block{1, 15, 5, 3}, narrow{2, 16, 1, 1};
  for (const DestRect& r : partners) drawops.FillRect(&r, 5);
  drawops.FillRect(&block, 3);
  drawops.DrawHLine(19, 0, 7, 5);
  drawops.DrawHLine(18, 4, 4, 5);  // empty
  drawops.DrawVLine(7, 14, 20, 7);
  drawops.SetPixel(0, 14, 1);
  drawops.FillRect(&narrow, 0);
  drawops.DrawHLine(17, 3, 5, 0);
  drawops.DrawVLine(5, 15, 17, 0);
  drawops.SetPixel(1, 15, 0);
  const uint8_t bytes[] = {1, 2, 3, 4, 5, 9, 9, 9, 6, 7, 0, 1, 2, 9, 9, 9};
  const DestRect d{9, 15, 5, 2};
  drawops.BlitBytes(&d, bytes);
  EXPECT_TRUE(PictureAt(0, 14, ByBitZero(R"(
    1......7......
    ..333..7.12345
    .3.33..7.67.12
    .33..3.7......
    .......7......
    55555557......
    ..............)")));
  for (int32_t y : {0, 1, 2, 3, 30, 31}) EXPECT_TRUE(PictureAt(0, y, ByBitZero(std::string(14, '5')))) << y;
}

// Moves of a random block each way round the row and column order, overlapping, and onto the other
// bit of colour mode 1's bytes: the destination shows the old source, every other pixel keeps its value.
TEST_P(EachLayout, MoveRectCopiesCorrectlyInEveryDirection) {
  std::mt19937 rng(5);
  const int16_t moves[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {9, 16}, {0, -16}, {-1, 17}};
  for (const auto& m : moves) {
    for (int32_t i = 0; i < 48 * 48; ++i) drawops.SetPixel(i % 48, i / 48, static_cast<uint8_t>(rng() % 8));
    const std::string old = test::ReadPicture(0, 0, 48, 48);
    const BlitRect r{12, 20, static_cast<int16_t>(12 + m[0]), static_cast<int16_t>(20 + m[1]), 21, 9};
    drawops.MoveRect(&r);
    std::string want = old;
    for (int32_t y = 0; y < r.height; ++y)
      for (int32_t x = 0; x < r.width; ++x) want[(r.dy + y) * 49 + r.dx + x] = old[(r.sy + y) * 49 + r.sx + x];
    EXPECT_EQ(test::ReadPicture(0, 0, 48, 48), want) << "move by (" << m[0] << ", " << m[1] << ")";
  }
}

}  // namespace
}  // namespace ledview
