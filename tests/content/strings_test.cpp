// The live string table behind UpdateString (whose codes the text play
// tests check end to end).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/strings.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"

namespace ledview {
namespace {

// From a buffer of exactly the text's size, without a terminator.
int32_t Put(uint32_t id, const std::string& text) {
  const std::vector<uint8_t> bytes(text.begin(), text.end());
  return PutString(id, bytes.data(), static_cast<int32_t>(bytes.size()));
}

TEST(StringTableTest, WipesCutsAtTheLimitsAndRaisesTheBitOnlyWhileAPageIsCurrent) {
  ClearStrings();
  PageNode page{};
  billstate.current = &page;
  pendingflags = 0;
  EXPECT_EQ(Put(7, "first, longer"), 1);
  EXPECT_EQ(Put(7, "abc"), 2);
  EXPECT_EQ(pendingflags, kRefreshString);
  const char* text = nullptr;
  EXPECT_EQ(FindString(7, &text), 2u);
  EXPECT_STREQ(text, "abc");  // read no further, and the longer text wiped
  EXPECT_EQ(Put(2, std::string(300, 'x')), 1);
  FindString(2, &text);
  EXPECT_EQ(std::strlen(text), 255u);
  for (uint32_t id = 100; id < 225; ++id) ASSERT_EQ(Put(id, "s"), 1) << id;  // 127 in all
  pendingflags = 0;
  EXPECT_EQ(Put(500, "one too many"), -1);
  EXPECT_EQ(PutString(0x80000000u, reinterpret_cast<const uint8_t*>("x"), 1), -1);  // negative as signed
  EXPECT_EQ(pendingflags, 0u);
  EXPECT_EQ(FindString(500, &text), 0u);
  EXPECT_EQ(text, nullptr);
  billstate.current = nullptr;
  EXPECT_EQ(Put(150, "updated"), 2);  // updates go on; no page, no bit
  EXPECT_EQ(pendingflags, 0u);
  ClearStrings();
  EXPECT_EQ(FindString(7, &text), 0u);
  billstate = BillState{};
}

}  // namespace
}  // namespace ledview
