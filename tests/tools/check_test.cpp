// `ledview check`: warnings for content the sign will not show whole.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "billfile/billwriter.h"
#include "ledview/args.h"
#include "ledview/check.h"

namespace ledview::tool {
namespace {

std::string Report(const std::vector<uint8_t>& bytes, int32_t width, int32_t height, bool* valid) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  *valid = CheckBill(bytes, width, height, 1, out);
  std::fclose(out);
  std::string report(text, size);
  std::free(text);
  return report;
}

std::string Warnings(const std::string& report) {
  std::string lines;
  size_t at = 0;
  while ((at = report.find("warning: ", at)) != std::string::npos) {
    const size_t end = report.find('\n', at);
    lines += report.substr(at, end - at + 1);
    at = end;
  }
  return lines;
}

// One line for each thing that will be cut or clamped, with its path; the
// playbill stays valid. A scroll carries a wide picture through, so it is
// not warned of, and neither is content that fits.
TEST(Check, WarnsOfContentTheSignCuts) {
  bill::Bill b;
  bill::Area& a = b.AddPage().AddArea(0, 0, 64, 16);
  bill::Component& c = a.AddComponent(0, 0, 64, 16);
  const bill::BmpBlock wide{619, 48, 1, 78, std::vector<uint8_t>(78 * 48, 0xFF)};
  const bill::BmpBlock fits{64, 16, 1, 8, std::vector<uint8_t>(8 * 16, 0xFF)};
  c.AddElement(kElemPicture, bill::BmpBlockBytes(wide));
  c.AddElement(kElemPicture, bill::BmpBlockBytes(wide)).entryeffect = kEntryFirstScroll + 5;
  c.AddElement(kElemPicture, bill::BmpBlockBytes(fits)).speed = 12;
  bill::StringText tall;
  tall.text = "Hi";
  tall.fontsize = 24;
  c.AddElement(kElemString, bill::StringTextBytes(tall));
  tall.fontsize = 16;
  c.AddElement(kElemString, bill::StringTextBytes(tall)).speed = kMaxSpeed;
  const bill::BmpBlock small{8, 8, 1, 1, std::vector<uint8_t>(8, 0xFF)};
  a.AddComponent(50, 0, 20, 16).AddElement(kElemPicture, bill::BmpBlockBytes(small));
  b.pages[0].AddArea(60, 8, 10, 16).AddComponent(0, 0, 10, 16).AddElement(kElemString, bill::StringTextBytes(tall));
  bool valid = false;
  const std::string report = Report(b.Bytes(), 64, 16, &valid);
  EXPECT_TRUE(valid) << report;
  const std::string p = "warning: pages[0].areas[0].components[0].elements";
  EXPECT_EQ(Warnings(report),
            p + "[0]: the 619x48 picture is larger than its component's 64x16 and will be cut; make it smaller or scroll it in\n" +
                p + "[2]: speed 12 is played as 8\n" +
                p + "[3]: the 24 px text is taller than its component's 16 px and will be cut\n"
                "warning: pages[0].areas[0].components[1]: reaches outside its 64x16 area; that part is not shown\n"
                "warning: pages[0].areas[1]: reaches outside the 64x16 sign; that part is not shown\n")
      << report;
}

// Each edge counts alone: an area past only the sign's bottom or only its
// right edge, a component past only its area's bottom or right edge.
TEST(Check, EveryEdgeIsCheckedOnItsOwn) {
  bill::Bill b;
  const bill::BmpBlock dot{8, 8, 1, 1, std::vector<uint8_t>(8, 0xFF)};
  bill::Page& page = b.AddPage();
  page.AddArea(0, 8, 16, 16).AddComponent(0, 0, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
  page.AddArea(56, 0, 16, 8).AddComponent(0, 0, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
  bill::Area& inside = page.AddArea(16, 0, 16, 16);
  inside.AddComponent(0, 10, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
  inside.AddComponent(10, 0, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
  inside.AddComponent(8, 8, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
  bool valid = false;
  const std::string report = Report(b.Bytes(), 64, 16, &valid);
  EXPECT_TRUE(valid) << report;
  EXPECT_EQ(Warnings(report),
            "warning: pages[0].areas[0]: reaches outside the 64x16 sign; that part is not shown\n"
            "warning: pages[0].areas[1]: reaches outside the 64x16 sign; that part is not shown\n"
            "warning: pages[0].areas[2].components[0]: reaches outside its 16x16 area; that part is not shown\n"
            "warning: pages[0].areas[2].components[1]: reaches outside its 16x16 area; that part is not shown\n")
      << report;
}

// A page plays at most 256 elements: one more makes the playbill unplayable.
TEST(Check, APageOfMoreThan256ElementsDoesNotPlay) {
  const bill::BmpBlock dot{8, 8, 1, 1, std::vector<uint8_t>(8, 0xFF)};
  for (const int count : {256, 257}) {
    bill::Bill b;
    bill::Component& c = b.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8);
    for (int i = 0; i < count; ++i) c.AddElement(kElemPicture, bill::BmpBlockBytes(dot));
    bool valid = false;
    const std::string report = Report(b.Bytes(), 64, 16, &valid);
    EXPECT_EQ(valid, count == 256) << count << " elements\n" << report;
    EXPECT_EQ(report.find("the engine plays at most 32 areas, 128 components and 256 elements on a page") != std::string::npos,
              count == 257)
        << report;
  }
}

// The engine loads 16 pages; a 17th makes the playbill unplayable.
TEST(Check, SixteenPagesPlayASeventeenthDoesNot) {
  bill::Bill b;
  const bill::BmpBlock dot{8, 8, 1, 1, std::vector<uint8_t>(8, 0xFF)};
  for (int i = 0; i < 17; ++i) {
    b.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(kElemPicture, bill::BmpBlockBytes(dot));
    bool valid = false;
    const std::string report = Report(b.Bytes(), 64, 16, &valid);
    EXPECT_EQ(valid, i < 16) << i + 1 << " pages\n" << report;
    EXPECT_EQ(report.find("the engine loads at most 16 pages") != std::string::npos, i == 16) << report;
  }
}

// A string is listed by its first 40 characters; a longer one ends in "...".
TEST(Check, StringsAreListedUpToFortyCharacters) {
  bill::Bill b;
  bill::Component& c = b.AddPage().AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16);
  bill::StringText t;
  t.text = std::string(40, 'a');
  c.AddElement(kElemString, bill::StringTextBytes(t));
  t.text = std::string(41, 'b');
  c.AddElement(kElemString, bill::StringTextBytes(t));
  bool valid = false;
  const std::string report = Report(b.Bytes(), 64, 16, &valid);
  EXPECT_NE(report.find(": \"" + std::string(40, 'a') + "\" size"), std::string::npos) << report;
  EXPECT_NE(report.find(": \"" + std::string(40, 'b') + "...\" size"), std::string::npos) << report;
}

// A playbill file names no sign: it is read off the content, as wide and
// tall as the areas reach, in the colour mode its colours need.
TEST(Check, APlaybillsSignIsReadOffItsContent) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("ledview-sign-" + std::to_string(getpid()) + ".bill");
  for (const auto& [colour, mode] : {std::pair<uint32_t, int32_t>{1, 1}, {2, 2}, {3, 2}, {4, 4}, {6, 4}}) {
    SCOPED_TRACE(testing::Message() << "colour " << colour);
    bill::Bill b;
    bill::StringText t;
    t.text = "x";
    t.colour = colour;
    b.AddPage().AddArea(8, 4, 16, 8).AddComponent(0, 0, 16, 8).AddElement(kElemString, bill::StringTextBytes(t));
    b.pages[0].AddArea(0, 0, 8, 4);
    const std::vector<uint8_t> bytes = b.Bytes();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    std::vector<uint8_t> read;
    SignSize sign;
    std::string error;
    ASSERT_TRUE(LoadInput(path.string(), &read, &sign, &error)) << error;
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(sign.width, 24);
    EXPECT_EQ(sign.height, 12);
    EXPECT_EQ(sign.mode, mode);
    EXPECT_TRUE(sign.fromcontent);
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace ledview::tool
