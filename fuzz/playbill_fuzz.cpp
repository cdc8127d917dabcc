// Playbill target: the input chooses a sign, carries a playbill and a script
// of host calls. The playbill is validated and loaded on a ready engine, then
// played through action ticks, seconds, refreshes, live-string updates, link
// toggles and restarts, and the engine is released at the end.
//
// Input: PlaybillInputHeader (bills.h), the playbill, the operations.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bills.h"
#include "common.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "platform/platform.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

constexpr int64_t kClockStart = 1700000000;  // a fixed calendar time
// Action rounds per input: every round copies the whole sign out, so large
// signs get fewer to keep each run short.
constexpr uint64_t kRoundPixels = 60000000;
constexpr uint32_t kMinActions = 300;
constexpr uint32_t kMaxActions = 30000;
constexpr uint8_t kPad = 0xCD;
constexpr int32_t kPadBytes = 3;

// Default script for an input without operations: forty seconds of play with
// a string update half-way.
const uint8_t kDefaultOps[] = {Op(kOpSeconds, 20), Op(kOpString, 1), 1, 3, 'a', 'b', 'c',
                               Op(kOpSeconds, 20)};

struct Host {
  int32_t width, height, pitch;
  std::vector<uint8_t> buffer;
  const uint8_t* bill;
  int32_t billlength;
  int32_t loadresult;
  uint32_t actions;
  uint32_t budget;
};

void RegisterBuffer(Host& h) {
  std::fill(h.buffer.begin(), h.buffer.end(), kPad);
  Expect(SetBmpBuffer(h.width, h.height, h.pitch, h.buffer.data()) == 0, "SetBmpBuffer");
}

// The engine writes only the first `width` bytes of each row, and colour
// values only.
void CheckOutput(const Host& h) {
  const uint32_t maxvalue = ledconfig.depth == 1 ? 1 : 7;
  for (int32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = h.buffer.data() + static_cast<size_t>(y) * h.pitch;
    for (int32_t x = 0; x < h.width; ++x) {
      if (row[x] != kPad) Expect(row[x] <= maxvalue, "output colour value", row[x], maxvalue);
    }
    for (int32_t x = h.width; x < h.pitch; ++x) Expect(row[x] == kPad, "row padding kept", x, y);
  }
}

int32_t Load(Host& h) {
  const int32_t test = TestPlayBillData(h.bill, h.billlength);
  Expect(test == TestPlayBillData(h.bill, h.billlength), "validation repeatable");
  const int32_t r = SetPlayBill(h.bill, h.billlength);
  if (test != 0) {
    Expect(r == -2, "rejected playbill gives -2", r, -2);
  } else {
    Expect(r == 0 || r == -1, "valid playbill loads or overflows", r, 0);
  }
  return r;
}

void Action(Host& h) {
  NotifyActtion();
  RefreshBuffer();
  ++h.actions;
}

void Run(Host& h, Reader& ops, uint32_t tps) {
  while (!ops.Empty() && h.actions < h.budget) {
    const uint8_t op = ops.U8();
    const uint32_t count = (op >> 3) + 1u;
    switch (op & 7) {
      case kOpActions:
        for (uint32_t i = 0; i < count * 8 && h.actions < h.budget; ++i) Action(h);
        break;
      case kOpSeconds:
        for (uint32_t s = 0; s < count && h.actions < h.budget; ++s) {
          ClockAdvance(1);
          NotifySecond();
          RefreshBuffer();
          for (uint32_t i = 0; i < tps; ++i) Action(h);
        }
        break;
      case kOpString: {
        const int32_t id = static_cast<int8_t>(ops.U8());
        size_t got = 0;
        const uint8_t* text = ops.Take(ops.U8(), &got);
        const int32_t r = UpdateString(id, reinterpret_cast<const char*>(text), static_cast<int32_t>(got));
        if (h.loadresult != 0 || id < 0 || got == 0) {
          Expect(r == -1, "UpdateString refused", r, -1);
        } else {
          Expect(r == -1 || r >= 1, "UpdateString version", r, 1);
        }
        RefreshBuffer();
        break;
      }
      case kOpRefresh:
        for (uint32_t i = 0; i < count; ++i) RefreshBuffer();
        break;
      case kOpLink:
        if (count & 1) ShowLink(); else HideLink();
        break;
      case kOpRestart: {
        Expect(EndPreview() == 0, "EndPreview gives 0");
        if (h.loadresult == 0) {
          // Every row of the picture is cleared; the padding stays.
          for (size_t i = 0; i < h.buffer.size(); ++i) {
            const bool picture = static_cast<int32_t>(i % static_cast<size_t>(h.pitch)) < h.width;
            Expect(h.buffer[i] == (picture ? 0 : kPad), "EndPreview clears the picture", i,
                   picture ? 0 : kPad);
          }
        }
        RegisterBuffer(h);
        const int32_t again = Load(h);
        Expect(again == h.loadresult, "reload gives the same result", again, h.loadresult);
        break;
      }
      case kOpTest:
        TestPlayBillData(h.bill, h.billlength);
        break;
      case kOpBurst:
        for (uint32_t i = 0; i < count * 8; ++i) NotifyActtion();
        h.actions += count * 8;
        RefreshBuffer();
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Validation faults are printed; they would only slow the run down.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPlaybillHeaderBytes) return -1;
  Reader in{data, size};
  Host h{};
  h.width = 1 + in.U16() % 1024;
  h.height = 1 + in.U16() % 512;
  const int32_t mode = 1 + in.U8() % 5;
  const uint8_t flags = in.U8();
  const uint32_t tps = in.U8() % 64;
  in.U8();
  const uint32_t billlength = in.U32();
  size_t got = 0;
  h.bill = in.Take(billlength, &got);
  h.billlength = static_cast<int32_t>(got);
  const uint64_t area = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height);
  h.budget = static_cast<uint32_t>(std::clamp<uint64_t>(kRoundPixels / area, kMinActions, kMaxActions));
  h.pitch = h.width + ((flags & kFlagPadRows) ? kPadBytes : 0);
  h.buffer.assign(static_cast<size_t>(h.pitch) * static_cast<size_t>(h.height), kPad);

  ClockSimulate(kClockStart);
  ReleasePreview();
  Expect(InitLedConfigure(h.width, h.height, mode) == 0, "InitLedConfigure");
  const char* font = LEDVIEW_FUZZ_FONT;
  if ((flags & kFlagCjkFont) && FileCanOpen(LEDVIEW_FUZZ_CJK_FONT)) font = LEDVIEW_FUZZ_CJK_FONT;
  Expect(SetFontPathname(font) == 0, "SetFontPathname");
  RegisterBuffer(h);
  if (flags & kFlagLink) {
    ledconfig.linkshow = 1;
    ShowLink();
  }
  h.loadresult = Load(h);

  Reader ops{data + in.pos, size - in.pos};
  if (ops.Empty()) ops = Reader{kDefaultOps, sizeof kDefaultOps};
  Run(h, ops, tps);
  if (h.loadresult == 0) CheckOutput(h);

  Expect(EndPreview() == 0, "EndPreview gives 0");
  Expect(ReleasePreview() == 0, "ReleasePreview gives 0");
  return 0;
}
