#include "support/text_play.h"

#include <algorithm>

#include "playbill/scheduler.h"
#include "support/picture.h"

namespace ledview::test {

Pic Pattern(int32_t w, int32_t h) {
  Pic rows = Dark(w, h);  // column x lights rows 0 .. x % h and, every third column, row h - 1
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y) rows[y][x] = y <= x % h || (x % 3 == 1 && y == h - 1) ? '#' : '.';
  return rows;
}

Pic Columns(Pic rows, int32_t from, int32_t n) {
  for (std::string& r : rows) r = r.substr(static_cast<size_t>(from), static_cast<size_t>(n));
  return rows;
}

Pic Glyphs(const std::string& text) {
  Pic rows(16);
  for (char ch : text) rows = Beside(rows, ch == ' ' ? Dark(8, 16) : BuiltInGlyph(static_cast<uint8_t>(ch)));
  return rows;
}

int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_sec = second;
  t.tm_min = minute;
  t.tm_hour = hour;
  t.tm_mday = day;
  t.tm_mon = month - 1;
  t.tm_year = year - 1900;
  return ClockFromLocal(&t);
}

void TextPlayTest::TearDown() {
  ClockUseReal();
  EngineTest::TearDown();
}

void TextPlayTest::Start(int32_t w, int32_t h, int32_t colourmode, const char* font, int64_t when) {
  ClockSimulate(when);
  actioncounter = 0;  // it outlives every engine
  ASSERT_EQ(InitLedConfigure(w, h, colourmode), 0);
  ASSERT_EQ(SetFontPathname(font), 0) << font;
  width = w;
  height = h;
  mode = colourmode;
  output.assign(static_cast<size_t>(w) * h, 0xEE);
  ASSERT_EQ(SetBmpBuffer(w, h, w, output.data()), 0);
}

int32_t TextPlayTest::Play(const Bill& bill) {
  const std::vector<uint8_t> bytes = bill.Bytes();
  testing::internal::CaptureStdout();
  const int32_t result = SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "validation complained";
  return result;
}

void TextPlayTest::Stop() {
  EndPreview();
  output.assign(output.size(), 0xEE);
  ASSERT_EQ(SetBmpBuffer(width, height, width, output.data()), 0);
}

void TextPlayTest::Drive(void(LEDVIEW_CALL* notify)(), int n) {
  for (int i = 0; i < n; ++i) {
    notify();
    RefreshBuffer();
  }
}

std::string TextPlayTest::Host(int32_t x, int32_t y, int32_t w, int32_t h) const {
  std::string s;
  for (int32_t r = y; r < y + h; ++r) {
    for (int32_t c = x; c < x + w; ++c) {
      const uint8_t v = output[static_cast<size_t>(r) * width + c];
      s += v == 0 ? '.' : mode == 1 ? (v == 1 ? '#' : '?') : v > 9 ? '?' : static_cast<char>('0' + v);
    }
    s += r + 1 < y + h ? "\n" : "";
  }
  return s;
}

testing::AssertionResult TextPlayTest::HostShows(int32_t x, int32_t y, const std::string& expected) const {
  const std::string want = NormalisePicture(expected);
  const int32_t w = static_cast<int32_t>(std::min(want.find('\n'), want.size()));
  const int32_t h = static_cast<int32_t>(std::count(want.begin(), want.end(), '\n')) + 1;
  if (w == 0 || x + w > width || y + h > height) return testing::AssertionFailure() << "the picture leaves the sign";
  const std::string got = Host(x, y, w, h);
  if (got == want) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "region at (" << x << ", " << y << ")\nexpected:\n" << want
                                     << "\nactual:\n" << got;
}

testing::AssertionResult TextPlayTest::HostShows(int32_t x, int32_t y, const Pic& rows, int32_t colour) const {
  std::string s = Art(rows);
  std::replace(s.begin(), s.end(), '#', mode == 1 ? '#' : static_cast<char>('0' + colour));
  return HostShows(x, y, s);
}

}  // namespace ledview::test
