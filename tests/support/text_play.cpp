#include "support/text_play.h"

#include <sstream>

#include "content/textelement.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"
#include "support/picture.h"

namespace ledview::test {

std::vector<std::string> Solid(int32_t w, int32_t h) {
  return std::vector<std::string>(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '#'));
}

std::vector<std::string> Pattern(int32_t w, int32_t h) {
  std::vector<std::string> rows(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
  for (int32_t x = 0; x < w; ++x) {
    // Column x lights rows 0 .. x % h and, as a second mark, row h - 1 for
    // every third column; no two columns in a span of h agree.
    for (int32_t y = 0; y <= x % h; ++y) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
    if (x % 3 == 1) rows[static_cast<size_t>(h - 1)][static_cast<size_t>(x)] = '#';
  }
  return rows;
}

std::vector<std::string> Columns(const std::vector<std::string>& rows, int32_t from, int32_t n) {
  std::vector<std::string> out;
  for (const std::string& r : rows) out.push_back(r.substr(static_cast<size_t>(from), static_cast<size_t>(n)));
  return out;
}

std::vector<std::string> Rows(const std::vector<std::string>& rows, int32_t from, int32_t n) {
  return std::vector<std::string>(rows.begin() + from, rows.begin() + from + n);
}

std::string Joined(const std::vector<std::string>& rows) {
  std::string s;
  for (const std::string& r : rows) {
    if (!s.empty()) s += '\n';
    s += r;
  }
  return s;
}

std::vector<std::string> Glyphs(const std::string& text) {
  std::vector<std::string> rows(16);
  for (char ch : text) rows = Beside(rows, ch == ' ' ? Dark(8, 16) : BuiltInGlyph(static_cast<uint8_t>(ch)));
  return rows;
}

std::string InMode(const std::vector<std::string>& rows, int32_t mode, int32_t colour) {
  std::string s = Joined(rows);
  const char lit = mode == 1 ? '#' : static_cast<char>('0' + colour);
  for (char& ch : s) {
    if (ch == '#') ch = lit;
  }
  return s;
}

void TextPlayTest::SetUp() {
  EngineTest::SetUp();
  // Every text test plays with the engine's own renderers.
  ASSERT_EQ(normalrenderers[1], RenderBitmapText);
  ASSERT_EQ(normalrenderers[2], RenderStringText);
  ASSERT_EQ(normalrenderers[7], RenderPagedBitmap);
  ASSERT_EQ(staticrenderers[1], RenderStaticBitmap);
  ASSERT_EQ(staticrenderers[2], RenderStaticString);
}

void TextPlayTest::TearDown() {
  ReleasePreview();
  ClockUseReal();
  EngineTest::TearDown();
}

void TextPlayTest::Start(int32_t w, int32_t h, int32_t colourmode, const char* font, int64_t when) {
  ClockSimulate(when);
  // The action counter outlives every engine; starting it afresh puts the
  // first scheduler pass on the 9th tick of every test.
  actioncounter = 0;
  testing::internal::CaptureStdout();
  const int32_t init = InitLedConfigure(w, h, colourmode);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(init, 0);
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

void TextPlayTest::Tick(int n) {
  for (int i = 0; i < n; ++i) {
    NotifyActtion();
    RefreshBuffer();
  }
}

void TextPlayTest::Second(int n) {
  for (int i = 0; i < n; ++i) {
    NotifySecond();
    RefreshBuffer();
  }
}

std::string TextPlayTest::Host(int32_t x, int32_t y, int32_t w, int32_t h) const {
  std::string s;
  for (int32_t r = y; r < y + h; ++r) {
    if (r > y) s += '\n';
    for (int32_t c = x; c < x + w; ++c) {
      const uint8_t v = output[static_cast<size_t>(r) * width + c];
      if (v == 0) {
        s += '.';
      } else if (mode == 1) {
        s += v == 1 ? '#' : '?';
      } else {
        s += v > 9 ? '?' : static_cast<char>('0' + v);
      }
    }
  }
  return s;
}

testing::AssertionResult TextPlayTest::HostShows(int32_t x, int32_t y, const std::string& expected) const {
  const std::string want = NormalisePicture(expected);
  std::istringstream in(want);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (lines.empty()) return testing::AssertionFailure() << "the expected picture is empty";
  const int32_t w = static_cast<int32_t>(lines[0].size());
  const int32_t h = static_cast<int32_t>(lines.size());
  if (x + w > width || y + h > height) return testing::AssertionFailure() << "the picture leaves the sign";
  const std::string got = Host(x, y, w, h);
  if (got == want) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "region at (" << x << ", " << y << ")\nexpected:\n"
                                     << want << "\nactual:\n" << got;
}

bool TextPlayTest::HostDark(int32_t x, int32_t y, int32_t w, int32_t h) const {
  return Host(x, y, w, h).find_first_not_of(".\n") == std::string::npos;
}

}  // namespace ledview::test
