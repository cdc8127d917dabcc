// Playing through the exported functions the way a host does, with the
// engine's own renderers, and reading the host's buffer back as pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {

Pic Solid(int32_t w, int32_t h);
// Every column differs from the others and from its own mirror.
Pic Pattern(int32_t w, int32_t h);
// Columns [from, from + n) of rows, or rows [from, from + n).
Pic Columns(Pic rows, int32_t from, int32_t n);
Pic Rows(const Pic& rows, int32_t from, int32_t n);
// A line of text in the built-in font as laid out; a space is half a cell.
Pic Glyphs(const std::string& text);
// Calendar seconds of a local date and time, whatever the machine's zone.
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second);

class TextPlayTest : public EngineTest {
 protected:
  void TearDown() override;
  // A ready engine with a host buffer of the sign's size; the clock is
  // simulated from `when`; the first scheduler pass comes with the 9th tick.
  void Start(int32_t width, int32_t height, int32_t colourmode, const char* font = LEDVIEW_TEST_FONT,
             int64_t when = 1000000);
  // SetPlayBill on the builder's bytes; the playbill must validate quietly.
  int32_t Play(const Bill& bill);
  // Ends the playbill and registers a fresh host buffer for the next Play.
  void Stop();
  // n host ticks or seconds, each followed by RefreshBuffer.
  void Tick(int n = 1);
  void Second(int n = 1);
  // The host buffer's w x h region at (x, y), rows joined by '\n': '.' for
  // 0; '#' for lit in colour mode 1, the value's digit in the others.
  std::string Host(int32_t x, int32_t y, int32_t w, int32_t h) const;
  // The region at (x, y) as large as `expected` (as Host writes it, blank
  // lines and indentation ignored) shows it.
  testing::AssertionResult HostShows(int32_t x, int32_t y, const std::string& expected) const;
  // The same for a picture of '#' and '.', lit in `colour` (colour modes 2, 4).
  testing::AssertionResult HostShows(int32_t x, int32_t y, const Pic& rows, int32_t colour = 1) const;
  bool HostDark(int32_t x, int32_t y, int32_t w, int32_t h) const;

  int32_t width = 0;
  int32_t height = 0;
  int32_t mode = 1;
  std::vector<uint8_t> output;
};

}  // namespace ledview::test
