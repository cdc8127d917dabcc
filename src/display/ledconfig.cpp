#include "display/ledconfig.h"

#include <cstring>

namespace ledview {

LedConfig ledconfig;
LedConfig* ptrledconfig = nullptr;

void FillLedConfigDefaults(uint16_t width, uint16_t height, uint8_t depth) {
  LedConfig& c = ledconfig;
  std::memset(&c, 0, sizeof c);
  std::memcpy(c.name, "ledctrl1", sizeof "ledctrl1");
  c.spare1 = 1;
  c.width = width;
  c.height = height;
  c.tickdiv = 0;
  const uint8_t ip[4] = {192, 168, 1, 18};
  std::memcpy(c.ipaddr, ip, 4);
  const uint8_t mac[6] = {0, 5, 4, 3, 2, 1};
  std::memcpy(c.macaddr, mac, 6);
  c.port = 8000;
  const uint8_t gateway[4] = {192, 168, 1, 1};
  std::memcpy(c.addr2, gateway, 4);
  std::memcpy(c.addr3, gateway, 4);
  const uint8_t mask[4] = {255, 255, 255, 0};
  std::memcpy(c.netmask, mask, 4);
  c.port2 = 8888;
  c.baudrate = 57600;
  c.baudrate2 = 57600;
  const uint8_t spare4[4] = {1, 2, 4, 0};
  std::memcpy(c.spare4, spare4, 4);
  c.spare6 = 7;
  std::memset(c.spare7, 7, sizeof c.spare7);
  c.spare8 = 3;
  c.depth = depth;
  c.spare10 = 1;
  c.scanmode = 16;
  c.spare11 = 255;
  c.sigheight = 16;
  for (int i = 0; i < 16; ++i) c.scanorder[i] = static_cast<int8_t>(i);
  c.freqcount = 8;
  for (uint8_t i = 0; i < 8; ++i) c.freqtable[i] = FreqEntry{i, 0};
}

}  // namespace ledview
