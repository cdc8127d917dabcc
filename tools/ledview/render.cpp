#include "ledview/render.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "ledview.h"
#include "ledview/files.h"
#include "ledview/picture.h"
#include "ledview_internal.h"

namespace ledview::tool {

namespace {

constexpr int32_t kUnlit = 8;
constexpr int32_t kPaletteSize = 16;

}  // namespace

uint32_t PaletteRgb(uint8_t index) {
  if (index == kUnlit) return 0x2A2A2A;
  if (index >= 1 && index <= 7) return LedRgb(index);
  return 0x000000;
}

uint8_t SignColour(uint8_t value, int32_t mode) {
  if (mode == 1) return (value & 7) != 0 ? 1 : 0;
  return static_cast<uint8_t>(value & (mode == 2 ? 3 : 7));
}

std::vector<uint8_t> SignLeds(const std::vector<uint8_t>& leds, int32_t mode) {
  std::vector<uint8_t> shown(leds.size());
  for (size_t i = 0; i < leds.size(); ++i) shown[i] = SignColour(leds[i], mode);
  return shown;
}

Canvas Paint(const std::vector<uint8_t>& leds, int32_t width, int32_t height, int32_t mode,
             int32_t scale, Look look) {
  Canvas c;
  c.width = width * scale;
  c.height = height * scale;
  c.index.assign(static_cast<size_t>(c.width) * c.height, 0);
  // One cell's dot: a disc a little smaller than the cell, or the whole cell.
  std::vector<uint8_t> dot(static_cast<size_t>(scale) * scale, 1);
  if (look == Look::Led && scale >= 3) {
    const double centre = (scale - 1) / 2.0;
    const double radius = scale * kLedDotRadius;
    for (int32_t y = 0; y < scale; ++y) {
      for (int32_t x = 0; x < scale; ++x) {
        const double dx = x - centre;
        const double dy = y - centre;
        dot[static_cast<size_t>(y) * scale + x] = dx * dx + dy * dy <= radius * radius ? 1 : 0;
      }
    }
  }
  for (int32_t ly = 0; ly < height; ++ly) {
    for (int32_t lx = 0; lx < width; ++lx) {
      const uint8_t v = SignColour(leds[static_cast<size_t>(ly) * width + lx], mode);
      const uint8_t colour = v != 0 ? v : (look == Look::Led ? kUnlit : 0);
      if (colour == 0) continue;
      for (int32_t y = 0; y < scale; ++y) {
        uint8_t* row = c.index.data() + static_cast<size_t>(ly * scale + y) * c.width + lx * scale;
        for (int32_t x = 0; x < scale; ++x) {
          if (dot[static_cast<size_t>(y) * scale + x]) row[x] = colour;
        }
      }
    }
  }
  return c;
}

std::vector<uint8_t> CanvasPng(const Canvas& c) {
  std::vector<uint8_t> rgb(c.index.size() * 3);
  for (size_t i = 0; i < c.index.size(); ++i) {
    const uint32_t v = PaletteRgb(c.index[i]);
    rgb[i * 3] = static_cast<uint8_t>(v >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(v >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(v);
  }
  return RgbToPng(c.width, c.height, rgb);
}

int32_t FrameClockNext(FrameClock* clock, int64_t ms) {
  if (!clock->pending) {
    clock->pending = true;
    clock->startms = 0;
    return 0;
  }
  const int64_t cs = (ms - clock->startms + 5) / 10;
  if (cs < 2) return 0;
  clock->startms += cs * 10;
  return static_cast<int32_t>(std::min<int64_t>(cs, 65535));
}

int32_t FrameClockEnd(const FrameClock* clock, int64_t ms) {
  const int64_t cs = (ms - clock->startms + 5) / 10;
  return static_cast<int32_t>(std::clamp<int64_t>(cs, 2, 65535));
}

namespace {

struct GifWriter {
  GifFileType* gif = nullptr;
  Canvas written;  // what the GIF shows so far
  bool failed = false;
  int syserror = 0;  // errno of the first failure
};

void GifFailed(GifWriter* w) {
  if (!w->failed) w->syserror = errno;
  w->failed = true;
}

std::string GifError(const std::string& path, const GifWriter& w) {
  return path + ": cannot write the GIF (" + SystemReason(w.syserror) + ")";
}

bool GifStart(GifWriter* w, const std::string& path, int32_t width, int32_t height) {
  int err = 0;
  errno = 0;
  w->gif = EGifOpenFileName(path.c_str(), false, &err);
  if (w->gif == nullptr) {
    GifFailed(w);
    return false;
  }
  GifColorType colours[kPaletteSize];
  for (int32_t i = 0; i < kPaletteSize; ++i) {
    const uint32_t v = PaletteRgb(static_cast<uint8_t>(i));
    colours[i] = {static_cast<GifByteType>(v >> 16), static_cast<GifByteType>(v >> 8),
                  static_cast<GifByteType>(v)};
  }
  ColorMapObject* map = GifMakeMapObject(kPaletteSize, colours);
  EGifSetGifVersion(w->gif, true);
  bool ok = map != nullptr && EGifPutScreenDesc(w->gif, width, height, 4, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loop for ever.
  static GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static GifByteType loop[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(w->gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(w->gif, sizeof app, app) == GIF_OK &&
       EGifPutExtensionBlock(w->gif, sizeof loop, loop) == GIF_OK &&
       EGifPutExtensionTrailer(w->gif) == GIF_OK;
  w->written.width = width;
  w->written.height = height;
  w->written.index.assign(static_cast<size_t>(width) * height, 0xFF);
  if (!ok) GifFailed(w);
  return ok;
}

// Writes only the rectangle that changed; the rest of the last frame stays.
void GifFrame(GifWriter* w, const Canvas& c, int32_t delaycs) {
  if (w->failed) return;
  int32_t x0 = c.width, y0 = c.height, x1 = -1, y1 = -1;
  for (int32_t y = 0; y < c.height; ++y) {
    const uint8_t* a = c.index.data() + static_cast<size_t>(y) * c.width;
    const uint8_t* b = w->written.index.data() + static_cast<size_t>(y) * c.width;
    for (int32_t x = 0; x < c.width; ++x) {
      if (a[x] != b[x]) {
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
    }
  }
  if (x1 < 0) x0 = y0 = x1 = y1 = 0;  // nothing changed: one pixel keeps the delay
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSE_DO_NOT;
  gcb.UserInputFlag = false;
  gcb.DelayTime = delaycs;
  gcb.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType ext[4];
  const size_t n = EGifGCBToExtension(&gcb, ext);
  bool ok = EGifPutExtension(w->gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) == GIF_OK &&
            EGifPutImageDesc(w->gif, x0, y0, x1 - x0 + 1, y1 - y0 + 1, false, nullptr) == GIF_OK;
  for (int32_t y = y0; ok && y <= y1; ++y) {
    GifByteType* row = const_cast<GifByteType*>(c.index.data()) + static_cast<size_t>(y) * c.width + x0;
    ok = EGifPutLine(w->gif, row, x1 - x0 + 1) == GIF_OK;
  }
  w->written.index = c.index;
  if (!ok) GifFailed(w);
}

bool GifFinish(GifWriter* w) {
  int err = 0;
  errno = 0;
  const bool closed = w->gif != nullptr && EGifCloseFile(w->gif, &err) == GIF_OK;
  w->gif = nullptr;
  if (!closed) GifFailed(w);
  return !w->failed;
}

bool CheckScale(const RenderOptions& o, std::string* error) {
  const int64_t w = int64_t{o.width} * o.scale;
  const int64_t h = int64_t{o.height} * o.scale;
  if (o.scale < 1 || o.scale > 64 || w > 65535 || h > 65535 || w * h > (64ll << 20)) {
    *error = "scale " + std::to_string(o.scale) + " is below 1 or makes a picture too large (" +
             std::to_string(w) + "x" + std::to_string(h) + ")";
    return false;
  }
  return true;
}

}  // namespace

bool RenderGif(const std::vector<uint8_t>& bill, const RenderOptions& o, const std::string& path,
               std::string* error) {
  if (!CheckScale(o, error)) return false;
  const std::string temp = TempPathFor(path);
  GifWriter w;
  if (!GifStart(&w, temp, o.width * o.scale, o.height * o.scale)) {
    GifFinish(&w);
    DiscardTemp(temp);
    *error = GifError(path, w);
    return false;
  }
  FrameClock clock;
  std::vector<uint8_t> pending;
  const bool played = PlayBill(bill, o, [&](int64_t ms, const std::vector<uint8_t>& leds) {
    const int32_t delay = FrameClockNext(&clock, ms);
    if (delay > 0) GifFrame(&w, Paint(pending, o.width, o.height, o.mode, o.scale, o.look), delay);
    pending = leds;
    if (w.failed) *error = GifError(path, w);
    return !w.failed;
  }, error);
  // A render shorter than a tick still shows the dark sign.
  if (played && pending.empty()) pending.assign(static_cast<size_t>(o.width) * o.height, 0);
  if (played) {
    GifFrame(&w, Paint(pending, o.width, o.height, o.mode, o.scale, o.look), FrameClockEnd(&clock, o.durationms));
  }
  const bool written = GifFinish(&w);
  if (!played || !written) {
    DiscardTemp(temp);
    if (played) *error = GifError(path, w);
    return false;
  }
  return CommitTemp(temp, path, error);
}

bool RenderPng(const std::vector<uint8_t>& bill, const RenderOptions& options, int64_t atms,
               const std::string& path, std::string* error) {
  if (!CheckScale(options, error)) return false;
  RenderOptions o = options;
  o.durationms = atms;
  std::vector<uint8_t> last(static_cast<size_t>(o.width) * o.height, 0);
  if (!PlayBill(bill, o, [&](int64_t, const std::vector<uint8_t>& leds) {
        last = leds;
        return true;
      }, error)) {
    return false;
  }
  const std::vector<uint8_t> png = CanvasPng(Paint(last, o.width, o.height, o.mode, o.scale, o.look));
  if (png.empty()) {
    *error = path + ": cannot make the PNG";
    return false;
  }
  return WriteFileAtomic(path, png, error);
}

bool RenderFrames(const std::vector<uint8_t>& bill, const RenderOptions& o, const std::string& folder,
                  std::string* error) {
  const std::string dir = FolderPath(folder);
  if (!CheckScale(o, error)) return false;
  std::string temp;
  if (!StartFolder(dir, &temp, error)) return false;
  // Every name as long as the last one's, so that names sort in time order.
  const int32_t digits = std::max(6, static_cast<int32_t>(std::to_string(o.durationms).size()));
  const bool played = PlayBill(bill, o, [&](int64_t ms, const std::vector<uint8_t>& leds) {
    char name[48];
    std::snprintf(name, sizeof name, "%0*lldms.png", digits, static_cast<long long>(ms));
    const std::vector<uint8_t> png = CanvasPng(Paint(leds, o.width, o.height, o.mode, o.scale, o.look));
    errno = 0;
    std::FILE* f = std::fopen(JoinPath(temp, name).c_str(), "wb");
    bool ok = f != nullptr && !png.empty() && std::fwrite(png.data(), 1, png.size(), f) == png.size();
    const int writeerror = errno;
    ok = f != nullptr && std::fclose(f) == 0 && ok;
    if (!ok) *error = dir + ": cannot write " + name + " (" + SystemReason(writeerror != 0 ? writeerror : errno) + ")";
    return ok;
  }, error);
  if (!played) {
    DiscardTemp(temp);
    return false;
  }
  return CommitFolder(temp, dir, error);
}

}  // namespace ledview::tool
