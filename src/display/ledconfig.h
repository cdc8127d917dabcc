// The controller configuration record: what the controller knows about its
// sign. Only the size, colour mode and scan fields are read by the engine;
// the communication settings are kept for the record's sake.
#pragma once
#include <cstdint>

namespace ledview {

struct FreqEntry {
  uint8_t column;
  uint8_t row;
};

struct LedConfig {
  char name[32];
  uint32_t spare1;
  uint16_t width;
  uint16_t height;
  uint32_t spare2;
  uint32_t tickdiv;
  uint8_t ipaddr[4];
  uint8_t macaddr[6];
  uint32_t port;
  uint8_t addr2[4];
  uint8_t addr3[4];
  uint8_t netmask[4];
  uint32_t port2;
  uint16_t baudrate;
  uint16_t baudrate2;
  uint32_t linkshow;
  uint32_t spare3;
  uint8_t spare4[4];
  uint16_t spare5;
  uint16_t spare6;
  uint8_t spare7[24];
  uint8_t sizeflag;
  uint8_t oedelay;
  uint8_t pixelclk;
  uint8_t spare8;
  uint8_t scanvariant;
  uint8_t depth;
  uint8_t spare9;
  uint8_t spare10;
  uint8_t scanmode;
  uint8_t spare11;
  uint16_t sigheight;
  int8_t scanorder[16];
  uint32_t freqcount;
  FreqEntry freqtable[512];
};

extern LedConfig ledconfig;
extern LedConfig* ptrledconfig;

// Writes every default, with the caller's width, height and colour mode.
void FillLedConfigDefaults(uint16_t width, uint16_t height, uint8_t depth);

}  // namespace ledview
