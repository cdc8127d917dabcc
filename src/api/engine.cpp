#include "api/engine.h"

#include <cstring>

#include "content/fontface.h"
#include "content/glyph.h"
#include "content/strings.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/scanenv.h"
#include "ledview.h"
#include "memory/arena.h"
#include "memory/lock.h"
#include "platform/platform.h"
#include "playbill/loader.h"
#include "playbill/player.h"
#include "playbill/scheduler.h"
#include "playbill/validate.h"

namespace ledview {

StatusBlock status;
alignas(16) uint8_t playbillstore[kPlayBillStoreBytes];

namespace {

bool HostBufferUsable() {
  return status.buffer != nullptr && status.bufwidth > 0 && status.bufheight > 0;
}

}  // namespace

void ForgetBmpBuffer(const uint8_t* buffer) {
  if (buffer == nullptr || status.buffer != buffer || status.enginestate == kStatePlaying) return;
  status.bufwidth = 0;
  status.bufheight = 0;
  status.bufpitch = 0;
  status.buffer = nullptr;
  if (status.enginestate == kStateReady) status.enginestate = kStateConfigured;
}

}  // namespace ledview

using namespace ledview;

extern "C" {

int32_t LEDVIEW_CALL InitLedConfigure(int32_t width, int32_t height, int32_t colourmode) {
  ptrledconfig = &ledconfig;
  if (status.enginestate != kStateNone) return -4;
  if (width < 1 || height < 1 || colourmode < 1) return -1;
  if (colourmode > 3) colourmode = 4;
  if (colourmode == 4 && height > 128) height = 128;
  if (colourmode == 2 && height > 512) height = 512;
  // The record holds 16-bit sizes; anything wider than the framebuffer is
  // clamped by Init2DEnv, so saturate rather than wrap.
  const uint16_t w16 = static_cast<uint16_t>(width > 0xFFFF ? 0xFFFF : width);
  const uint16_t h16 = static_cast<uint16_t>(height > 0xFFFF ? 0xFFFF : height);
  FillLedConfigDefaults(w16, h16, static_cast<uint8_t>(colourmode));

  auto* block = static_cast<uint8_t*>(HeapBlockAlloc(kArenaBlockSize));
  if (block == nullptr) return -1;
  status.arenablock = block;
  ArenaInit(block, kArenaBlockSize);
  actionlimit = static_cast<int32_t>(ledconfig.tickdiv * 8 + 8);

  SetupPlayerPools();
  BindPlayServices();
  glyphsource = GetGlyph;
  Init2DEnv();
  SetLedEnv();
  InitStringTable();
  playlock = LockCreate(kLockKindPlay);
  status.enginestate = kStateConfigured;
  return 0;
}

int32_t LEDVIEW_CALL SetFontPathname(const char* path) {
  if (status.enginestate == kStateNone || status.enginestate == kStatePlaying) return -4;
  if (path == nullptr) return -1;
  if (!FileCanOpen(path)) {
    ShowErrorMessage("Create file failure!");
    return -3;
  }
  if (status.fontloaded) {
    ReleaseFontFace();
    status.fontloaded = 0;
  }
  if (LoadFontFace(path) != 0) {
    status.fontloaded = 0;
    return -1;
  }
  status.fontloaded = 1;
  if (status.buffer != nullptr) status.enginestate = kStateReady;
  return 0;
}

int32_t LEDVIEW_CALL SetBmpBuffer(int32_t width, int32_t height, int32_t pitch,
                                  uint8_t* buffer) {
  if (status.enginestate == kStateNone || status.enginestate == kStatePlaying) return -4;
  if (width == 0 || height == 0 || buffer == nullptr || pitch < width) return -1;
  status.bufwidth = width;
  status.bufheight = height;
  status.bufpitch = pitch;
  status.buffer = buffer;
  if (status.fontloaded == 1) status.enginestate = kStateReady;
  return 0;
}

int32_t LEDVIEW_CALL SetPlayBill(const uint8_t* data, int32_t length) {
  if (status.enginestate != kStateReady) return -4;
  if (length > static_cast<int32_t>(kPlayBillStoreBytes)) return -1;
  if (ValidatePlayBill(data, length) != 0) return -2;
  std::memcpy(playbillstore, data, static_cast<size_t>(length));
  if (LoadBill(playbillstore) != 0) {
    std::memset(playbillstore, 0, sizeof playbillstore);
    return -1;
  }
  status.enginestate = kStatePlaying;
  ClearFrameBuffer();
  return 0;
}

int32_t LEDVIEW_CALL TestPlayBillData(const uint8_t* data, int32_t length) {
  return ValidatePlayBill(data, length);
}

int32_t LEDVIEW_CALL UpdateString(int32_t id, const char* text, int32_t length) {
  if (status.enginestate != kStatePlaying) return -1;
  return PutString(static_cast<uint32_t>(id), reinterpret_cast<const uint8_t*>(text), length);
}

void LEDVIEW_CALL RefreshBuffer(void) {
  if (status.enginestate != kStatePlaying) return;
  const int32_t fbheight = static_cast<int32_t>(framebuffer.fbheight);
  const int32_t fbwidth = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t rows = status.bufheight < fbheight ? status.bufheight : fbheight;
  const int32_t columns = status.bufwidth < fbwidth ? status.bufwidth : fbwidth;
  refreshflags = TakeRefreshFlags();
  if (refreshflags != 0) PlayStep();
  if (linkflag) DrawLinkIndicator();
  // A buffer registered with a negative size gives no rows or no columns.
  CopyOut(status.buffer, status.bufpitch, rows, columns);
  if (linkflag) RemoveLinkIndicator();
}

void LEDVIEW_CALL NotifyActtion(void) {
  if (status.enginestate == kStatePlaying) OnActionTick();
}

void LEDVIEW_CALL NotifySecond(void) {
  if (status.enginestate == kStatePlaying) OnSecondTick();
}

int32_t LEDVIEW_CALL EndPreview(void) {
  if (status.enginestate != kStatePlaying) return 0;
  StopPlay();
  ClearFrameBuffer();
  std::memset(playbillstore, 0, sizeof playbillstore);
  // Row by row: clearing width x height bytes in one run would leave the end
  // of the picture lit and zero the host's row padding when pitch > width.
  // A negative size registers a buffer that is never written.
  if (HostBufferUsable()) {
    for (int32_t y = 0; y < status.bufheight; ++y) {
      std::memset(status.buffer + static_cast<size_t>(y) * static_cast<size_t>(status.bufpitch), 0,
                  static_cast<size_t>(status.bufwidth));
    }
  }
  status.bufwidth = 0;
  status.bufheight = 0;
  status.bufpitch = 0;
  status.buffer = nullptr;
  status.enginestate = kStateReady;
  return 0;
}

void LEDVIEW_CALL ShowLink(void) {
  linkflag = ptrledconfig != nullptr && ptrledconfig->linkshow != 0 ? 1 : 0;
}

void LEDVIEW_CALL HideLink(void) { linkflag = 0; }

int32_t LEDVIEW_CALL ReleasePreview(void) {
  EndPreview();
  if (status.enginestate == kStateConfigured) ReleasePlayer();
  ReleaseFontFace();
  // The glyph cell's rows live in the arena that is about to go.
  ReleaseGlyph();
  if (status.arenablock != nullptr) HeapBlockFree(status.arenablock);
  std::memset(&main_arena, 0, sizeof main_arena);
  LockReleaseAll();
  stringlock = nullptr;
  playlock = nullptr;
  std::memset(&ledconfig, 0, sizeof ledconfig);
  std::memset(playbillstore, 0, sizeof playbillstore);
  status = StatusBlock{};
  // The indicator belongs to this engine's life; a new one starts without it.
  linkflag = 0;
  return 0;
}

}  // extern "C"
