#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "display/scanenv.h"
#include "ledview.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

std::string Init(int32_t w, int32_t h, int32_t mode) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(InitLedConfigure(w, h, mode), 0);
  return testing::internal::GetCapturedStdout();
}

std::string Rerun() {
  testing::internal::CaptureStdout();
  SetLedEnv();
  return testing::internal::GetCapturedStdout();
}

void SetTable(std::initializer_list<FreqEntry> entries) {
  uint32_t i = 0;
  for (FreqEntry e : entries) ledconfig.freqtable[i++] = e;
  for (; i < 512; ++i) ledconfig.freqtable[i] = FreqEntry{0, 0};
  ledconfig.freqcount = static_cast<uint32_t>(entries.size());
}

TEST_F(EngineTest, ScanReportWithDefaults) {
  EXPECT_EQ(Init(256, 64, 1),
            "SetLedEnv: dmawidth = 32 tmpscanmode = 16 gsigheight = 16  gupdatanum = 2 "
            "gdowndatanum = 0 scanwidth = 256 scanpitch = 8192\n"
            "gfreqwidth = 8 interval = 65536 scanshift = 1\n"
            "curoedelay1 = 40 curoedelay2 = 60  pixelclkreg = 0x1041280\n"
            "gfreqwidth = 8 rowdatanum = 32 interval = 65536 scanshift = 1 deltax = 1\n");
  EXPECT_EQ(scanroutine, ScanRoutines[1]);  // A2: regular single-row table
}

// Scan width in whole bytes, rows split over the upper and lower data port.
TEST_F(EngineTest, ScanFigures) {
  const struct {
    int32_t w, h, mode;
    uint32_t scanwidth, dmawidth, gupdatanum, gdowndatanum, scanshift, scanpitch;
  } cases[] = {
      {250, 16, 1, 256, 32, 1, 0, 1, 8192},
      {64, 128, 4, 64, 8, 8, 0, 2, 8192},
      {64, 512, 2, 64, 8, 16, 16, 1, 4096},
  };
  for (const auto& c : cases) {
    Init(c.w, c.h, c.mode);
    const ScanEnv& e = scanenv;
    EXPECT_EQ(std::make_tuple(e.scanwidth, e.dmawidth, e.gupdatanum, e.gdowndatanum, e.scanshift, e.scanpitch),
              std::make_tuple(c.scanwidth, c.dmawidth, c.gupdatanum, c.gdowndatanum, c.scanshift, c.scanpitch))
        << c.w << "x" << c.h;
    ReleasePreview();
  }
}

// Indices past their tables are clamped; the column table decides the scan
// routine: a grid of equal rows, rows of different lengths (reported), an
// uneven step.
TEST_F(EngineTest, ScanCorrectionsAndColumnTable) {
  Init(64, 32, 1);
  ledconfig.scanmode = 3;  // not a scan mode: 16
  ledconfig.oedelay = 9;
  ledconfig.pixelclk = 6;
  const std::string fixed = Rerun();
  EXPECT_NE(fixed.find("tmpscanmode = 16 "), std::string::npos) << fixed;
  EXPECT_NE(fixed.find("curoedelay1 = 1600 curoedelay2 = 2000  pixelclkreg = 0x10c6780\n"), std::string::npos) << fixed;
  ledconfig.scanmode = 0;  // cannot divide by it
  Rerun();
  EXPECT_EQ(ledconfig.scanmode, 16);

  SetTable({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}});
  EXPECT_EQ(Rerun().find("tmpcount"), std::string::npos);
  EXPECT_EQ(scanenv.rowdatanum, 4u);
  EXPECT_EQ(scanenv.gfreqwidth, 4u);
  EXPECT_EQ(scanroutine, ScanRoutines[2]);  // A3

  SetTable({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}});
  const std::string out = Rerun();
  EXPECT_NE(out.find("tmpcount = 3 != count = 4\n"), std::string::npos) << out;
  EXPECT_EQ(scanenv.rowdatanum, 0u);
  EXPECT_EQ(scanroutine, ScanRoutines[0]);  // A1
  ledconfig.scanvariant = 1;
  Rerun();
  EXPECT_EQ(scanroutine, ScanRoutines[3]);  // B1
  ledconfig.scanvariant = 0;

  // 9 is above the count of 5 and row 20 above sigheight: both become 0.
  // The provisional width was taken before the corrections: max(0, 1) + 1.
  SetTable({{0, 0}, {2, 0}, {3, 0}, {9, 0}, {1, 20}});
  const std::string uneven = Rerun();
  EXPECT_EQ(ledconfig.freqtable[3].column, 0);
  EXPECT_EQ(ledconfig.freqtable[4].row, 0);
  EXPECT_EQ(scanenv.rowdatanum, 0u);
  EXPECT_NE(uneven.find("gfreqwidth = 2 interval"), std::string::npos) << uneven;
  EXPECT_NE(uneven.find("deltax = -1\n"), std::string::npos) << uneven;

  // Counts outside the 512-entry table read only inside it.
  ledconfig.freqcount = 0;
  Rerun();
  ledconfig.freqcount = 100000;
  Rerun();
  EXPECT_EQ(ledconfig.freqcount, 100000u);
}

}  // namespace
}  // namespace ledview
