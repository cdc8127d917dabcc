#include "support/effect_driver.h"

#include <algorithm>
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
  uint8_t* before = Before().get();
  std::memcpy(before, framebuffer.pixels, kFrameBufferBytes);
  const uint32_t top = ArenaTopSize();
  DestRect r = rect;
  const int32_t result = f(&element, &r);
  EXPECT_EQ(ArenaTopSize(), top) << "call " << calls << " took memory";
  EXPECT_EQ(element.workBuffer, nullptr) << "call " << calls;
  const uint32_t pitch = framebuffer.curfbpitch;
  int32_t reported = 0;
  constexpr uint32_t kBlock = 4096;
  for (uint32_t o = 0; o < kFrameBufferBytes && reported < 3; ++o) {
    if (o % kBlock == 0 && std::memcmp(before + o, framebuffer.pixels + o, kBlock) == 0) {
      o += kBlock - 1;
      continue;
    }
    const uint8_t diff = before[o] ^ framebuffer.pixels[o];
    if (diff == 0) continue;
    const int64_t x = o % pitch;
    int64_t y = o / pitch;
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

std::string LayoutName(const testing::TestParamInfo<int32_t>& info) {
  return info.param == 1 ? "BitPlane" : "BytePerPixel";
}

}  // namespace ledview::test
