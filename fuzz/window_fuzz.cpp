// Window target: the window family on SDL's offscreen driver, in any order
// and mixed with the engine family, on windows the host creates and destroys
// as it goes. The target models what each call must return and aborts when a
// code departs from it, when the engine keeps a pixel array the wrapper has
// freed, when the array holds something other than colour values, or when a
// paint lands outside the inset rectangle or shows a colour the array does
// not hold. Leaks and stray accesses are the sanitizers' to find.
//
// Input: a sequence of operations, each an opcode byte and its argument bytes.
#include <SDL.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "api/engine.h"
#include "api/preview.h"
#include "bills.h"
#include "common.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "platform/platform.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

constexpr int64_t kClockStart = 1700000000;
constexpr uint32_t kMarker = 0x336699;  // what the window shows where nothing was painted

const int32_t kSignSizes[] = {-1, 0, 1, 2, 7, 8, 16, 33, 64, 100, 200, 513, 70000};
const int32_t kModes[] = {0, 1, 2, 3, 4, 5, 6, -1};
const int32_t kWindowSizes[] = {1, 19, 20, 21, 40, 64, 100, 150, 320};

enum WindowChoice { kLive, kNull, kAllOnes, kForeign, kWindowChoices };
enum FontChoice { kFontDejaVu, kFontNull, kFontMissing, kFontNotFont, kFontChoices };

template <typename T, size_t N>
T Pick(Reader& in, const T (&table)[N]) {
  return table[in.U8() % N];
}

struct Model {
  SDL_Window* window = nullptr;  // the host's window, or none
  bool initialised = false;      // the window family holds an engine it set up
  SDL_Window* painted = nullptr; // the window the wrapper paints into
  int32_t failcountdown = -1;    // heap blocks that succeed before one is refused
};

Model model;
// Big enough that SDL's check of a window's magic reads inside it.
alignas(16) uint8_t foreign[4096];
std::string notfont;

const char* FontPath(int choice) {
  switch (choice) {
    case kFontDejaVu: return LEDVIEW_FUZZ_FONT;
    case kFontNull: return nullptr;
    case kFontMissing: return "/nonexistent/ledview-fuzz.ttf";
    default: return notfont.c_str();
  }
}

uint32_t Rgb(SDL_Surface* s, uint32_t rgb) {
  return SDL_MapRGB(s->format, static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                    static_cast<uint8_t>(rgb));
}

uint32_t PixelAt(SDL_Surface* s, int x, int y) {
  uint32_t v = 0;
  std::memcpy(&v, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4, 4);
  return v;
}

void NewWindow(Reader& in) {
  const int w = Pick(in, kWindowSizes);
  const int h = Pick(in, kWindowSizes);
  model.window = SDL_CreateWindow("ledview fuzz", 0, 0, w, h, SDL_WINDOW_HIDDEN);
  if (model.window == nullptr) return;
  SDL_Surface* s = SDL_GetWindowSurface(model.window);
  Expect(s != nullptr && s->format->BytesPerPixel == 4, "a 32-bit window surface");
  SDL_FillRect(s, nullptr, Rgb(s, kMarker));
}

// The host destroys its window, whether or not the wrapper still paints it.
void DestroyWindow() {
  if (model.window == nullptr) return;
  SDL_DestroyWindow(model.window);
  if (model.painted == model.window) model.painted = nullptr;
  model.window = nullptr;
}

// Consumes one heap block from the model's countdown: false when it is refused.
bool HeapBlockGranted() {
  if (model.failcountdown < 0) return true;
  if (model.failcountdown-- == 0) return false;
  return true;
}

void CheckPixelArray() {
  if (preview.pixels == nullptr) {
    Expect(preview.bitmap == nullptr, "a bitmap without its pixel array");
    return;
  }
  Expect(preview.bitmap != nullptr, "a pixel array without its bitmap");
  const size_t bytes = static_cast<size_t>(preview.pitch) * static_cast<size_t>(preview.signheight);
  for (size_t i = 0; i < bytes; ++i) {
    Expect(preview.pixels[i] <= 7, "the pixel array holds colour values", preview.pixels[i], 7);
  }
}

void DoInit(Reader& in) {
  const int windowchoice = in.U8() % kWindowChoices;
  const int32_t width = Pick(in, kSignSizes);
  const int32_t height = Pick(in, kSignSizes);
  const int32_t mode = Pick(in, kModes);
  const int fontchoice = in.U8() % kFontChoices;
  void* window = nullptr;
  switch (windowchoice) {
    case kLive: window = model.window; break;
    case kAllOnes: window = reinterpret_cast<void*>(UINTPTR_MAX); break;
    case kForeign: window = foreign; break;
    default: break;
  }
  const int32_t enginestate = status.enginestate;
  const int32_t r = LEDPreview_InitLedConfigure(window, width, height, mode, FontPath(fontchoice));

  if (window == nullptr || windowchoice != kLive || fontchoice == kFontNull || width < 1 ||
      height < 1 || mode < 1 || mode > 5) {
    Expect(r == -1, "LEDPreview_InitLedConfigure refuses its arguments", r, -1);
    Expect(status.enginestate == enginestate, "a refused call leaves the engine");
    return;
  }
  if (enginestate != kStateNone) {
    Expect(r == -4, "LEDPreview_InitLedConfigure on a set-up engine", r, -4);
    return;
  }
  int32_t want = 0;
  if (!HeapBlockGranted()) {
    want = -1;
  } else if (fontchoice == kFontMissing) {
    want = -3;
  } else if (fontchoice == kFontNotFont) {
    want = -1;
  } else {
    // The array is allocated unless it would pass 2 GB; SDL takes sides up
    // to 65535.
    const int64_t pitch = (static_cast<int64_t>(width) + 3) / 4 * 4;
    const bool granted = pitch * height <= kPreviewMaxBitmapBytes && HeapBlockGranted();
    if (!granted || width > 0xFFFF || height > 0xFFFF) want = -2;
  }
  Expect(r == want, "LEDPreview_InitLedConfigure", r, want);
  model.initialised = false;
  model.painted = nullptr;
  if (want == 0) {
    model.initialised = true;
    model.painted = model.window;
    Expect(status.enginestate == kStateReady && status.buffer == preview.pixels,
           "the pixel array is the engine's buffer");
  } else if (want == -2) {
    Expect(status.enginestate == kStateConfigured && preview.pixels == nullptr,
           "a bitmap failure leaves the engine configured and no array");
  } else {
    Expect(status.enginestate == kStateNone && preview.pixels == nullptr && preview.windowid == 0,
           "a failed set-up leaves nothing");
  }
}

void DoPlayBill(Reader& in) {
  const auto& bills = FuzzBills();
  const NamedBill& bill = bills[in.U8() % bills.size()];
  const uint8_t variant = in.U8();
  std::vector<uint8_t> bytes = bill.bytes;
  int32_t length = static_cast<int32_t>(bytes.size());
  const uint8_t* data = bytes.data();
  bool whole = true;
  switch (variant % 4) {
    case 1:
      length = static_cast<int32_t>(in.U16() % static_cast<uint32_t>(length));
      whole = false;
      break;
    case 2:
      data = variant & 4 ? nullptr : data;
      length = variant & 4 ? length : -(variant >> 3);
      break;
    default: break;
  }
  const int32_t enginestate = status.enginestate;
  const uint8_t* pixels = preview.pixels;
  const int32_t r = LEDPreview_SetPlayBill(data, length);
  if (data == nullptr || length < 1) {
    Expect(r == -1, "LEDPreview_SetPlayBill refuses no playbill", r, -1);
    Expect(status.enginestate == enginestate && preview.pixels == pixels, "and changes nothing");
    return;
  }
  const bool loads = enginestate == kStateReady && whole && bill.kind == BillKind::Loads &&
                     bill.width <= framebuffer.fbwidth && bill.height <= framebuffer.fbheight;
  Expect(r == (loads ? 0 : -3), "LEDPreview_SetPlayBill", r, loads ? 0 : -3);
  if (r == 0) return;
  Expect(preview.pixels == nullptr && preview.bitmap == nullptr, "a refused playbill frees the array");
  Expect(pixels == nullptr || status.buffer != pixels, "the engine forgets the freed array");
  Expect(status.enginestate != kStatePlaying, "a refused playbill stops play");
}

// The host window's pixels, to tell whether a tick painted.
std::vector<uint8_t> Snapshot() {
  SDL_Surface* s = model.window != nullptr ? SDL_GetWindowSurface(model.window) : nullptr;
  if (s == nullptr) return {};
  const auto* p = static_cast<const uint8_t*>(s->pixels);
  return std::vector<uint8_t>(p, p + static_cast<size_t>(s->pitch) * s->h);
}

// After a tick: the wrapper painted the array into its window's inset
// rectangle and nowhere else, or left the window as it was.
void CheckPaint(const std::vector<uint8_t>& before) {
  CheckPixelArray();
  if (model.window == nullptr) return;
  SDL_Surface* s = SDL_GetWindowSurface(model.window);
  if (s == nullptr) return;
  const bool paints = model.painted == model.window && preview.bitmap != nullptr;
  if (!paints) {
    Expect(Snapshot() == before, "a window the wrapper does not paint is left alone");
    return;
  }
  const uint32_t marker = Rgb(s, kMarker);
  const WindowRect r = preview.destrect;
  const bool inset = r.right > r.left && r.bottom > r.top;
  uint32_t colours[8];
  for (uint32_t i = 0; i < 8; ++i) {
    colours[i] = Rgb(s, (PreviewPalette[i].red << 16) | (PreviewPalette[i].green << 8) |
                            PreviewPalette[i].blue);
  }
  for (int y = 0; y < s->h; ++y) {
    for (int x = 0; x < s->w; ++x) {
      const uint32_t v = PixelAt(s, x, y);
      const bool in = inset && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      if (!in) {
        Expect(v == marker, "nothing is painted outside the inset rectangle", x, y);
        continue;
      }
      bool known = false;
      for (uint32_t c : colours) known = known || v == c;
      Expect(known, "the window shows a palette colour", x, y);
    }
  }
  // Stretching up keeps the corner LEDs at the corners.
  if (!inset || r.right > s->w || r.bottom > s->h) return;
  const int32_t w = preview.signwidth;
  const int32_t h = preview.signheight;
  if (r.right - r.left < w || r.bottom - r.top < h) return;
  const uint8_t* p = preview.pixels;
  Expect(PixelAt(s, r.left, r.top) == colours[p[0]], "the top-left LED", p[0]);
  const uint8_t last = p[static_cast<size_t>(h - 1) * preview.pitch + (w - 1)];
  Expect(PixelAt(s, r.right - 1, r.bottom - 1) == colours[last], "the bottom-right LED", last);
}

void DoEnd() {
  const bool playing = status.enginestate == kStatePlaying;
  Expect(LEDPreview_EndPreview() == 0, "LEDPreview_EndPreview gives 0");
  if (!playing) return;
  Expect(status.enginestate == kStateReady && status.buffer == nullptr,
         "the engine stops and forgets the array");
  if (preview.pixels == nullptr) return;
  const size_t bytes = static_cast<size_t>(preview.pitch) * static_cast<size_t>(preview.signheight);
  for (size_t i = 0; i < bytes; ++i) Expect(preview.pixels[i] == 0, "the array is cleared", i);
}

void DoRelease() {
  Expect(LEDPreview_ReleasePreview() == 0, "LEDPreview_ReleasePreview gives 0");
  Expect(status.enginestate == kStateNone && preview.pixels == nullptr && preview.windowid == 0,
         "a release leaves nothing");
  model.initialised = false;
  model.painted = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
    std::abort();
  }
  static const char text[] = "This is not a font.\n";
  notfont = WriteTemp("ledview-fuzz-text", text, sizeof text - 1);
  std::atexit([] { unlink(notfont.c_str()); });
  FuzzBills();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ClockSimulate(kClockStart);
  model = Model{};
  Reader in{data, size};
  NewWindow(in);
  for (int ops = 0; !in.Empty() && ops < 100; ++ops) {
    switch (in.U8() % 12) {
      case 0: DoInit(in); break;
      case 1: DoPlayBill(in); break;
      case 2: {
        const std::vector<uint8_t> before = Snapshot();
        for (uint32_t i = 0, n = 1 + in.U8() % 16; i < n; ++i) LEDPreview_NotifyActtion();
        CheckPaint(before);
        break;
      }
      case 3: {
        const std::vector<uint8_t> before = Snapshot();
        ClockAdvance(1);
        LEDPreview_NotifySecond();
        CheckPaint(before);
        break;
      }
      case 4: DoEnd(); break;
      case 5: DoRelease(); break;
      case 6: DestroyWindow(); break;
      case 7:
        DestroyWindow();
        NewWindow(in);
        break;
      case 8:
        // The engine family releases the engine under the wrapper.
        Expect(ReleasePreview() == 0, "ReleasePreview gives 0");
        break;
      case 9: Expect(EndPreview() == 0, "EndPreview gives 0"); break;
      case 10:
        model.failcountdown = in.U8() % 3;
        HeapBlockFailAfter(static_cast<uint32_t>(model.failcountdown));
        break;
      default:
        // The host repaints its window between ticks.
        if (model.window != nullptr) {
          SDL_Surface* s = SDL_GetWindowSurface(model.window);
          if (s != nullptr) SDL_FillRect(s, nullptr, Rgb(s, kMarker));
        }
        break;
    }
  }
  DoRelease();
  DestroyWindow();
  HeapBlockFailAfter(UINT32_MAX);
  return 0;
}
