#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

std::string Rerun(std::initializer_list<FreqEntry> table = {}) {
  uint32_t i = 0;
  for (FreqEntry e : table) ledconfig.freqtable[i++] = e;
  if (table.size() != 0) ledconfig.freqcount = static_cast<uint32_t>(table.size());
  testing::internal::CaptureStdout();
  SetLedEnv();
  return testing::internal::GetCapturedStdout();
}

// The report a host sees; indices past their tables clamped; the column table deciding the scan routine:
// a grid of equal rows, rows of different lengths (reported), an uneven step; then the scan figures.
TEST_F(EngineTest, ScanReportCorrectionsAndFigures) {
  EXPECT_EQ(Init(256, 64, 1),
            "SetLedEnv: dmawidth = 32 tmpscanmode = 16 gsigheight = 16  gupdatanum = 2 "
            "gdowndatanum = 0 scanwidth = 256 scanpitch = 8192\n"
            "gfreqwidth = 8 interval = 65536 scanshift = 1\n"
            "curoedelay1 = 40 curoedelay2 = 60  pixelclkreg = 0x1041280\n"
            "gfreqwidth = 8 rowdatanum = 32 interval = 65536 scanshift = 1 deltax = 1\n");
  EXPECT_EQ(scanroutine, ScanRoutines[1]);  // A2: regular single-row table

  ledconfig.scanmode = 0;  // neither a scan mode nor a divisor: 16
  ledconfig.oedelay = 9;
  ledconfig.pixelclk = 6;
  EXPECT_NE(Rerun().find("curoedelay1 = 1600 curoedelay2 = 2000  pixelclkreg = 0x10c6780\n"), std::string::npos);
  EXPECT_EQ(ledconfig.scanmode, 16);

  EXPECT_EQ(Rerun({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}}).find("tmpcount"), std::string::npos);
  EXPECT_EQ(std::make_tuple(scanenv.rowdatanum, scanenv.gfreqwidth), std::make_tuple(4u, 4u));
  EXPECT_EQ(scanroutine, ScanRoutines[2]);  // A3
  const std::string ragged = Rerun({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}});
  EXPECT_NE(ragged.find("tmpcount = 3 != count = 4\n"), std::string::npos) << ragged;
  EXPECT_EQ(scanroutine, ScanRoutines[0]);  // A1
  ledconfig.scanvariant = 1;
  Rerun();
  EXPECT_EQ(scanroutine, ScanRoutines[3]);  // B1

  // Column 9 > count 5 and row 20 > sigheight become 0, after the provisional width max(0, 1) + 1.
  const std::string uneven = Rerun({{0, 0}, {2, 0}, {3, 0}, {9, 0}, {1, 20}});
  EXPECT_EQ(std::make_tuple(ledconfig.freqtable[3].column, ledconfig.freqtable[4].row), std::make_tuple(0, 0));
  EXPECT_NE(uneven.find("gfreqwidth = 2 interval"), std::string::npos) << uneven;
  EXPECT_NE(uneven.find("rowdatanum = 0 interval = 65536 scanshift = 1 deltax = -1\n"), std::string::npos) << uneven;

  ledconfig.freqcount = 0;  // counts outside the 512-entry table read only inside it
  Rerun();
  ledconfig.freqcount = 100000;
  Rerun();
  EXPECT_EQ(ledconfig.freqcount, 100000u);

  // Scan width in whole bytes; row groups rounded up and split over the upper and lower data port.
  const std::tuple<int32_t, int32_t, int32_t, const char*> signs[] = {
      {250, 600, 1, "gupdatanum = 16 gdowndatanum = 3 scanwidth = 256 scanpitch = 4096\n"},
      {64, 128, 4, "gupdatanum = 8 gdowndatanum = 0 scanwidth = 64 scanpitch = 8192\n"
                   "gfreqwidth = 8 interval = 65536 scanshift = 2\n"}};
  for (const auto& [w, h, mode, figures] : signs) {
    ReleasePreview();
    const std::string report = Init(w, h, mode);
    EXPECT_NE(report.find(figures), std::string::npos) << report;
  }
}

}  // namespace
}  // namespace ledview
