#include "support/effect_driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "memory/arena.h"
#include "support/picture.h"

namespace ledview::test {

namespace {

// Framebuffer contents before a call, to find what the call changed.
std::unique_ptr<uint8_t[]>& Before() {
  static std::unique_ptr<uint8_t[]> before(new uint8_t[kFrameBufferBytes]);
  return before;
}

bool Inside(const DestRect& r, int64_t x, int64_t y) {
  return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

}  // namespace

void EffectDriver::Configure(int32_t m) {
  mode = m;
  ReleasePreview();
  testing::internal::CaptureStdout();
  const int32_t rc = InitLedConfigure(64, 32, m);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(rc, 0);
  ClearFrameBuffer();
  element = ElementNode{};
  element.header = header;
  SetSpeed(0);
}

void EffectDriver::SetImage(const std::vector<std::string>& rows) {
  imagerows = rows;
  const size_t w = rows.empty() ? 0 : rows[0].size();
  const size_t pitch = std::max<size_t>(1, (w + 7) / 8);
  pixels.assign(std::max<size_t>(1, rows.size()) * pitch, 0);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      if (rows[y][x] == '#') pixels[y * pitch + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  element.image = Bitmap{static_cast<int16_t>(w), static_cast<int16_t>(rows.size()), 1, static_cast<int16_t>(pitch),
                         pixels.data()};
}

void EffectDriver::SetSolidImage(int32_t w, int32_t h) {
  SetImage(std::vector<std::string>(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '#')));
}

void EffectDriver::SetSpeed(uint16_t speed) {
  header[8] = static_cast<uint8_t>(speed);
  header[9] = static_cast<uint8_t>(speed >> 8);
}

void EffectDriver::Paint(int32_t x, int32_t y, const std::string& picture) {
  const std::string p = NormalisePicture(picture);
  int32_t cx = x, cy = y;
  for (char ch : p) {
    if (ch == '\n') {
      cx = x;
      ++cy;
      continue;
    }
    drawops.SetPixel(cx++, cy, ch == '#' ? 1 : ch == 'o' ? 2 : 0);
  }
}

void EffectDriver::PaintOld() { drawops.FillRect(&rect, 2); }

int32_t EffectDriver::Call(EffectFunction f) {
  ++calls;
  // Only the framebuffer lines holding the rows from 16 above the rectangle
  // to 16 below it are compared: a strip that slips its rectangle, or runs
  // off the end of a row, lands there.
  const uint32_t pitch = framebuffer.curfbpitch;
  const int64_t fbh = framebuffer.fbheight;
  int64_t firstline = INT64_MAX, lastline = -1;
  for (int64_t y = std::max<int64_t>(0, rect.y - 16); y < std::min<int64_t>(fbh, rect.y + rect.height + 16); ++y) {
    const int64_t line = (PixelAddress(0, static_cast<uint32_t>(y), ledconfig.depth) - framebuffer.pixels) / pitch;
    firstline = std::min(firstline, line);
    lastline = std::max(lastline, line);
  }
  // A run off the end of the last row goes on into the lines below.
  firstline = std::max<int64_t>(0, firstline - 1);
  lastline = std::min<int64_t>(kFrameBufferBytes / pitch - 1, lastline + 1);
  const size_t from = static_cast<size_t>(firstline) * pitch;
  const size_t bytes = static_cast<size_t>(lastline - firstline + 1) * pitch;
  uint8_t* before = Before().get();
  std::memcpy(before, framebuffer.pixels + from, bytes);
  const uint32_t top = ArenaTopSize();
  DestRect r = rect;
  const int32_t result = f(&element, &r);
  EXPECT_EQ(ArenaTopSize(), top) << "call " << calls << " took memory";
  EXPECT_EQ(element.workBuffer, nullptr) << "call " << calls;
  int32_t reported = 0;
  constexpr size_t kBlock = 256;
  for (size_t i = 0; i < bytes && reported < 3; ++i) {
    if (i % kBlock == 0 && i + kBlock <= bytes && std::memcmp(before + i, framebuffer.pixels + from + i, kBlock) == 0) {
      i += kBlock - 1;
      continue;
    }
    const uint8_t diff = before[i] ^ framebuffer.pixels[from + i];
    if (diff == 0) continue;
    const size_t o = from + i;
    const int64_t x = static_cast<int64_t>(o % pitch);
    int64_t y = static_cast<int64_t>(o / pitch);
    bool inside = true;
    if (ledconfig.depth == 1) {
      // Line o / pitch holds the rows band * 2 sigheight + row and that plus
      // sigheight, in bits 1 and 2.
      const int64_t sig = ledconfig.sigheight;
      const int64_t first = (y / sig) * 2 * sig + y % sig;
      if ((diff & 1) != 0 && !Inside(rect, x, first)) {
        inside = false;
        y = first;
      }
      if ((diff & 2) != 0 && !Inside(rect, x, first + sig)) {
        inside = false;
        y = first + sig;
      }
    } else {
      inside = Inside(rect, x, y);
    }
    if (!inside) {
      ADD_FAILURE() << "call " << calls << " changed pixel (" << x << ", " << y << ") outside the rectangle ("
                    << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << ")";
      ++reported;
    }
  }
  return result;
}

std::vector<int32_t> EffectDriver::Run(EffectFunction f, int32_t limit) {
  std::vector<int32_t> results;
  for (int32_t i = 0; i < limit; ++i) {
    results.push_back(Call(f));
    if (results.back() <= 0) break;
  }
  return results;
}

std::string EffectDriver::Expect(const std::string& picture) const {
  std::string out = NormalisePicture(picture);
  for (char& c : out) {
    if (c == '#') c = mode == 1 ? '#' : '1';
    if (c == 'o') c = mode == 1 ? '#' : '2';
  }
  return out;
}

testing::AssertionResult EffectDriver::Shows(const std::string& picture) const {
  return PictureAt(rect.x, rect.y, Expect(picture));
}

testing::AssertionResult EffectDriver::ShowsImageAtCorner() const {
  std::string want;
  for (int32_t y = 0; y < rect.height; ++y) {
    if (y > 0) want += '\n';
    for (int32_t x = 0; x < rect.width; ++x) {
      const bool in = y < static_cast<int32_t>(imagerows.size()) && x < static_cast<int32_t>(imagerows[y].size());
      want += in && imagerows[y][x] == '#' ? '#' : '.';
    }
  }
  return Shows(want);
}

std::vector<std::string> PatternRows(int32_t w, int32_t h) {
  std::vector<std::string> rows(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      if ((x * 3 + y * 5 + x * y) % 7 < 3) rows[y][x] = '#';
    }
  }
  return rows;
}

std::string LayoutName(const testing::TestParamInfo<int32_t>& info) {
  return info.param == 1 ? "BitPlane" : "BytePerPixel";
}

}  // namespace ledview::test
