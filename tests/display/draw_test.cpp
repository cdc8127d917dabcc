#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

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
using test::NormalisePicture;
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

// Any non-zero value shows lit in colour mode 1.
std::string AnyLit(const std::string& values) {
  std::string out = NormalisePicture(values);
  for (char& c : out) {
    if (c != '.' && c != '\n') c = '#';
  }
  return out;
}

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
  bool BitPlane() const { return GetParam() == 1; }
  // How a picture of colour values shows when bit 0 decides in colour mode 1.
  std::string ByBitZero(const std::string& values) const { return BitPlane() ? BitZeroLit(values) : values; }
  std::string ByNonZero(const std::string& values) const { return BitPlane() ? AnyLit(values) : values; }
};

INSTANTIATE_TEST_SUITE_P(Modes, EachLayout, testing::Values(1, 2, 4),
                         [](const testing::TestParamInfo<int32_t>& i) { return "ColourMode" + std::to_string(i.param); });

TEST_F(EngineTest, InitPicksTheTableForTheColourMode) {
  ASSERT_TRUE(Start(1));
  EXPECT_EQ(drawops.BlitBitmap, bitplanedrawops.BlitBitmap);
  EXPECT_EQ(drawops.BlitFramePart, bitplanedrawops.BlitFramePart);
  ReleasePreview();
  ASSERT_TRUE(Start(3));
  EXPECT_EQ(drawops.MoveRect, bytedrawops.MoveRect);
  EXPECT_EQ(drawops.DrawText, bytedrawops.DrawText);
  EXPECT_NE(bytedrawops.FillRect, bitplanedrawops.FillRect);
}

// A 1-bit source of format 2 from pixel 3 (bit 4 of its first byte), 11
// pixels wide, over rows 14..16, which straddle the first band boundary of
// colour mode 1. Opaque: clear source bits clear their pixels; the pixels
// around the rectangle and, in colour mode 1, the partner rows sharing its
// bytes stay as they were.
TEST_P(EachLayout, OneBitSourceFromAnOffsetIsOpaque) {
  const std::vector<uint8_t> px = Pack({"#.##..##.#.###..####", "..##....####....#..#", "####.#.#.#.#.#.#...."}, 1, 3);
  const Bitmap b{20, 3, 2, 3, px.data()};
  const BlitRect r{3, 0, 5, 14, 11, 3};
  FillFrameBuffer(5);
  drawops.BlitBitmap(&r, &b);
  const std::string values = R"(
    555555555555555
    5552..22.2.2225
    5552....2222..5
    5552.2.2.2.2.25
    555555555555555)";
  EXPECT_TRUE(PictureAt(2, 13, ByNonZero(values)));
  EXPECT_TRUE(PictureAt(2, 29, ByNonZero("555555555555555\n555555555555555\n555555555555555")));
  EXPECT_TRUE(PictureAt(2, 0, ByNonZero("555555555555555")));
}

TEST_P(EachLayout, TwoBitSourceFromAnUnalignedPixel) {
  const std::vector<uint8_t> px = Pack({"0123321012303", "3300112233021"}, 2, 4);
  const Bitmap b{13, 2, 8, 4, px.data()};
  const BlitRect r{1, 0, 2, 3, 12, 2};
  FillFrameBuffer(5);
  drawops.BlitBitmap(&r, &b);
  EXPECT_TRUE(PictureAt(1, 3, ByBitZero(R"(
    5123321.123.35
    53..112233.215)")));
}

// Width 5: exactly five pixels a row, nibbles taken AND 7, from an even and an
// odd source pixel.
TEST_P(EachLayout, FourBitSourceOfOddWidth) {
  const std::vector<uint8_t> px = Pack({"9f2a7"}, 4, 3);
  const Bitmap b{5, 1, 9, 3, px.data()};
  FillFrameBuffer(5);
  const BlitRect whole{0, 0, 1, 1, 8, 1};
  drawops.BlitBitmap(&whole, &b);
  const BlitRect odd{1, 0, 1, 2, 8, 1};
  drawops.BlitBitmap(&odd, &b);
  EXPECT_TRUE(PictureAt(0, 1, ByBitZero(R"(
    5172275
    5722755)")));
}

// The copy shrinks to the source; nothing is read outside it.
TEST_P(EachLayout, CopiesShrinkToTheSource) {
  // 12 pixels declared, but a 1-byte pitch holds only 8.
  const std::vector<uint8_t> narrow = Pack({"########", "#.#.#.#."}, 1, 1);
  const Bitmap nb{12, 2, 3, 1, narrow.data()};
  const BlitRect tall{0, 0, 0, 0, 12, 5};
  drawops.BlitBitmap(&tall, &nb);

  const std::vector<uint8_t> px = Pack({"1111", "3333"}, 2, 1);
  const Bitmap b{4, 2, 8, 1, px.data()};
  const BlitRect beyond{4, 0, 0, 3, 4, 2};  // source offset past the width
  drawops.BlitBitmap(&beyond, &b);
  const BlitRect below{0, 2, 0, 3, 4, 2};  // past the height
  drawops.BlitBitmap(&below, &b);
  const BlitRect left{-2, 1, 10, 3, 4, 2};  // before the first column
  drawops.BlitBitmap(&left, &b);
  const Bitmap nopixels{4, 2, 8, 1, nullptr};
  drawops.BlitBitmap(&tall, &nopixels);
  const Bitmap nopitch{4, 2, 8, 0, px.data()};
  drawops.BlitBitmap(&beyond, &nopitch);

  const std::vector<uint8_t> frames = Pack({"3333", "1111"}, 2, 1);
  const std::vector<uint8_t> strip = Strip(2, 4, 1, 8, 1, frames);
  const DestRect d{0, 4, 4, 1};
  drawops.BlitFrame(2, &d, AsStrip(strip));   // no frame 2
  drawops.BlitFrame(-1, &d, AsStrip(strip));
  drawops.BlitFrameOver(2, &d, AsStrip(strip));
  drawops.BlitFramePart(0, 4, 0, &d, AsStrip(strip));

  EXPECT_TRUE(PictureAt(0, 0, ByBitZero(R"(
    33333333.......
    3.3.3.3........
    ...............
    ............33.
    ...............)")));
}

TEST_P(EachLayout, ASourceAboveTheFirstRowDropsTheRowsItWouldCover) {
  const std::vector<uint8_t> px = Pack({"1111", "3333"}, 2, 1);
  const Bitmap b{4, 2, 8, 1, px.data()};
  const BlitRect above{0, -1, 2, 0, 4, 3};  // the first destination row has no source
  drawops.BlitBitmap(&above, &b);
  const BlitRect both{-1, -2, 9, 0, 3, 4};  // one column and two rows dropped
  drawops.BlitBitmap(&both, &b);
  EXPECT_TRUE(PictureAt(0, 0, ByBitZero(R"(
    ............
    ..1111......
    ..3333....11
    ..........33
    ............)")));
}

// Each row of a random source is drawn through the table and compared with
// the pixels the format says, for every format, offsets across a byte and
// widths around the 8-pixel runs.
TEST_P(EachLayout, EveryFormatOffsetAndWidthMatchesThePixelRule) {
  std::mt19937 rng(11);
  std::vector<uint8_t> src(3 * 16);
  const uint8_t depth = ledconfig.depth;
  for (uint32_t format : {0u, 5u, 8u, 12u}) {
    for (int over = 0; over < 2; ++over) {
      for (int32_t sx = 0; sx < 9; ++sx) {
        for (int32_t w : {1, 3, 7, 8, 9, 16, 21}) {
          for (uint8_t& v : src) v = static_cast<uint8_t>(rng());
          std::vector<uint8_t> before(40 * 3);
          for (uint8_t& v : before) v = static_cast<uint8_t>(rng() & 7);
          for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 40; ++x) drawops.SetPixel(x, 20 + y, before[y * 40 + x]);
          const Bitmap b{static_cast<int16_t>(sx + w), 3, static_cast<uint16_t>(format), 16, src.data()};
          const BlitRect r{static_cast<int16_t>(sx), 0, 5, 20, static_cast<int16_t>(w), 3};
          (over ? drawops.BlitBitmapOver : drawops.BlitBitmap)(&r, &b);
          const uint32_t bits = format <= 7 ? 1 : format == 8 ? 2 : 4;
          for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
              const uint8_t old = before[y * 40 + x];
              uint32_t want = depth == 1 ? old != 0 : old;
              if (x >= 5 && x < 5 + w) {
                const uint32_t p = static_cast<uint32_t>(sx + x - 5);
                const uint8_t byte = src[y * 16 + p * bits / 8];
                const uint32_t v = bits == 1 ? (byte >> (7 - p % 8)) & 1 : (byte >> (p % (8 / bits) * bits)) & ((1u << bits) - 1);
                const uint32_t colour = depth == 1 ? (bits == 1 ? v : v & 1) : bits == 1 ? (v ? format : 0) : v & 7;
                want = over ? (want | colour) : colour;
              }
              const uint8_t* at = PixelAddress(x, 20 + y, depth);
              const uint32_t got = depth == 1 ? (*at & PixelBit(20 + y)) != 0 : *at;
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

// Transparent copies leave zero (unlit) source pixels alone and OR the rest
// in: the left half was filled with colour 4 first.
TEST_P(EachLayout, BitmapOverOrsIntoThePicture) {
  const DestRect left{0, 2, 4, 2};
  drawops.FillRect(&left, 4);
  const std::vector<uint8_t> two = Pack({"01230123"}, 2, 2);
  const Bitmap b2{8, 1, 8, 2, two.data()};
  const BlitRect r2{0, 0, 0, 2, 8, 1};
  drawops.BlitBitmapOver(&r2, &b2);
  const std::vector<uint8_t> one = Pack({"#..##..#"}, 1, 1);
  const Bitmap b1{8, 1, 2, 1, one.data()};
  const BlitRect r1{0, 0, 0, 3, 8, 1};
  drawops.BlitBitmapOver(&r1, &b1);
  if (BitPlane()) {
    EXPECT_TRUE(PictureAt(0, 2, "####.#.#\n#####..#"));
  } else {
    EXPECT_TRUE(PictureAt(0, 2, "4567.123\n64462..2"));
  }
}

// Frame 1 of a 2-bit strip 12 pixels wide; the destination is wider and
// taller than the frame. Colour mode 1 lights exactly the odd values.
TEST_P(EachLayout, FrameOfATwoBitStrip) {
  const std::vector<uint8_t> frames = Pack({"333333333333", "012312302103"}, 2, 3);
  const std::vector<uint8_t> strip = Strip(2, 12, 1, 8, 3, frames);
  FillFrameBuffer(5);
  const DestRect d{3, 2, 20, 3};
  drawops.BlitFrame(1, &d, AsStrip(strip));
  EXPECT_TRUE(PictureAt(2, 1, ByBitZero(R"(
    55555555555555
    5.123123.21.35
    55555555555555)")));
}

// Four-bit frames keep the second pixel's nibble whole; a trailing odd pixel
// is ANDed with 7 like every first pixel. The part copy follows the bitmap
// rule instead.
TEST_F(EngineTest, FourBitFramesInTheByteLayout) {
  ASSERT_TRUE(Start(2));
  ClearFrameBuffer();
  const std::vector<uint8_t> frames = Pack({"9f2ab"}, 4, 3);
  const std::vector<uint8_t> strip = Strip(1, 5, 1, 10, 3, frames);
  const DestRect d{0, 0, 8, 1};
  drawops.BlitFrame(0, &d, AsStrip(strip));
  const DestRect over{0, 1, 8, 1};
  drawops.FillRect(&over, 2);
  drawops.BlitFrameOver(0, &over, AsStrip(strip));
  const DestRect part{0, 2, 8, 1};
  drawops.BlitFramePart(0, 1, 0, &part, AsStrip(strip));
  EXPECT_TRUE(PictureAt(0, 0, R"(
    1f2a3...
    3f2a3222
    7223....)"));
}

// Colour mode 1 has no 4-bit frames: a format above 8 is read one bit a pixel.
TEST_F(EngineTest, FramesAboveFormatEightAreOneBitInTheBitPlaneLayout) {
  ASSERT_TRUE(Start(1));
  ClearFrameBuffer();
  const std::vector<uint8_t> frames = Pack({"##.#..#.#.#"}, 1, 2);
  const std::vector<uint8_t> strip = Strip(1, 11, 1, 10, 2, frames);
  const DestRect d{0, 0, 16, 1};
  drawops.BlitFrame(0, &d, AsStrip(strip));
  EXPECT_TRUE(PictureAt(0, 0, "##.#..#.#.#....."));
}

// Transparent frames: all four 2-bit values of one byte ORed into colour 1.
TEST_P(EachLayout, FrameOverOrsEveryValueOfAByte) {
  const std::vector<uint8_t> frames = Pack({"0123", "0123"}, 2, 1);
  const std::vector<uint8_t> strip = Strip(1, 4, 2, 8, 1, frames);
  const DestRect back{0, 0, 6, 2};
  drawops.FillRect(&back, 1);
  const DestRect hole{0, 1, 6, 1};
  drawops.FillRect(&hole, 0);
  const DestRect d{1, 0, 4, 2};
  drawops.BlitFrameOver(0, &d, AsStrip(strip));
  if (BitPlane()) {
    EXPECT_TRUE(PictureAt(0, 0, "######\n..#.#."));
  } else {
    EXPECT_TRUE(PictureAt(0, 0, "111331\n..123."));
  }
}

// A part of frame 1 of a 1-bit strip from (2, 1): at most the rest of the
// frame's width and height.
TEST_P(EachLayout, FramePartFromAnOrigin) {
  const std::vector<uint8_t> frames = Pack({"######", "######", "######", "#.##.#", "..#..#", "######"}, 1, 1);
  const std::vector<uint8_t> strip = Strip(2, 6, 3, 6, 1, frames);
  FillFrameBuffer(1);
  const DestRect d{1, 1, 3, 9};
  drawops.BlitFramePart(1, 2, 1, &d, AsStrip(strip));
  EXPECT_TRUE(PictureAt(0, 0, ByNonZero(R"(
    11111
    16..1
    16661
    11111)")));
}

TEST_P(EachLayout, LinesRectanglesAndPixels) {
  // Rows 14..19 cross the first band boundary of colour mode 1.
  const DestRect block{1, 15, 5, 3};
  drawops.FillRect(&block, 3);
  drawops.DrawHLine(19, 0, 7, 2);
  drawops.DrawHLine(18, 4, 4, 5);  // empty
  drawops.DrawVLine(7, 14, 20, 6);
  drawops.SetPixel(0, 14, 1);
  const DestRect narrow{2, 16, 1, 1};
  drawops.FillRect(&narrow, 0);
  EXPECT_TRUE(PictureAt(0, 14, ByNonZero(R"(
    1......6.
    .33333.6.
    .3.333.6.
    .33333.6.
    .......6.
    22222226.
    .........)")));
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

// Source rows d.width rounded up to 4 bytes apart: width 5 reads rows 8 bytes
// apart, so the 9s between them never show.
TEST_P(EachLayout, BytesRowsAreFourByteAligned) {
  const uint8_t bytes[] = {1, 2, 3, 4, 5, 9, 9, 9, 6, 7, 0, 1, 2, 9, 9, 9};
  const DestRect d{2, 15, 5, 2};
  drawops.BlitBytes(&d, bytes);
  EXPECT_TRUE(PictureAt(1, 14, ByBitZero(R"(
    .......
    .12345.
    .67.12.
    .......)")));
}

// Moves of a random block in every direction, overlapping or not, across
// the band boundaries of colour mode 1 and between partner rows: the
// destination shows the old source, every other pixel keeps its value.
TEST_P(EachLayout, MoveRectCopiesCorrectlyInEveryDirection) {
  std::mt19937 rng(5);
  struct Move {
    int16_t ddx, ddy;
  };
  const Move moves[] = {{1, 0},  {-1, 0}, {0, 1},   {0, -1},  {3, 2},  {-9, -3}, {9, 16},
                        {0, 16}, {0, -16}, {-1, 17}, {0, -9}, {-2, 9}, {12, 0},  {0, 0}};
  for (const Move& m : moves) {
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 48; ++x) drawops.SetPixel(x, y, static_cast<uint8_t>(rng() % 8));
    const std::string old = ReadPicture(0, 0, 48, 48);
    const BlitRect r{12, 20, static_cast<int16_t>(12 + m.ddx), static_cast<int16_t>(20 + m.ddy), 21, 9};
    drawops.MoveRect(&r);
    std::string want = old;
    for (int32_t y = 0; y < r.height; ++y)
      for (int32_t x = 0; x < r.width; ++x) want[(r.dy + y) * 49 + r.dx + x] = old[(r.sy + y) * 49 + r.sx + x];
    EXPECT_EQ(ReadPicture(0, 0, 48, 48), want) << "move by (" << m.ddx << ", " << m.ddy << ")";
  }
}

// A one-column shift to the right of an overlapping block shows no smear.
TEST_P(EachLayout, MoveRectOneColumnRight) {
  const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 0, 0, 6, 5, 4, 3, 2, 1, 0, 0};
  const DestRect d{2, 1, 6, 2};
  drawops.BlitBytes(&d, bytes);
  const BlitRect r{2, 1, 3, 1, 6, 2};
  drawops.MoveRect(&r);
  EXPECT_TRUE(PictureAt(1, 1, ByBitZero(R"(
    .1123456.
    .6654321.)")));
}

}  // namespace
}  // namespace ledview
