#include "support/effect_bench.h"

#include "display/drawops.h"
#include "ledview.h"
#include "memory/arena.h"
#include "support/picture.h"

namespace ledview::test {

ArenaHog::ArenaHog() {
  for (size_t size = kArenaBlockSize; size > 0; size >>= 1) {
    while (void* p = ArenaAlloc(size)) blocks.push_back(p);
  }
}

ArenaHog::~ArenaHog() {
  for (void* p : blocks) ArenaFree(p);
}

void EffectBench::SetUp() {
  EngineTest::SetUp();
  testing::internal::CaptureStdout();
  const int32_t rc = InitLedConfigure(128, 64, GetParam());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(rc, 0);
  node.header = header_;
  SetImage(8, 8);
}

void EffectBench::SetImage(int32_t w, int32_t h, const PixelTest& lit) {
  const int32_t pitch = w > 0 ? (w + 7) / 8 : 1;
  pixels_.assign(static_cast<size_t>(pitch) * static_cast<size_t>(h > 0 ? h : 1), 0);
  for (int32_t v = 0; v < h; ++v) {
    for (int32_t u = 0; u < w; ++u) {
      if (lit(u, v)) pixels_[static_cast<size_t>(v * pitch + u / 8)] |= static_cast<uint8_t>(0x80 >> (u % 8));
    }
  }
  node.image = Bitmap{static_cast<int16_t>(w), static_cast<int16_t>(h), 3, static_cast<int16_t>(pitch), pixels_.data()};
}

void EffectBench::SetRows(const std::vector<std::string>& rows) {
  SetImage(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), [&](int32_t u, int32_t v) { return rows[v][u] == '#'; });
}

void EffectBench::Start(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed, uint8_t fill) {
  ArenaFree(node.workBuffer);
  node.workBuffer = nullptr;
  node.step = node.extent = node.stepDelay = 0;
  rx = x, ry = y, rw = w, rh = h;
  header_[8] = static_cast<uint8_t>(speed & 0xFF);
  header_[9] = static_cast<uint8_t>(speed >> 8);
  FillInside(fill);
}

DestRect EffectBench::Rect() const {
  return DestRect{static_cast<uint16_t>(rx), static_cast<uint16_t>(ry), static_cast<uint16_t>(rw), static_cast<uint16_t>(rh)};
}

void EffectBench::FillInside(uint8_t value) {
  const DestRect r = Rect();
  drawops.FillRect(&r, value);
}

int32_t EffectBench::Call(EffectFunction f) {
  DestRect r = Rect();  // the effect may change its copy
  return f(&node, &r);
}

std::vector<int32_t> EffectBench::Run(EffectFunction f, size_t limit) {
  std::vector<int32_t> results;
  while (results.size() < limit) {
    results.push_back(Call(f));
    if (results.back() <= 0) break;
  }
  return results;
}

std::string EffectBench::ExpectFrom(const SourceOf& source, char hidden) const {
  const Bitmap& b = node.image;
  std::string out;
  for (int32_t v = 0; v < rh; ++v) {
    out += v > 0 ? "\n" : "";
    for (int32_t u = 0; u < rw; ++u) {
      int32_t su = 0, sv = 0;
      const bool in = source(u, v, &su, &sv);
      const bool lit = b.pixels != nullptr && su >= 0 && sv >= 0 && su < b.width && sv < b.height &&
                       (b.pixels[sv * b.pitch + su / 8] & (0x80 >> (su % 8))) != 0;
      out += in ? (lit ? '#' : '.') : hidden;
    }
  }
  return out;
}

std::string EffectBench::Expect(const PixelTest& shown, char hidden) const {
  return ExpectFrom([&](int32_t u, int32_t v, int32_t* su, int32_t* sv) { return *su = u, *sv = v, shown(u, v); }, hidden);
}

bool EffectBench::Lit(int32_t u, int32_t v) const { return ReadPicture(rx + u, ry + v, 1, 1) != "."; }

testing::AssertionResult EffectBench::Shows(const std::string& picture) const {
  std::string want;
  for (char c : picture) {
    if (c == ' ') c = '\n';
    if (GetParam() == 1) c = c == 'o' ? '.' : c == '7' ? '#' : c;
    else if (c == '#') c = '3';
    else if (c == 'o') c = '2';
    want += c;
  }
  return PictureAt(rx, ry, NormalisePicture(want));
}

}  // namespace ledview::test
