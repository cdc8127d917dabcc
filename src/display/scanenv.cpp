#include "display/scanenv.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "display/framebuffer.h"
#include "display/ledconfig.h"

namespace ledview {

ScanEnv scanenv;
ScanRoutine scanroutine = nullptr;

namespace {

// The preview draws from the framebuffer alone; a controller build would
// feed the DMA area here.
void ScanA1() {}
void ScanA2() {}
void ScanA3() {}
void ScanB1() {}
void ScanB2() {}
void ScanB3() {}

constexpr uint32_t kOeDelay1[8] = {40, 80, 120, 160, 200, 400, 800, 1600};
constexpr uint32_t kOeDelay2[8] = {60, 120, 180, 240, 300, 500, 1000, 2000};
constexpr uint32_t kPixelClock[5] = {0x1041280, 0x1051380, 0x1062480, 0x1074680, 0x10C6780};

uint32_t PhysicalAddress(const uint8_t* p) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)) & 0x1FFFFFFFu;
}

void Report(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

}  // namespace

const ScanRoutine ScanRoutines[6] = {ScanA1, ScanA2, ScanA3, ScanB1, ScanB2, ScanB3};

void SetLedEnv() {
  LedConfig& cfg = ledconfig;
  ScanEnv& env = scanenv;
  char line[256];
  const uint32_t width = cfg.width;
  const uint32_t height = cfg.height;
  const uint32_t sigheight = cfg.sigheight;
  // The table holds 512 entries; a count outside 1..512 would read past it.
  const uint32_t freqcount = std::clamp<uint32_t>(cfg.freqcount, 1, 512);

  // Scan line width; a scanmode of 0 divides as 16, which it becomes below.
  const uint32_t divisor = cfg.scanmode != 0 ? cfg.scanmode : 16;
  env.scanwidth = (width * (sigheight / divisor) + 7) & ~7u;
  env.dmawidth = (env.scanwidth + 7) >> 3;
  env.gdowndatanum = 0;

  // Row groups per data port: two-colour rows pair up, and the ports beyond
  // the limit go to the lower data group.
  const uint32_t groupheight = cfg.depth == 1 ? 2 * sigheight : sigheight;
  env.gupdatanum = groupheight != 0 && height > 0 ? (height - 1) / groupheight + 1 : 1;
  const uint32_t portlimit = cfg.depth == 4 ? 8 : 16;
  if (env.gupdatanum > portlimit) {
    env.gdowndatanum = env.gupdatanum - portlimit;
    env.gupdatanum = portlimit;
  }
  env.scanshift = cfg.depth == 4 ? 2 : 1;

  // Only 1, 2, 4 and 8 are scan modes of their own; anything else scans as 16.
  switch (cfg.scanmode) {
    case 1: env.scanmask = 0; break;
    case 2: env.scanmask = 1; break;
    case 4: env.scanmask = 3; break;
    case 8: env.scanmask = 7; break;
    default:
      env.scanmask = 15;
      cfg.scanmode = 16;
      break;
  }
  const uint32_t scanmode = cfg.scanmode;
  env.scanpitch = (env.gdowndatanum != 0 ? 65536u : 131072u) / scanmode;
  std::snprintf(line, sizeof line,
                "SetLedEnv: dmawidth = %" PRIu32 " tmpscanmode = %" PRIu32 " gsigheight = %" PRIu32
                "  gupdatanum = %" PRIu32 " gdowndatanum = %" PRIu32 " scanwidth = %" PRIu32
                " scanpitch = %" PRIu32 "\n",
                env.dmawidth, scanmode, sigheight, env.gupdatanum, env.gdowndatanum, env.scanwidth,
                env.scanpitch);
  Report(line);

  // Row pointers, wrapped into the pixel area.
  const uint8_t* pixelend = framebuffer.pixels + kFrameBufferBytes;
  for (uint32_t i = 0; i < 16; ++i) {
    const uint64_t offset = static_cast<uint64_t>(i) * framebuffer.curfbpitch;
    uint8_t* row = framebuffer.pixels + (offset < kFrameBufferBytes ? offset : 0);
    env.rowptr[i] = row < pixelend ? row : framebuffer.pixels;
  }
  env.interval = sigheight * framebuffer.curfbpitch;

  // Provisional column count, reported before the table is checked.
  const FreqEntry* ft = cfg.freqtable;
  env.gfreqwidth = std::max<uint32_t>(ft[0].column, ft[freqcount - 1].column) + 1;
  std::snprintf(line, sizeof line, "gfreqwidth = %" PRIu32 " interval = %" PRIu32 " scanshift = %" PRIu32 "\n",
                env.gfreqwidth,
                env.interval, env.scanshift);
  Report(line);

  // DMA address tables, as physical addresses.
  const uint32_t stride = env.scanpitch * 4;
  const uint32_t limit = PhysicalAddress(env.dma + sizeof env.dma);
  for (int half = 0; half < 2; ++half) {
    env.dmaupper[half][0] = PhysicalAddress(env.dma + half * kDmaHalfBytes);
    env.dmalower[half][0] = env.dmaupper[half][0] + stride * scanmode;
  }
  for (uint32_t i = 1; i < scanmode; ++i) {
    for (int half = 0; half < 2; ++half) {
      uint32_t upper = env.dmaupper[half][i - 1] + stride;
      if (upper >= limit) upper = env.dmaupper[0][0];
      env.dmaupper[half][i] = upper;
      uint32_t lower = env.dmalower[half][i - 1] + stride;
      if (lower >= limit) lower = env.dmalower[1][0];
      env.dmalower[half][i] = lower;
    }
  }

  // Line map: the scan order reversed, out-of-range lines made 0.
  const int32_t firstrow = ft[0].row;
  for (uint32_t i = 0; i < 16; ++i) env.linemap[i] = 0;
  for (uint32_t i = 0; i < scanmode; ++i) {
    int32_t e = cfg.scanorder[scanmode - 1 - i];
    if (static_cast<uint32_t>(e < 0 ? -e : e) >= scanmode) e = 0;
    if (e + firstrow < 0 || e + firstrow >= static_cast<int32_t>(sigheight)) e = 0;
    env.linemap[i] = static_cast<int8_t>(e);
  }

  // Delay and clock indices, clamped to their tables.
  if (cfg.pixelclk > 4) cfg.pixelclk = 4;
  if (cfg.oedelay > 7) cfg.oedelay = 7;
  env.curoedelay1 = kOeDelay1[cfg.oedelay];
  env.curoedelay2 = kOeDelay2[cfg.oedelay];
  env.pixelclkreg = kPixelClock[cfg.pixelclk];
  std::snprintf(line, sizeof line, "curoedelay1 = %" PRIu32 " curoedelay2 = %" PRIu32 "  pixelclkreg = 0x%" PRIx32 "\n",
                env.curoedelay1, env.curoedelay2, env.pixelclkreg);
  Report(line);

  // Out-of-range columns and rows of the column table become 0.
  FreqEntry* fte = cfg.freqtable;
  for (uint32_t i = 1; i < freqcount; ++i) {
    if (fte[i].column > freqcount) fte[i].column = 0;
    if (fte[i].row > sigheight) fte[i].row = 0;
  }

  // Is the table a regular grid of equal rows? A regular step between
  // columns becomes deltax; an irregular one leaves no row width.
  uint32_t maxcolumn = ft[0].column;
  int32_t curcolumn = ft[0].column;
  uint32_t currow = ft[0].row;
  uint32_t run = 1;
  uint32_t reference = 0;
  int32_t deltax = static_cast<int32_t>(ft[1].column) - static_cast<int32_t>(ft[0].column);
  bool complete = true;
  for (uint32_t i = 1; i < freqcount; ++i) {
    const FreqEntry e = ft[i];
    maxcolumn = std::max<uint32_t>(maxcolumn, e.column);
    if (e.row == currow) {
      if (static_cast<int32_t>(e.column) - curcolumn != deltax) deltax = -1;
      ++run;
      curcolumn = e.column;
      continue;
    }
    if (reference == 0) {
      reference = run;
    } else if (run != reference) {
      std::snprintf(line, sizeof line, "tmpcount = %" PRIu32 " != count = %" PRIu32 "\n", run,
                    reference);
      Report(line);
      reference = 0;
      complete = false;
      break;
    }
    run = 1;
    currow = e.row;
    curcolumn = e.column;
  }
  if (complete && reference == 0) reference = 32;
  env.gfreqwidth = maxcolumn + 1;
  env.rowdatanum = deltax == -1 ? 0 : reference;
  env.deltax = deltax;
  std::snprintf(line, sizeof line,
                "gfreqwidth = %" PRIu32 " rowdatanum = %" PRIu32 " interval = %" PRIu32
                " scanshift = %" PRIu32 " deltax = %" PRId32 "\n",
                env.gfreqwidth, env.rowdatanum, env.interval, env.scanshift, deltax);
  Report(line);

  // Small signs need no size flag; the routine follows the grid found above.
  if (width < 256 && height < 128) cfg.sizeflag = 0;
  env.fixed15 = 15;
  const int family = cfg.scanvariant != 0 ? 3 : 0;
  const int member = env.rowdatanum == 0 ? 0 : env.rowdatanum == 32 ? 1 : 2;
  scanroutine = ScanRoutines[family + member];
}

}  // namespace ledview
