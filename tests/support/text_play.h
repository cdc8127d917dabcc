// Playing through the exported functions the way a host does, with the
// engine's own renderers, and reading the host's buffer back as pictures.
#pragma once
#include <gtest/gtest.h>

#include <ctime>

#include "platform/platform.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {

inline Pic Solid(int32_t w, int32_t h) { return Pic(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '#')); }
// Every column differs from the others and from its own mirror.
Pic Pattern(int32_t w, int32_t h);
// Columns [from, from + n) of rows, or rows [from, from + n).
Pic Columns(Pic rows, int32_t from, int32_t n);
inline Pic Rows(const Pic& rows, int32_t from, int32_t n) { return Pic(rows.begin() + from, rows.begin() + from + n); }
// A line of text in the built-in font as laid out; a space is half a cell.
Pic Glyphs(const std::string& text);
// Calendar seconds of a local date and time, whatever the machine's zone.
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second);

class TextPlayTest : public EngineTest {
 protected:
  void TearDown() override;
  // A ready engine with a host buffer of the sign's size, the clock simulated from `when`.
  void Start(int32_t width, int32_t height, int32_t colourmode, const char* font = LEDVIEW_TEST_FONT,
             int64_t when = 1000000);
  // SetPlayBill on the builder's bytes; the playbill must validate quietly.
  int32_t Play(const Bill& bill);
  // Ends the playbill and registers a fresh host buffer for the next Play.
  void Stop();
  // n host ticks or seconds, each with a RefreshBuffer.
  void Tick(int n = 1) { Drive(NotifyActtion, n); }
  void Second(int n = 1) { Drive(NotifySecond, n); }
  // The host buffer's w x h region at (x, y), rows joined by '\n': '.' for
  // 0; '#' for lit in colour mode 1, the value's digit in the others.
  std::string Host(int32_t x, int32_t y, int32_t w, int32_t h) const;
  // The region at (x, y) shows `expected` (as Host writes it, blank lines and indentation
  // ignored), or a picture of '#' and '.' lit in `colour` (colour modes 2, 4).
  testing::AssertionResult HostShows(int32_t x, int32_t y, const std::string& expected) const;
  testing::AssertionResult HostShows(int32_t x, int32_t y, const Pic& rows, int32_t colour = 1) const;
  bool HostDark(int32_t x, int32_t y, int32_t w, int32_t h) const {
    return Host(x, y, w, h).find_first_not_of(".\n") == std::string::npos;
  }

  int32_t width = 0, height = 0, mode = 1;
  std::vector<uint8_t> output;

 private:
  static void Drive(void(LEDVIEW_CALL* notify)(), int n);
};

}  // namespace ledview::test
