// The frame wire format a page receives: runs of LEDs, one byte each, in
// base64. The bytes below are worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview/wire.h"

namespace ledview::tool {
namespace {

// Three dark LEDs, two red (one given as 9: only the low three bits count),
// one green, then 40 white: a run stops at 32.
//   3 x 0 -> (2 << 3) | 0 = 0x10
//   2 x 1 -> (1 << 3) | 1 = 0x09
//   1 x 2 -> (0 << 3) | 2 = 0x02
//  32 x 7 -> (31 << 3) | 7 = 0xFF
//   8 x 7 -> (7 << 3) | 7 = 0x3F
// 10 09 02 = 000100 000000 100100 000010 -> E A k C
// FF 3F    = 111111 110011 1111(00)      -> / z 8 =
TEST(Wire, LedsAsRunsInBase64) {
  std::vector<uint8_t> leds = {0, 0, 0, 1, 9, 2};
  leds.insert(leds.end(), 40, 7);
  EXPECT_EQ(EncodeLeds(leds), "EAkC/z8=");
  std::vector<uint8_t> decoded;
  ASSERT_TRUE(DecodeLeds("EAkC/z8=", leds.size(), &decoded));
  leds[4] = 1;
  EXPECT_EQ(decoded, leds);

  // One LED of colour 5: the byte 0x05 = 000001 01(0000) -> B Q = =.
  EXPECT_EQ(EncodeLeds({5}), "BQ==");
  ASSERT_TRUE(DecodeLeds("BQ==", 1, &decoded));
  EXPECT_EQ(decoded, (std::vector<uint8_t>{5}));
  // 32 dark then one dark: 0xF8 0x00 = 111110 000000 0000(00) -> + A A =.
  EXPECT_EQ(EncodeLeds(std::vector<uint8_t>(33, 0)), "+AA=");
  EXPECT_EQ(EncodeLeds({}), "");

  // Refused: a count the runs do not make, a length not a multiple of four,
  // a character outside the alphabet, padding before the end.
  EXPECT_FALSE(DecodeLeds("BQ==", 2, &decoded));
  EXPECT_FALSE(DecodeLeds("EAkC/z8=", 45, &decoded));
  EXPECT_FALSE(DecodeLeds("BQ=", 1, &decoded));
  EXPECT_FALSE(DecodeLeds("B-==", 1, &decoded));
  EXPECT_FALSE(DecodeLeds("B=Q=", 1, &decoded));
  EXPECT_FALSE(DecodeLeds("BQ==BQ==", 2, &decoded));
}

}  // namespace
}  // namespace ledview::tool
