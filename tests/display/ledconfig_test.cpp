#include <gtest/gtest.h>

#include "display/ledconfig.h"
#include "ledview.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

TEST_F(EngineTest, ConfigurationDefaults) {
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  testing::internal::GetCapturedStdout();
  const LedConfig& c = ledconfig;
  EXPECT_STREQ(c.name, "ledctrl1");
  EXPECT_EQ(c.spare1, 1u);
  EXPECT_EQ(c.width, 64);
  EXPECT_EQ(c.height, 32);
  EXPECT_EQ(c.depth, 1);
  EXPECT_EQ(c.sigheight, 16);
  EXPECT_EQ(c.scanmode, 16);
  EXPECT_EQ(c.tickdiv, 0u);
  EXPECT_EQ(c.linkshow, 0u);
  EXPECT_EQ(c.port, 8000u);
  EXPECT_EQ(c.port2, 8888u);
  EXPECT_EQ(c.baudrate, 57600);
  EXPECT_EQ(c.baudrate2, 57600);
  const uint8_t ip[4] = {192, 168, 1, 18};
  EXPECT_EQ(0, memcmp(c.ipaddr, ip, 4));
  const uint8_t mac[6] = {0, 5, 4, 3, 2, 1};
  EXPECT_EQ(0, memcmp(c.macaddr, mac, 6));
  const uint8_t mask[4] = {255, 255, 255, 0};
  EXPECT_EQ(0, memcmp(c.netmask, mask, 4));
  EXPECT_EQ(c.addr2[3], 1);
  EXPECT_EQ(c.addr3[0], 192);
  EXPECT_EQ(c.spare4[2], 4);
  EXPECT_EQ(c.spare6, 7);
  for (uint8_t b : c.spare7) EXPECT_EQ(b, 7);
  EXPECT_EQ(c.spare8, 3);
  EXPECT_EQ(c.spare10, 1);
  EXPECT_EQ(c.spare11, 255);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(c.scanorder[i], i);
  EXPECT_EQ(c.freqcount, 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(c.freqtable[i].column, i);
    EXPECT_EQ(c.freqtable[i].row, 0);
  }
  EXPECT_EQ(c.freqtable[8].column, 0);

  ReleasePreview();
  const auto* bytes = reinterpret_cast<const uint8_t*>(&ledconfig);
  for (size_t i = 0; i < sizeof ledconfig; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

}  // namespace
}  // namespace ledview
