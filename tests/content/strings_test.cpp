#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "content/strings.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"

namespace ledview {
namespace {

class StringTableTest : public testing::Test {
 protected:
  void SetUp() override {
    billstate = BillState{};
    ClearStrings();
    pendingflags = 0;
  }
  void TearDown() override {
    billstate = BillState{};
    ClearStrings();
    pendingflags = 0;
  }
  static int32_t Put(uint32_t id, const std::string& text) {
    return PutString(id, reinterpret_cast<const uint8_t*>(text.data()),
                     static_cast<int32_t>(text.size()));
  }
};

TEST_F(StringTableTest, VersionsCountReplacements) {
  EXPECT_EQ(Put(7, "first"), 1);
  EXPECT_EQ(Put(7, "second, longer"), 2);
  EXPECT_EQ(Put(7, "third"), 3);
  const char* text = nullptr;
  EXPECT_EQ(FindString(7, &text), 3u);
  EXPECT_STREQ(text, "third");  // the longer text was wiped, not overlaid
  EXPECT_EQ(stringtable[0].inuse, 0u);
  EXPECT_EQ(stringtable[1].id, 7u);

  EXPECT_EQ(FindString(8, &text), 0u);
  EXPECT_EQ(text, nullptr);
  ClearStrings();
  EXPECT_EQ(FindString(7, &text), 0u);
  EXPECT_EQ(Put(7, "again"), 1);
}

TEST_F(StringTableTest, ReadsExactlyTheCallersBytesAndCutsAt255) {
  // Exact-size buffers without a terminator: nothing past them is read.
  std::unique_ptr<uint8_t[]> shortText(new uint8_t[3]{'a', 'b', 'c'});
  EXPECT_EQ(PutString(1, shortText.get(), 3), 1);
  std::unique_ptr<uint8_t[]> longText(new uint8_t[300]);
  std::memset(longText.get(), 'x', 300);
  EXPECT_EQ(PutString(2, longText.get(), 300), 1);
  const char* text = nullptr;
  FindString(1, &text);
  EXPECT_STREQ(text, "abc");
  FindString(2, &text);
  EXPECT_EQ(std::strlen(text), 255u);
}

TEST_F(StringTableTest, RefusesBadArgumentsWithoutChangingAnything) {
  const uint8_t t[] = {'x'};
  EXPECT_EQ(PutString(1, nullptr, 1), -1);
  EXPECT_EQ(PutString(1, t, 0), -1);
  EXPECT_EQ(PutString(1, t, -3), -1);
  EXPECT_EQ(PutString(0x80000000u, t, 1), -1);  // negative as a signed id
  for (const StringSlot& s : stringtable) EXPECT_EQ(s.inuse, 0u);
  EXPECT_EQ(PutString(0, t, 1), 1);  // id 0 is an id like any other
}

TEST_F(StringTableTest, HoldsAtMost127StringsButUpdatesGoOn) {
  for (uint32_t id = 100; id < 227; ++id) ASSERT_EQ(Put(id, "s"), 1) << id;
  EXPECT_EQ(Put(500, "one too many"), -1);
  EXPECT_EQ(FindString(500, nullptr), 0u);
  EXPECT_EQ(Put(150, "updated"), 2);
  // FindString looks at slot 0 too, although nothing is ever put there.
  stringtable[0] = StringSlot{1, 4, 999, "zero"};
  const char* text = nullptr;
  EXPECT_EQ(FindString(999, &text), 4u);
  EXPECT_STREQ(text, "zero");
}

TEST_F(StringTableTest, RaisesTheStringBitOnlyWhileAPageIsCurrent) {
  EXPECT_EQ(Put(3, "a"), 1);
  EXPECT_EQ(pendingflags, 0u);
  PageNode page{};
  billstate.current = &page;
  EXPECT_EQ(Put(3, "b"), 2);
  EXPECT_EQ(pendingflags, kRefreshString);
  pendingflags = 0;
  EXPECT_EQ(PutString(3, nullptr, 1), -1);
  EXPECT_EQ(pendingflags, 0u);
}

}  // namespace
}  // namespace ledview
