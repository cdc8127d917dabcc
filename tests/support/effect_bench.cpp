#include "support/effect_bench.h"

#include <cstring>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "memory/arena.h"
#include "support/picture.h"

namespace ledview::test {

namespace {

constexpr uint8_t kImageFormat = 3;
constexpr uint8_t kSentinel = 5;

// The framebuffer as SetUp leaves it: sentinel everywhere. One for all tests,
// as a megabyte per test costs more than the tests.
std::vector<uint8_t> snapshot_;

}  // namespace

ArenaHog::ArenaHog() {
  for (size_t size = kArenaBlockSize; size > 0; size >>= 1) {
    while (void* p = ArenaAlloc(size)) blocks_.push_back(p);
  }
}

ArenaHog::~ArenaHog() {
  for (void* p : blocks_) ArenaFree(p);
}

std::string ModeName(const testing::TestParamInfo<int32_t>& info) {
  return "ColourMode" + std::to_string(info.param);
}

void EffectBenchBase::SetUp() {
  EngineTest::SetUp();
  testing::internal::CaptureStdout();
  const int32_t rc = InitLedConfigure(128, 64, Mode());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(rc, 0);
  ASSERT_GE(framebuffer.fbwidth, 128u);
  ASSERT_GE(framebuffer.fbheight, 64u);
  node.header = header_.data();
  FillFrameBuffer(kSentinel);
  snapshot_.assign(framebuffer.pixels, framebuffer.pixels + kFrameBufferBytes);
  SetImage(8, 8);
  SetRect(5, 10, 8, 8);
}

void EffectBenchBase::SetImage(int32_t w, int32_t h, const PixelTest& lit) {
  const int32_t pitch = w > 0 ? (w + 7) / 8 : 1;
  pixels_.assign(static_cast<size_t>(pitch) * static_cast<size_t>(h > 0 ? h : 1), 0);
  for (int32_t v = 0; v < h; ++v) {
    for (int32_t u = 0; u < w; ++u) {
      if (lit(u, v)) pixels_[static_cast<size_t>(v * pitch + u / 8)] |= static_cast<uint8_t>(0x80 >> (u % 8));
    }
  }
  node.image = Bitmap{static_cast<int16_t>(w), static_cast<int16_t>(h), kImageFormat, static_cast<int16_t>(pitch),
                      pixels_.data()};
}

void EffectBenchBase::SetRows(const std::vector<std::string>& rows) {
  const int32_t w = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
  SetImage(w, static_cast<int32_t>(rows.size()), [&](int32_t u, int32_t v) { return rows[v][u] == '#'; });
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

void EffectBenchBase::SetSpeed(uint32_t speed) {
  header_[8] = static_cast<uint8_t>(speed & 0xFF);
  header_[9] = static_cast<uint8_t>(speed >> 8);
}

void EffectBenchBase::SetRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  // Only the previous rectangle differs from the sentinel picture.
  drawops.FillRect(&rect_, kSentinel);
  rx = x;
  ry = y;
  rw = w;
  rh = h;
  rect_ = DestRect{static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(w),
                   static_cast<uint16_t>(h)};
  drawops.FillRect(&rect_, 0);
}

void EffectBenchBase::FillInside(uint8_t value) { drawops.FillRect(&rect_, value); }

void EffectBenchBase::Paint(int32_t u, int32_t v, const std::string& picture) {
  int32_t cu = u, cv = v;
  for (char ch : NormalisePicture(picture)) {
    if (ch == '\n') {
      cu = u;
      ++cv;
      continue;
    }
    drawops.SetPixel(rx + cu++, ry + cv, ch == '#' ? kImageFormat : ch == '7' ? 7 : 0);
  }
}

void EffectBenchBase::Reset() {
  if (node.workBuffer != nullptr) ArenaFree(node.workBuffer);
  node.workBuffer = nullptr;
  node.step = 0;
  node.extent = 0;
}

int32_t EffectBenchBase::Call(EffectFunction f) {
  DestRect r = rect_;
  if (!checkEachCall) return f(&node, &r);
  const uint32_t top = ArenaTopSize();
  const int32_t result = f(&node, &r);
  EXPECT_EQ(ArenaTopSize(), top) << "the effect kept arena memory";
  EXPECT_EQ(node.workBuffer, nullptr);
  EXPECT_TRUE(OutsideUntouched());
  return result;
}

std::vector<int32_t> EffectBenchBase::Run(EffectFunction f, size_t limit) {
  std::vector<int32_t> results;
  while (results.size() < limit) {
    results.push_back(Call(f));
    if (results.back() <= 0) break;
  }
  return results;
}

bool EffectBenchBase::ImageLit(int32_t u, int32_t v) const {
  const Bitmap& b = node.image;
  if (u < 0 || v < 0 || u >= b.width || v >= b.height) return false;
  return (b.pixels[v * b.pitch + u / 8] & (0x80 >> (u % 8))) != 0;
}

std::string EffectBenchBase::Expect(const PixelTest& shown, char hidden) const {
  std::string out;
  for (int32_t v = 0; v < rh; ++v) {
    if (v > 0) out += '\n';
    for (int32_t u = 0; u < rw; ++u) out += shown(u, v) ? (ImageLit(u, v) ? '#' : '.') : hidden;
  }
  return out;
}

std::string EffectBenchBase::ExpectFrom(const SourceOf& source, char hidden) const {
  std::string out;
  for (int32_t v = 0; v < rh; ++v) {
    if (v > 0) out += '\n';
    for (int32_t u = 0; u < rw; ++u) {
      int32_t su = 0, sv = 0;
      out += source(u, v, &su, &sv) ? (ImageLit(su, sv) ? '#' : '.') : hidden;
    }
  }
  return out;
}

bool EffectBenchBase::Lit(int32_t u, int32_t v) const {
  const uint32_t x = static_cast<uint32_t>(rx + u), y = static_cast<uint32_t>(ry + v);
  const uint8_t byte = *PixelAddress(x, y, ledconfig.depth);
  return ledconfig.depth == 1 ? (byte & PixelBit(y)) != 0 : byte != 0;
}

std::string EffectBenchBase::Converted(const std::string& picture) const {
  std::string out = NormalisePicture(picture);
  for (char& c : out) {
    switch (c) {
      case '#':
        c = BitPlane() ? '#' : '3';
        break;
      case 'o':
        c = BitPlane() ? '.' : '2';
        break;
      case 's':
        c = BitPlane() ? '#' : '5';
        break;
      case '7':
        c = BitPlane() ? '#' : '7';
        break;
      default:
        break;
    }
  }
  return out;
}

testing::AssertionResult EffectBenchBase::ShowsImage(const PixelTest& shown) const {
  const uint8_t depth = ledconfig.depth;
  for (int32_t v = 0; v < rh; ++v) {
    for (int32_t u = 0; u < rw; ++u) {
      const bool lit = shown(u, v) && ImageLit(u, v);
      const uint32_t x = static_cast<uint32_t>(rx + u), y = static_cast<uint32_t>(ry + v);
      const uint8_t byte = *PixelAddress(x, y, depth);
      const bool ok = depth == 1 ? ((byte & PixelBit(y)) != 0) == lit : byte == (lit ? kImageFormat : 0);
      if (!ok) return Shows(Expect(shown));
    }
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult EffectBenchBase::Shows(const std::string& picture) const { return ShowsAt(0, 0, picture); }

testing::AssertionResult EffectBenchBase::ShowsAt(int32_t u, int32_t v, const std::string& picture) const {
  return PictureAt(rx + u, ry + v, Converted(picture));
}

testing::AssertionResult EffectBenchBase::OutsideUntouched() const {
  // The rectangle's pixels take the sentinel for the comparison and get their
  // own values back afterwards (in reverse, as colour mode 1 keeps two rows
  // in one byte).
  struct Saved {
    uint8_t* at;
    uint8_t byte;
    uint8_t mask;
  };
  // Reused: fresh blocks on every call would each cost page faults under the
  // sanitizer's quarantine.
  static std::vector<Saved> saved;
  saved.clear();
  const uint8_t depth = ledconfig.depth;
  for (int32_t v = 0; v < rh; ++v) {
    for (int32_t u = 0; u < rw; ++u) {
      const uint32_t x = static_cast<uint32_t>(rx + u), y = static_cast<uint32_t>(ry + v);
      uint8_t* at = PixelAddress(x, y, depth);
      const uint8_t mask = depth == 1 ? PixelBit(y) : 0xFF;
      const uint8_t want = snapshot_[static_cast<size_t>(at - framebuffer.pixels)];
      saved.push_back(Saved{at, *at, mask});
      *at = static_cast<uint8_t>((*at & ~mask) | (want & mask));
    }
  }
  const bool same = std::memcmp(framebuffer.pixels, snapshot_.data(), kFrameBufferBytes) == 0;
  size_t first = 0;
  while (!same && framebuffer.pixels[first] == snapshot_[first]) ++first;
  for (auto it = saved.rbegin(); it != saved.rend(); ++it) *it->at = it->byte;
  if (same) return testing::AssertionSuccess();
  // Later pictures start from the sentinel again.
  std::memcpy(framebuffer.pixels, snapshot_.data(), kFrameBufferBytes);
  for (const Saved& s : saved) *s.at = static_cast<uint8_t>((*s.at & ~s.mask) | (s.byte & s.mask));
  return testing::AssertionFailure() << "a pixel outside the rectangle changed (byte " << first << ")";
}

}  // namespace ledview::test
