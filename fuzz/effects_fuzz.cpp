// Effect target: one entry or exit effect run step by step to its end on a
// sign, rectangle and picture the input chooses (any size, position, pixel
// format, pitch and speed). No pixel outside the rectangle may change, the
// picture keeps colour values, the effect stops within a bound, and once its
// work buffer is freed the arena holds what it held before.
//
// The playbill target reaches the effects through the text renderers; this
// one reaches every effect directly, whatever renderers are built.
//
// Input: sign and rectangle figures, effect, speed, picture header, then the
// picture's bytes.
#include <algorithm>
#include <cstring>
#include <vector>

#include "common.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "effects/effects.h"
#include "ledview.h"
#include "memory/arena.h"
#include "platform/platform.h"
#include "effects/random.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

// Effects move at least one pixel a step, so a run ends within a few
// thousand steps plus twice the rectangle's width and height.
constexpr int32_t kMaxSteps = 4000;
// Slots 45..52 scroll for ever; they are stopped after this many steps, as a
// page change would.
constexpr int32_t kEndlessSteps = 600;
constexpr uint8_t kFirstEndless = 45;
constexpr uint8_t kLastEndless = 52;
// A step redraws at most the rectangle, and the slowest effects take a step
// per PixelStep pixels of its width and height; a slide across a 4096 x 512
// rectangle at the lowest speed is billions of pixel moves, tens of seconds
// under the sanitizers. Rectangles whose estimated work passes this budget
// (a second or two instrumented) are scaled down until it fits: huge
// rectangles at high speed and small ones at low speed keep their size, and
// pictures stay as the input made them.
constexpr uint64_t kPixelStepBudget = uint64_t{1} << 29;

uint64_t EstimatedWork(const DestRect& r, int32_t speed, bool endless) {
  const uint64_t area = uint64_t{r.width} * r.height;
  const uint64_t steps = endless ? kEndlessSteps : (uint64_t{r.width} + r.height) / PixelStep[speed] + 1;
  return area * steps;
}
std::vector<uint8_t> before(kFrameBufferBytes);

// Which pixel row each framebuffer line holds, per bit in colour mode 1
// (two rows share a byte) or in bit 0 otherwise; -1 for none.
struct LineRows {
  int32_t row[2];
};
std::vector<LineRows> linerows;

void MapLines() {
  const uint32_t pitch = framebuffer.curfbpitch;
  linerows.assign(kFrameBufferBytes / pitch + 1, LineRows{{-1, -1}});
  const uint8_t depth = ledconfig.depth;
  for (uint32_t y = 0; y < framebuffer.fbheight; ++y) {
    const size_t line = static_cast<size_t>(PixelAddress(0, y, depth) - framebuffer.pixels) / pitch;
    const int bit = depth == 1 ? PixelBit(y) >> 1 : 0;
    linerows[line].row[bit] = static_cast<int32_t>(y);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const int32_t modes[] = {1, 2, 4};
  const int32_t mode = modes[in.U8() % 3];
  const int32_t signw = 1 + in.U8() % 160;
  const int32_t signh = 1 + in.U8() % 64;
  ClockSimulate(1700000000);
  ReleasePreview();
  Expect(InitLedConfigure(signw, signh, mode) == 0, "InitLedConfigure");
  RandomSeed(1234567);
  const uint32_t fbw = framebuffer.fbwidth, fbh = framebuffer.fbheight;
  // The loader keeps every rectangle inside the framebuffer; mostly on the sign.
  const uint32_t spanw = (in.U8() & 7) == 0 ? fbw : std::min<uint32_t>(fbw, static_cast<uint32_t>(signw));
  const uint32_t spanh = (in.U8() & 7) == 0 ? fbh : std::min<uint32_t>(fbh, static_cast<uint32_t>(signh));
  DestRect rect{};
  rect.x = static_cast<uint16_t>(in.U16() % spanw);
  rect.y = static_cast<uint16_t>(in.U16() % spanh);
  rect.width = static_cast<uint16_t>(in.U16() % (spanw - rect.x + 1));
  rect.height = static_cast<uint16_t>(in.U16() % (spanh - rect.y + 1));

  const uint8_t which = in.U8() % (kEntryEffectCount + kExitEffectCount);
  const EffectFunction effect =
      which < kEntryEffectCount ? EntryEffects[which] : ExitEffects[which - kEntryEffectCount];
  uint8_t header[24] = {};
  header[8] = in.U8() % 12;  // speeds past 8 are clamped
  const bool endless = which >= kFirstEndless && which <= kLastEndless;
  while (EstimatedWork(rect, std::min<int32_t>(header[8], 8), endless) > kPixelStepBudget) {
    rect.width = static_cast<uint16_t>(rect.width * 3 / 4);
    rect.height = static_cast<uint16_t>(rect.height * 3 / 4);
  }

  const int16_t imgw = static_cast<int16_t>(in.U8() % 200);
  const int16_t imgh = static_cast<int16_t>(in.U8() % 80);
  const uint16_t format = in.U8() % 11;
  const int32_t bits = format <= 7 ? 1 : format == 8 ? 2 : 4;
  const int16_t imgpitch = static_cast<int16_t>((imgw * bits + 7) / 8 + in.U8() % 4);
  std::vector<uint8_t> pixels(static_cast<size_t>(std::max<int32_t>(1, imgpitch * imgh)));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = in.Empty() ? static_cast<uint8_t>(i * 151 + 7) : in.U8();

  // Old content everywhere, so that a stray write of any value shows.
  for (size_t i = 0; i < kFrameBufferBytes; ++i) {
    const auto v = static_cast<uint8_t>(i * 13 + 5);
    framebuffer.pixels[i] = mode == 1 ? (v & 3) : static_cast<uint8_t>(1 + v % 7);
  }
  std::memcpy(before.data(), framebuffer.pixels, kFrameBufferBytes);
  MapLines();
  const uint32_t top = ArenaTopSize();

  ElementNode element{};
  element.header = header;
  element.image = Bitmap{imgw, imgh, format, imgpitch, pixels.data()};
  const int32_t maxsteps = kMaxSteps + 2 * (rect.width + rect.height);
  const int32_t limit = endless ? kEndlessSteps : maxsteps;
  int32_t steps = 0;
  for (; steps < limit; ++steps) {
    DestRect r = rect;
    if (effect(&element, &r) <= 0) break;
  }
  if (!endless) Expect(steps < maxsteps, "effect ends", steps, maxsteps);
  // What the renderer does when an effect ends.
  ArenaFree(element.workBuffer);
  element.workBuffer = nullptr;
  Expect(ArenaTopSize() == top, "effect gives its memory back", ArenaTopSize(), top);

  const uint32_t pitch = framebuffer.curfbpitch;
  const uint8_t* now = framebuffer.pixels;
  constexpr size_t kChunk = 4096;
  for (size_t from = 0; from < kFrameBufferBytes; from += kChunk) {
    if (std::memcmp(before.data() + from, now + from, kChunk) == 0) continue;
    for (size_t i = from; i < from + kChunk; ++i) {
      const uint8_t diff = before[i] ^ now[i];
      if (diff == 0) continue;
      const uint32_t x = static_cast<uint32_t>(i % pitch);
      const LineRows& rows = linerows[i / pitch];
      for (int bit = 0; bit < 2; ++bit) {
        const bool changed = mode == 1 ? (diff >> bit) & 1 : bit == 0;
        if (!changed) continue;
        const int32_t y = rows.row[bit];
        const bool inside = y >= rect.y && y < rect.y + rect.height && x >= rect.x &&
                            x < static_cast<uint32_t>(rect.x + rect.width) && x < fbw;
        if (!inside) Fail("pixel outside the rectangle changed", x, y);
        if (mode != 1) Expect(now[i] <= 7, "colour value", now[i], 7);
      }
    }
  }
  ReleasePreview();
  return 0;
}
