// The live string table behind UpdateString.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/strings.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"

namespace ledview {
namespace {

class StringTableTest : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    billstate = BillState{};
    ClearStrings();
    pendingflags = 0;
  }
  // From a buffer of exactly the text's size, without a terminator.
  static int32_t Put(uint32_t id, const std::string& text) {
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    return PutString(id, bytes.data(), static_cast<int32_t>(bytes.size()));
  }
};

TEST_F(StringTableTest, VersionsCutsAndRefusals) {
  EXPECT_EQ(Put(7, "first, longer"), 1);
  EXPECT_EQ(Put(7, "abc"), 2);
  const char* text = nullptr;
  EXPECT_EQ(FindString(7, &text), 2u);
  EXPECT_STREQ(text, "abc");  // read no further, and the longer text wiped
  EXPECT_EQ(Put(2, std::string(300, 'x')), 1);
  FindString(2, &text);
  EXPECT_EQ(std::strlen(text), 255u);
  EXPECT_EQ(FindString(8, &text), 0u);
  EXPECT_EQ(text, nullptr);
  const uint8_t t[] = {'x'};
  EXPECT_EQ(PutString(3, nullptr, 1), -1);
  EXPECT_EQ(PutString(3, t, 0), -1);
  EXPECT_EQ(PutString(3, t, -3), -1);
  EXPECT_EQ(PutString(0x80000000u, t, 1), -1);  // negative as a signed id
  EXPECT_EQ(FindString(3, nullptr), 0u);
  EXPECT_EQ(FindString(0x80000000u, nullptr), 0u);
  EXPECT_EQ(PutString(0, t, 1), 1);  // id 0 is an id like any other
  ClearStrings();
  EXPECT_EQ(FindString(7, &text), 0u);
}

TEST_F(StringTableTest, HoldsAtMost127AndRaisesTheStringBitOnlyWhileAPageIsCurrent) {
  for (uint32_t id = 100; id < 227; ++id) ASSERT_EQ(Put(id, "s"), 1) << id;
  EXPECT_EQ(Put(500, "one too many"), -1);
  EXPECT_EQ(FindString(500, nullptr), 0u);
  EXPECT_EQ(Put(150, "updated"), 2);
  EXPECT_EQ(pendingflags, 0u);
  PageNode page{};
  billstate.current = &page;
  EXPECT_EQ(Put(150, "again"), 3);
  EXPECT_EQ(pendingflags, kRefreshString);
  pendingflags = 0;
  EXPECT_EQ(Put(501, "x"), -1);
  EXPECT_EQ(pendingflags, 0u);
}

}  // namespace
}  // namespace ledview
