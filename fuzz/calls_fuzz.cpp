// Call-order target: every exported call, in any order, with arguments drawn
// from edge values. The target keeps its own model of the engine's state
// machine (state, font loaded, buffer registered) and aborts when a return
// code or the engine's state departs from it, or when the host's buffer is
// written where it must not be.
//
// Input: a sequence of operations, each an opcode byte and its argument bytes.
#include <unistd.h>

#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "api/engine.h"
#include "bills.h"
#include "common.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/refresh.h"
#include "ledview.h"
#include "platform/platform.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

constexpr int64_t kClockStart = 1700000000;
constexpr uint8_t kPad = 0xCD;
constexpr int32_t kTooLong = 3145729;

const int32_t kSignSizes[] = {-1, 0, 1, 2, 7, 8, 16, 31, 32, 33, 64, 100, 128, 129, 200, 511,
                              512, 513, 600, 1024, 2047, 4096, 65535, 65536, 70000, INT_MAX,
                              INT_MIN};
const int32_t kModes[] = {-1, 0, 1, 2, 3, 4, 5, 6, 9, 255, INT_MAX, INT_MIN};
const int32_t kBufferSizes[] = {-300, -5, -1, 0, 1, 3, 7, 8, 31, 32, 33, 64, 65, 127, 128, 129, 300};
const int32_t kPitchDeltas[] = {-7, -1, 0, 1, 3, 5, 64};
const int32_t kStringIds[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 127, 128, 1000, INT_MAX, INT_MIN};
const int32_t kStringLengths[] = {-1, 0, 1, 2, 5, 40, 255, 256, 300};

enum FontChoice { kFontNull, kFontDejaVu, kFontCjk, kFontMissing, kFontDirectory, kFontNotFont,
                  kFontTruncated, kFontEmpty, kFontCount };

struct Fonts {
  std::string notfont;    // a text file
  std::string truncated;  // the first kilobyte of a real font
};
Fonts fonts;

template <typename T, size_t N>
T Pick(Reader& in, const T (&table)[N]) {
  return table[in.U8() % N];
}

struct Model {
  int32_t state = 0;
  bool font = false;
  bool buffered = false;  // the engine holds a buffer pointer
  bool failnext = false;  // the next heap block will be refused
  std::map<int32_t, int32_t> versions;  // live strings since the last pass
  bool quiet = false;  // nothing has happened since the last refresh
  bool lastlink = false;  // the indicator was drawn in the last refresh
};

struct Buffer {
  int32_t width = 0, height = 0, pitch = 0;
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> before;  // contents when last checked
};

Model model;
std::unique_ptr<Buffer> registered;  // what the engine may write to
std::vector<uint8_t> bigbill;         // one byte past the playbill limit
std::vector<uint8_t> pixels(kFrameBufferBytes);  // the picture before a refresh

void CheckState(const char* after) {
  Expect(status.enginestate == model.state, after, status.enginestate, model.state);
  Expect(status.fontloaded == (model.font ? 1 : 0), after, status.fontloaded, model.font);
  Expect((status.buffer != nullptr) == model.buffered, after, status.buffer != nullptr,
         model.buffered);
}

// Only the first min(width, fbwidth) bytes of the first min(height, fbheight)
// rows may change, and only while playing.
void CheckBuffer(bool mayWrite) {
  if (!registered) return;
  Buffer& b = *registered;
  const int64_t rows = b.height < 0 ? 0 : std::min<int64_t>(b.height, framebuffer.fbheight);
  const int64_t columns = b.width < 0 ? 0 : std::min<int64_t>(b.width, framebuffer.fbwidth);
  for (size_t i = 0; i < b.bytes.size(); ++i) {
    if (b.bytes[i] == b.before[i]) continue;
    const int64_t y = static_cast<int64_t>(i) / b.pitch;
    const int64_t x = static_cast<int64_t>(i) % b.pitch;
    Expect(mayWrite && y < rows && x < columns, "buffer written outside the picture", x, y);
    Expect(b.bytes[i] <= 7, "buffer holds a colour value", b.bytes[i], 7);
  }
  b.before = b.bytes;
}

const char* FontPath(int choice) {
  switch (choice) {
    case kFontNull: return nullptr;
    case kFontDejaVu: return LEDVIEW_FUZZ_FONT;
    case kFontCjk: return FileCanOpen(LEDVIEW_FUZZ_CJK_FONT) ? LEDVIEW_FUZZ_CJK_FONT : LEDVIEW_FUZZ_FONT;
    case kFontMissing: return "/nonexistent/ledview-fuzz.ttf";
    case kFontDirectory: return "/usr/share/fonts";
    case kFontNotFont: return fonts.notfont.c_str();
    case kFontTruncated: return fonts.truncated.c_str();
    default: return "";
  }
}

void DoInit(Reader& in) {
  const int32_t w = Pick(in, kSignSizes);
  const int32_t h = Pick(in, kSignSizes);
  const int32_t m = Pick(in, kModes);
  const int32_t r = InitLedConfigure(w, h, m);
  int32_t want = 0;
  if (model.state != 0) {
    want = -4;
  } else if (w < 1 || h < 1 || m < 1) {
    want = -1;
  } else if (model.failnext) {
    model.failnext = false;
    want = -1;
  } else {
    model.state = 1;
  }
  Expect(r == want, "InitLedConfigure", r, want);
}

void DoFont(Reader& in) {
  const int choice = in.U8() % kFontCount;
  const int32_t r = SetFontPathname(FontPath(choice));
  int32_t want = 0;
  if (model.state == 0 || model.state == 3) {
    want = -4;
  } else if (choice == kFontNull) {
    want = -1;
  } else if (choice == kFontMissing || choice == kFontDirectory || choice == kFontEmpty) {
    want = -3;
  } else if (choice == kFontNotFont || choice == kFontTruncated) {
    want = -1;
    model.font = false;
  } else {
    model.font = true;
    if (model.buffered) model.state = 2;
  }
  Expect(r == want, "SetFontPathname", r, want);
}

void DoBuffer(Reader& in) {
  auto b = std::make_unique<Buffer>();
  b->width = Pick(in, kBufferSizes);
  b->height = Pick(in, kBufferSizes);
  b->pitch = b->width + Pick(in, kPitchDeltas);
  const bool null = (in.U8() & 15) == 0;
  const size_t rows = b->height > 0 ? static_cast<size_t>(b->height) : 1;
  const size_t pitch = b->pitch > 0 ? static_cast<size_t>(b->pitch) : 1;
  b->bytes.assign(rows * pitch, kPad);
  b->before = b->bytes;
  const int32_t r = SetBmpBuffer(b->width, b->height, b->pitch, null ? nullptr : b->bytes.data());
  int32_t want = 0;
  if (model.state == 0 || model.state == 3) {
    want = -4;
  } else if (b->width == 0 || b->height == 0 || null || b->pitch < b->width) {
    want = -1;
  } else {
    model.buffered = true;
    registered = std::move(b);
    if (model.font) model.state = 2;
  }
  Expect(r == want, "SetBmpBuffer", r, want);
}

// A built-in playbill, passed whole, cut short, with trailing bytes, with a
// non-positive length, past the limit or as a null pointer.
struct BillCall {
  const NamedBill* bill;
  std::vector<uint8_t> bytes;
  const uint8_t* data;
  int32_t length;
  bool whole;
};

BillCall ChooseBill(Reader& in) {
  const auto& bills = FuzzBills();
  BillCall c{&bills[in.U8() % bills.size()], {}, nullptr, 0, false};
  c.bytes = c.bill->bytes;
  const int32_t n = static_cast<int32_t>(c.bytes.size());
  const uint8_t variant = in.U8();
  c.data = c.bytes.data();
  switch (variant % 8) {
    case 0: case 1: case 2: case 3:
      c.length = n;
      c.whole = true;
      break;
    case 4:
      c.length = static_cast<int32_t>(in.U16() % static_cast<uint32_t>(n));
      break;
    case 5:
      c.bytes.resize(c.bytes.size() + 1 + variant % 64, variant);
      c.data = c.bytes.data();
      c.length = static_cast<int32_t>(c.bytes.size());
      c.whole = true;
      break;
    case 6:
      c.length = variant & 8 ? 0 : -1 - (variant >> 4);
      break;
    default:
      if (variant & 8) {
        c.data = nullptr;
        c.length = n;
      } else {
        std::memcpy(bigbill.data(), c.bill->bytes.data(), c.bill->bytes.size());
        c.data = bigbill.data();
        c.length = kTooLong;
      }
      break;
  }
  return c;
}

// The validation code the bill must get on the current framebuffer.
void CheckValidation(const BillCall& c, int32_t code) {
  if (c.data == nullptr || c.length < 12 || c.length > 3145728) {
    Expect(code == -1, "TestPlayBillData of no playbill", code, -1);
    return;
  }
  if (!c.whole) {
    Expect(code != 0, "a cut playbill is rejected", code, 1);
    return;
  }
  if (c.bill->kind == BillKind::Invalid) {
    Expect(code > 0, "an invalid playbill is rejected", code, 1);
  } else if (c.bill->width > framebuffer.fbwidth || c.bill->height > framebuffer.fbheight) {
    Expect(code == 4, "areas outside the framebuffer", code, 4);
  } else {
    Expect(code == 0, "a valid playbill passes", code, 0);
  }
}

void DoPlayBill(Reader& in) {
  const BillCall c = ChooseBill(in);
  const int32_t test = TestPlayBillData(c.data, c.length);
  CheckValidation(c, test);
  const int32_t r = SetPlayBill(c.data, c.length);
  int32_t want = 0;
  if (model.state != 2) {
    want = -4;
  } else if (c.length > 3145728) {
    want = -1;
  } else if (test != 0) {
    want = -2;
  } else if (c.bill->kind == BillKind::Overflow) {
    want = -1;
  } else {
    model.state = 3;
    model.versions.clear();
  }
  Expect(r == want, "SetPlayBill", r, want);
}

void DoTest(Reader& in) {
  const BillCall c = ChooseBill(in);
  CheckValidation(c, TestPlayBillData(c.data, c.length));
}

void DoString(Reader& in) {
  const int32_t id = Pick(in, kStringIds);
  const int32_t length = Pick(in, kStringLengths);
  const bool null = (in.U8() & 15) == 0;
  // Exactly as many bytes as the length says, so that a longer read shows.
  std::vector<uint8_t> text(length > 0 ? static_cast<size_t>(length) : 1);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(' ' + (in.U8() % 95));
  const int32_t r = UpdateString(id, null ? nullptr : reinterpret_cast<const char*>(text.data()), length);
  if (model.state != 3 || null || length < 1 || id < 0) {
    Expect(r == -1, "UpdateString refused", r, -1);
    return;
  }
  auto seen = model.versions.find(id);
  if (seen != model.versions.end()) {
    Expect(r == seen->second + 1, "UpdateString raises the version", r, seen->second + 1);
  } else {
    Expect(r >= 1 || r == -1, "UpdateString version", r, 1);
  }
  if (r >= 1) model.versions[id] = r;
}

void DoEnd() {
  const bool clears = model.state == 3 && registered && registered->width > 0 && registered->height > 0;
  Expect(EndPreview() == 0, "EndPreview gives 0");
  if (model.state != 3) {
    CheckBuffer(false);
    return;
  }
  if (clears) {
    // The picture's rows are cleared; the row padding is the host's.
    const Buffer& b = *registered;
    for (size_t i = 0; i < b.bytes.size(); ++i) {
      const bool picture = static_cast<int64_t>(i % b.pitch) < b.width;
      Expect(b.bytes[i] == (picture ? 0 : b.before[i]), "EndPreview clears the picture", i,
             picture ? 0 : b.before[i]);
    }
  }
  model.state = 2;
  model.buffered = false;
  model.versions.clear();
  registered.reset();
}

void DoRelease() {
  Expect(ReleasePreview() == 0, "ReleasePreview gives 0");
  const bool failnext = model.failnext;  // the platform keeps it
  model = Model{};
  model.failnext = failnext;
  registered.reset();
}

// A refresh with nothing pending runs no step: the picture stays as it was,
// the link indicator included, and so does the output unless the indicator
// moved on.
void DoRefresh() {
  const bool quiet = model.state == 3 && model.quiet;
  if (quiet) std::memcpy(pixels.data(), framebuffer.pixels, pixels.size());
  const bool link = linkflag != 0;
  RefreshBuffer();
  if (quiet) {
    Expect(std::memcmp(pixels.data(), framebuffer.pixels, pixels.size()) == 0,
           "a refresh with nothing pending keeps the picture");
    if (!link && !model.lastlink && registered) {
      Expect(registered->bytes == registered->before, "a refresh with nothing pending keeps the output");
    }
  }
  CheckBuffer(model.state == 3);
  model.versions.clear();
  model.quiet = true;
  model.lastlink = link;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  static const char text[] = "This is not a font.\n";
  fonts.notfont = WriteTemp("ledview-fuzz-text", text, sizeof text - 1);
  std::vector<uint8_t> head(1024);
  if (FILE* f = std::fopen(LEDVIEW_FUZZ_FONT, "rb")) {
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
  }
  fonts.truncated = WriteTemp("ledview-fuzz-cut", head.data(), head.size());
  std::atexit([] {
    unlink(fonts.notfont.c_str());
    unlink(fonts.truncated.c_str());
  });
  bigbill.assign(kTooLong, 0);
  FuzzBills();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ClockSimulate(kClockStart);
  ReleasePreview();
  model = Model{};
  registered.reset();
  Reader in{data, size};
  for (int ops = 0; !in.Empty() && ops < 200; ++ops) {
    const uint8_t op = in.U8();
    switch (op % 15) {
      case 0: DoInit(in); break;
      case 1: DoFont(in); break;
      case 2: DoBuffer(in); break;
      case 3: DoPlayBill(in); break;
      case 4: DoTest(in); break;
      case 5: DoString(in); break;
      case 6: DoRefresh(); break;
      case 7:
        for (uint32_t i = 0, n = 1 + in.U8() % 64; i < n; ++i) NotifyActtion();
        break;
      case 8:
        ClockAdvance(1);
        NotifySecond();
        break;
      case 9: DoEnd(); break;
      case 10: ShowLink(); break;
      case 11: HideLink(); break;
      case 12: DoRelease(); break;
      case 13:
        HeapBlockFailNext();
        model.failnext = true;
        break;
      default:
        // The configuration offers the indicator; no exported call can.
        if (ptrledconfig != nullptr) ptrledconfig->linkshow = in.U8() & 1;
        break;
    }
    // Calls that leave the pending work alone keep a refresh quiet.
    const uint8_t kind = op % 15;
    if (kind != 4 && kind != 6 && kind != 10 && kind != 11 && kind != 14) model.quiet = false;
    CheckState("engine state");
  }
  DoRelease();
  // A refusal still pending must not reach the next input.
  if (model.failnext) {
    Expect(InitLedConfigure(1, 1, 1) == -1, "refused heap block");
    model.failnext = false;
  }
  ReleasePreview();
  return 0;
}
