#include "api/engine.h"

#include <cstring>

#include "content/fontface.h"
#include "content/glyph.h"
#include "content/strings.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/scanenv.h"
#include "ledview.h"
#include "memory/arena.h"
#include "memory/lock.h"
#include "platform/platform.h"
#include "playbill/player.h"

namespace ledview {

StatusBlock status;
alignas(16) uint8_t playbillstore[kPlayBillStoreBytes];
int32_t linkflag = 0;
uint32_t actionlimit = 8;

namespace {

bool HostBufferUsable() {
  return status.buffer != nullptr && status.bufwidth > 0 && status.bufheight > 0;
}

}  // namespace

}  // namespace ledview

using namespace ledview;

extern "C" {

int32_t InitLedConfigure(int32_t width, int32_t height, int32_t colourmode) {
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
  actionlimit = ledconfig.tickdiv * 8 + 8;

  SetupPlayerPools();
  Init2DEnv();
  SetLedEnv();
  InitStringTable();
  playlock = LockCreate(kLockKindPlay);
  status.enginestate = kStateConfigured;
  return 0;
}

int32_t SetFontPathname(const char* path) {
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

int32_t SetBmpBuffer(int32_t width, int32_t height, int32_t pitch, uint8_t* buffer) {
  if (status.enginestate == kStateNone || status.enginestate == kStatePlaying) return -4;
  if (width == 0 || height == 0 || buffer == nullptr || pitch < width) return -1;
  status.bufwidth = width;
  status.bufheight = height;
  status.bufpitch = pitch;
  status.buffer = buffer;
  if (status.fontloaded == 1) status.enginestate = kStateReady;
  return 0;
}

int32_t EndPreview(void) {
  if (status.enginestate != kStatePlaying) return 0;
  ClearFrameBuffer();
  std::memset(playbillstore, 0, sizeof playbillstore);
  // A negative size registers a buffer that is never written.
  if (HostBufferUsable()) {
    std::memset(status.buffer, 0,
                static_cast<size_t>(status.bufwidth) * static_cast<size_t>(status.bufheight));
  }
  status.bufwidth = 0;
  status.bufheight = 0;
  status.bufpitch = 0;
  status.buffer = nullptr;
  status.enginestate = kStateReady;
  return 0;
}

void ShowLink(void) { linkflag = ptrledconfig != nullptr && ptrledconfig->linkshow != 0 ? 1 : 0; }

void HideLink(void) { linkflag = 0; }

int32_t ReleasePreview(void) {
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
