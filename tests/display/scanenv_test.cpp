#include <gtest/gtest.h>

#include <string>

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

TEST_F(EngineTest, ScanFiguresWithDefaults) {
  const std::string out = Init(256, 64, 1);
  EXPECT_EQ(out,
            "SetLedEnv: dmawidth = 32 tmpscanmode = 16 gsigheight = 16  gupdatanum = 2 "
            "gdowndatanum = 0 scanwidth = 256 scanpitch = 8192\n"
            "gfreqwidth = 8 interval = 65536 scanshift = 1\n"
            "curoedelay1 = 40 curoedelay2 = 60  pixelclkreg = 0x1041280\n"
            "gfreqwidth = 8 rowdatanum = 32 interval = 65536 scanshift = 1 deltax = 1\n");
  EXPECT_EQ(scanenv.scanwidth, 256u);
  EXPECT_EQ(scanenv.dmawidth, 32u);
  EXPECT_EQ(scanenv.scanmask, 15u);
  EXPECT_EQ(scanenv.fixed15, 15);
  EXPECT_EQ(scanroutine, ScanRoutines[1]);  // A2: regular single-row table
  EXPECT_EQ(scanenv.rowptr[3], framebuffer.pixels + 3 * 4096);
  // Width is rounded up to whole bytes of scan data.
  ReleasePreview();
  Init(250, 16, 1);
  EXPECT_EQ(scanenv.scanwidth, 256u);
  EXPECT_EQ(scanenv.dmawidth, 32u);
}

TEST_F(EngineTest, ScanPortSplit) {
  Init(64, 128, 4);
  EXPECT_EQ(scanenv.gupdatanum, 8u);
  EXPECT_EQ(scanenv.gdowndatanum, 0u);
  EXPECT_EQ(scanenv.scanshift, 2u);
  EXPECT_EQ(scanenv.scanpitch, 8192u);
  ReleasePreview();

  Init(64, 512, 2);
  EXPECT_EQ(scanenv.gupdatanum, 16u);
  EXPECT_EQ(scanenv.gdowndatanum, 16u);
  EXPECT_EQ(scanenv.scanpitch, 4096u);
  EXPECT_EQ(scanenv.scanshift, 1u);
  // The lower port's DMA table starts scanmode strides after the upper one.
  EXPECT_EQ(scanenv.dmalower[0][0] - scanenv.dmaupper[0][0], 4096u * 4 * 16);
}

TEST_F(EngineTest, ScanDmaTables) {
  Init(64, 32, 1);
  const uint32_t start = scanenv.dmaupper[0][0];
  const uint32_t end = start + 2 * kDmaHalfBytes;
  if (end < start) GTEST_SKIP() << "DMA area straddles the 512 MB address mask";
  const uint32_t stride = 8192 * 4;
  EXPECT_EQ(scanenv.dmaupper[1][0], start + kDmaHalfBytes);
  EXPECT_EQ(scanenv.dmaupper[0][15], start + 15 * stride);
  EXPECT_EQ(scanenv.dmaupper[1][15], start + kDmaHalfBytes + 15 * stride);
  EXPECT_EQ(scanenv.dmalower[0][0], start + 16 * stride);
  EXPECT_EQ(scanenv.dmalower[0][1], start + 17 * stride);
  // Half 1's lower table starts at the end of the area; its next entries wrap
  // to its own first entry.
  EXPECT_EQ(scanenv.dmalower[1][0], end);
  EXPECT_EQ(scanenv.dmalower[1][1], end);
}

TEST_F(EngineTest, ScanModeNormalisedAndIndicesClamped) {
  Init(64, 32, 1);
  ledconfig.scanmode = 3;
  ledconfig.oedelay = 9;
  ledconfig.pixelclk = 6;
  const std::string out = Rerun();
  EXPECT_NE(out.find("tmpscanmode = 16 "), std::string::npos) << out;
  EXPECT_NE(out.find("curoedelay1 = 1600 curoedelay2 = 2000  pixelclkreg = 0x10c6780\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(ledconfig.scanmode, 16);
  EXPECT_EQ(ledconfig.oedelay, 7);
  EXPECT_EQ(ledconfig.pixelclk, 4);

  ledconfig.scanmode = 8;
  Rerun();
  EXPECT_EQ(scanenv.scanmask, 7u);
  EXPECT_EQ(scanenv.scanwidth, 128u);  // 64 * (16 / 8)
  EXPECT_EQ(scanenv.scanpitch, 16384u);

  ledconfig.scanmode = 0;  // cannot divide by it; becomes 16
  Rerun();
  EXPECT_EQ(ledconfig.scanmode, 16);
}

TEST_F(EngineTest, ScanLineMapReversesOrderAndDropsBadLines) {
  Init(64, 32, 1);
  ledconfig.scanmode = 4;
  const int8_t order[4] = {0, 1, 9, -2};
  for (int i = 0; i < 4; ++i) ledconfig.scanorder[i] = order[i];
  Rerun();
  // Reversed: -2, 9, 1, 0; 9 is out of range (>= scanmode) and -2 + row 0 < 0.
  EXPECT_EQ(scanenv.linemap[0], 0);
  EXPECT_EQ(scanenv.linemap[1], 0);
  EXPECT_EQ(scanenv.linemap[2], 1);
  EXPECT_EQ(scanenv.linemap[3], 0);
}

void SetTable(std::initializer_list<FreqEntry> entries) {
  uint32_t i = 0;
  for (FreqEntry e : entries) ledconfig.freqtable[i++] = e;
  for (; i < 512; ++i) ledconfig.freqtable[i] = FreqEntry{0, 0};
  ledconfig.freqcount = static_cast<uint32_t>(entries.size());
}

TEST_F(EngineTest, ScanTableOfEqualRowsKeepsLastRunUnchecked) {
  Init(64, 32, 1);
  SetTable({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}});
  const std::string out = Rerun();
  EXPECT_EQ(out.find("tmpcount"), std::string::npos) << out;
  EXPECT_EQ(scanenv.rowdatanum, 4u);
  EXPECT_EQ(scanenv.gfreqwidth, 4u);
  EXPECT_EQ(scanroutine, ScanRoutines[2]);  // A3

  SetTable({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}});
  const std::string out2 = Rerun();
  EXPECT_NE(out2.find("tmpcount = 3 != count = 4\n"), std::string::npos) << out2;
  EXPECT_EQ(scanenv.rowdatanum, 0u);
  EXPECT_EQ(scanroutine, ScanRoutines[0]);  // A1

  ledconfig.scanvariant = 1;
  Rerun();
  EXPECT_EQ(scanroutine, ScanRoutines[3]);  // B1
}

TEST_F(EngineTest, ScanTableUnevenStepAndCorrections) {
  Init(64, 32, 1);
  SetTable({{0, 0}, {2, 0}, {3, 0}, {9, 0}, {1, 20}});
  const std::string out = Rerun();
  // 9 is above the count of 5 and row 20 above sigheight: both become 0.
  EXPECT_EQ(ledconfig.freqtable[3].column, 0);
  EXPECT_EQ(ledconfig.freqtable[4].row, 0);
  EXPECT_EQ(scanenv.deltax, -1);
  EXPECT_EQ(scanenv.rowdatanum, 0u);
  EXPECT_NE(out.find("deltax = -1\n"), std::string::npos) << out;
  // The provisional width was taken before the corrections: max(0, 1) + 1.
  EXPECT_NE(out.find("gfreqwidth = 2 interval"), std::string::npos) << out;
}

TEST_F(EngineTest, ScanTableCountOutsideTableIsBounded) {
  Init(64, 32, 1);
  ledconfig.freqcount = 0;
  Rerun();
  ledconfig.freqcount = 100000;
  Rerun();
  EXPECT_EQ(ledconfig.freqcount, 100000u);
}

}  // namespace
}  // namespace ledview
