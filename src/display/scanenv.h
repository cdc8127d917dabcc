// The scan environment: the figures the controller's scan hardware would be
// programmed with. The preview never drives hardware, but the figures and
// their corrections to ledconfig are kept so the record matches a controller.
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr uint32_t kDmaHalfBytes = 524288;

using ScanRoutine = void (*)();

struct ScanEnv {
  uint32_t scanwidth;
  uint32_t scanshift;
  uint32_t scanpitch;
  uint32_t dmawidth;
  uint32_t gfreqwidth;
  uint32_t gupdatanum;
  uint32_t gdowndatanum;
  uint32_t interval;
  uint8_t* rowptr[16];
  uint32_t rowdatanum;
  int8_t linemap[16];
  uint32_t dmaupper[2][16];  // per DMA half
  uint32_t dmalower[2][16];
  uint32_t scanmask;
  uint32_t curoedelay1;
  uint32_t curoedelay2;
  uint16_t fixed15;
  int32_t deltax;         // kept for the report
  uint32_t pixelclkreg;   // kept for the report
  alignas(16) uint8_t dma[2 * kDmaHalfBytes];
};

extern ScanEnv scanenv;
extern ScanRoutine scanroutine;

void SetLedEnv();

// The six scan routines, in table order: A1 A2 A3 B1 B2 B3.
extern const ScanRoutine ScanRoutines[6];

}  // namespace ledview
