// Command-line values of the ledview command.
#include <gtest/gtest.h>

#include <ctime>

#include "ledview/args.h"

namespace ledview::tool {
namespace {

TEST(Args, Sizes) {
  int32_t w = 0, h = 0;
  EXPECT_TRUE(ParseSize("128x32", &w, &h));
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 32);
  EXPECT_FALSE(ParseSize("128", &w, &h));
  EXPECT_FALSE(ParseSize("0x32", &w, &h));
  EXPECT_FALSE(ParseSize("128x32x2", &w, &h));
  EXPECT_FALSE(ParseSize("128x-1", &w, &h));
}

TEST(Args, StartTimes) {
  int64_t start = 0;
  ASSERT_TRUE(ParseStart("2024-03-05 06:07:08", &start));
  std::tm tm{};
  const std::time_t t = static_cast<std::time_t>(start);
  localtime_r(&t, &tm);
  EXPECT_EQ(tm.tm_year, 124);
  EXPECT_EQ(tm.tm_mon, 2);
  EXPECT_EQ(tm.tm_mday, 5);
  EXPECT_EQ(tm.tm_hour, 6);
  EXPECT_EQ(tm.tm_min, 7);
  EXPECT_EQ(tm.tm_sec, 8);
  ASSERT_TRUE(ParseStart("1700000000", &start));
  EXPECT_EQ(start, 1700000000);
  ASSERT_TRUE(ParseStart("now", &start));
  EXPECT_LE(std::abs(start - static_cast<int64_t>(std::time(nullptr))), 2);
  EXPECT_FALSE(ParseStart("yesterday", &start));
  EXPECT_FALSE(ParseStart("2024-03-05", &start));
}

TEST(Args, LiveStrings) {
  StringUpdate u;
  std::string error;
  ASSERT_TRUE(ParseString("7=Gate 3 = open@2.5", &u, &error)) << error;
  EXPECT_EQ(u.id, 7);
  EXPECT_EQ(u.text, "Gate 3 = open");
  EXPECT_EQ(u.atms, 2500);
  ASSERT_TRUE(ParseString("1=a@b@3", &u, &error));  // the last @ gives the time
  EXPECT_EQ(u.text, "a@b");
  ASSERT_TRUE(ParseString("2=中@0", &u, &error));
  EXPECT_EQ(u.text, "\xD6\xD0");
  EXPECT_FALSE(ParseString("x=a@1", &u, &error));
  EXPECT_EQ(error, "--string \"x=a@1\": expected ID=TEXT@SECONDS with an id 1..65535");
  EXPECT_FALSE(ParseString("1=a", &u, &error));
  EXPECT_EQ(error, "--string \"1=a\": expected ID=TEXT@SECONDS");
  EXPECT_FALSE(ParseString("1=ä@1", &u, &error));
  EXPECT_EQ(error, "--string \"1=ä@1\": character \"ä\" (U+00E4) is not in GB2312");
}

}  // namespace
}  // namespace ledview::tool
