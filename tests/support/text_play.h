// Playing text through the exported functions the way a host does, with the
// engine's own renderers, and reading the host's buffer back as pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {

// A w x h picture with every pixel lit.
std::vector<std::string> Solid(int32_t w, int32_t h);
// A w x h picture in which every column differs from every other and from
// its own mirror, so that a column or row out of place shows.
std::vector<std::string> Pattern(int32_t w, int32_t h);
// Columns [from, from + n) of rows, or rows [from, from + n).
std::vector<std::string> Columns(const std::vector<std::string>& rows, int32_t from, int32_t n);
std::vector<std::string> Rows(const std::vector<std::string>& rows, int32_t from, int32_t n);
// Rows joined by '\n'.
std::string Joined(const std::vector<std::string>& rows);
// The 16-pixel line of text in the built-in font, as laid out: 8-pixel
// glyphs, half a cell for a space.
std::vector<std::string> Glyphs(const std::string& text);
// The picture as Host shows it in a colour mode: lit pixels as '#' in
// colour mode 1, else as the colour's digit.
std::string InMode(const std::vector<std::string>& rows, int32_t mode, int32_t colour);

class TextPlayTest : public EngineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A ready engine (quietly configured) with a host buffer of the sign's
  // size; the clock is simulated from `when`, which seeds the effect orders,
  // and the first scheduler pass comes with the 9th tick.
  void Start(int32_t width, int32_t height, int32_t colourmode, const char* font = LEDVIEW_TEST_FONT,
             int64_t when = 1000000);
  // SetPlayBill on the builder's bytes; the playbill must validate quietly.
  int32_t Play(const Bill& bill);
  // Stops the playbill and registers the host buffer again, ready for the
  // next Play.
  void Stop();
  // n host ticks: NotifyActtion, then RefreshBuffer.
  void Tick(int n = 1);
  // n seconds: NotifySecond, then RefreshBuffer.
  void Second(int n = 1);

  // The host buffer's w x h region at (x, y), one character per LED: '.' for
  // 0; in colour mode 1 '#' for lit; in colour modes 2 and 4 the value's
  // digit.
  std::string Host(int32_t x, int32_t y, int32_t w, int32_t h) const;
  // The region at (x, y) as large as `expected` (a picture as Host writes
  // it, blank lines and indentation ignored) shows it.
  testing::AssertionResult HostShows(int32_t x, int32_t y, const std::string& expected) const;
  // The same for a picture of '#' (lit) and '.' rows, in colour mode 1 or
  // in `colour` in the others.
  testing::AssertionResult HostShows(int32_t x, int32_t y, const std::vector<std::string>& rows,
                                     int32_t colour = 1) const {
    return HostShows(x, y, InMode(rows, mode, colour));
  }
  // The region is entirely dark.
  bool HostDark(int32_t x, int32_t y, int32_t w, int32_t h) const;

  int32_t width = 0;
  int32_t height = 0;
  int32_t mode = 1;
  std::vector<uint8_t> output;
};

}  // namespace ledview::test
