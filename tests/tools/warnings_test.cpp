// The warnings of check, build, render and serve: each one for a show that
// plays otherwise than its author meant, and none for the show that is right.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "billfile/billwriter.h"
#include "format/playbill.h"
#include "ledview/describe.h"
#include "ledview/jsontext.h"
#include "ledview/picture.h"
#include "ledview/warnings.h"

namespace ledview::tool {
namespace {

std::string All(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

std::string Warn(const bill::Bill& b, int32_t mode = 4, std::vector<StringUpdate> strings = {}) {
  return All(ShowWarnings(b, ShowFacts{128, 32, mode, std::move(strings), ""}));
}

bill::StringText Text(uint32_t size, uint32_t colour = 1, uint16_t id = 0) {
  bill::StringText t;
  t.text = "Hi";
  t.fontsize = size;
  t.colour = colour;
  t.id = id;
  return t;
}

bill::FrameStrip Strip(uint16_t w, uint16_t h, uint32_t count, uint32_t format = 1, uint8_t fill = 0) {
  bill::FrameStrip s;
  s.count = count;
  s.width = w;
  s.height = h;
  s.format = format;
  s.pitch = bill::RowBytes(w, format);
  s.pixels.assign(static_cast<size_t>(s.pitch) * h * count, fill);
  return s;
}

bill::Timer Timer(const char* format, uint16_t digitwidth) {
  bill::Timer t;
  std::memset(t.format, 0, sizeof t.format);
  std::memcpy(t.format, format, std::strlen(format));
  t.digits = Strip(digitwidth, 12, 11);
  return t;
}

// One element in one component of one area, for each case.
bill::Bill One(uint16_t type, std::vector<uint8_t> payload, uint32_t staticflag = 0, uint16_t cw = 64,
               uint16_t ch = 16, uint32_t border = 0) {
  bill::Bill b;
  b.AddPage().AddArea(0, 0, 128, 32, staticflag).AddComponent(0, 0, cw, ch, border).AddElement(type, std::move(payload));
  return b;
}

TEST(Warnings, APageWithoutPlaytimeKeepsTheNextFromPlaying) {
  bill::Bill b;
  for (int32_t playtime : {5, 0, 3, 4}) {
    b.AddPage(playtime).AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16).AddElement(kElemString,
                                                                                     bill::StringTextBytes(Text(16)));
  }
  EXPECT_EQ(Warn(b), "warning: pages[1]: has no playtime, so it plays until stopped and pages[2..3] never play; "
                     "give it a \"playtime\" in seconds\n");
  b.pages[1].playtime = 2;
  b.pages[3].playtime = 0;  // the last page may stay
  EXPECT_EQ(Warn(b), "");
}

TEST(Warnings, ClocksAndTimersWantAStaticArea) {
  const auto clock = bill::AnalogClockBytes(bill::AnalogClock());
  EXPECT_NE(Warn(One(kElemAnalogClock, clock, 0, 32, 32)).find(
                "elements[0]: an analogclock redraws every second without clearing"),
            std::string::npos);
  EXPECT_EQ(Warn(One(kElemAnalogClock, clock, 1, 32, 32)), "");
  bill::DigitalClock d;
  std::memcpy(d.format, "hms", 3);
  d.digits = Strip(8, 12, 11);
  d.labels = Strip(8, 12, 11);
  EXPECT_NE(Warn(One(kElemDigitalClock, bill::DigitalClockBytes(d))).find("smears"), std::string::npos);
  EXPECT_EQ(Warn(One(kElemDigitalClock, bill::DigitalClockBytes(d), 1)), "");
  EXPECT_NE(Warn(One(kElemTimer, bill::TimerBytes(Timer("hms", 8)))).find("make the area static"), std::string::npos);
}

TEST(Warnings, TimerLettersAfterADayOrHourCountAreNotDrawn) {
  EXPECT_NE(Warn(One(kElemTimer, bill::TimerBytes(Timer("Dhms", 8)), 1)).find(
                "timer format \"Dhms\" draws only \"D\""),
            std::string::npos);
  EXPECT_NE(Warn(One(kElemTimer, bill::TimerBytes(Timer("Hm", 8)), 1)).find("draws only \"H\""), std::string::npos);
  EXPECT_EQ(Warn(One(kElemTimer, bill::TimerBytes(Timer("hmsD", 6)), 1)), "");
}

TEST(Warnings, TimersAndClocksMustFitInsideTheBorder) {
  // hh:mm:ss is 8 frames: 64 px of 8-px digits fit 64, not 63.
  EXPECT_EQ(Warn(One(kElemTimer, bill::TimerBytes(Timer("hms", 8)), 1, 64, 16)), "");
  EXPECT_NE(Warn(One(kElemTimer, bill::TimerBytes(Timer("hms", 8)), 1, 63, 16)).find(
                "the timer needs 64x12 for \"hms\", more than its component's 63x16"),
            std::string::npos);
  // A one-pixel border (type 2) takes 2 of the 66.
  EXPECT_EQ(Warn(One(kElemTimer, bill::TimerBytes(Timer("hms", 8)), 1, 66, 16, 2)), "");
  EXPECT_NE(Warn(One(kElemTimer, bill::TimerBytes(Timer("hms", 8)), 1, 65, 16, 2)).find("63x14 inside its border"),
            std::string::npos);
  bill::DigitalClock d;
  std::memcpy(d.format, "YMD", 3);  // 8 digits and 3 labels
  d.digits = Strip(6, 12, 11);
  d.labels = Strip(4, 12, 11);
  EXPECT_EQ(Warn(One(kElemDigitalClock, bill::DigitalClockBytes(d), 1, 60, 12)), "");
  EXPECT_NE(Warn(One(kElemDigitalClock, bill::DigitalClockBytes(d), 1, 59, 12)).find("the digital clock needs 60x12"),
            std::string::npos);
  const auto clock = bill::AnalogClockBytes(bill::AnalogClock());
  EXPECT_EQ(Warn(One(kElemAnalogClock, clock, 1, 10, 10)), "");
  EXPECT_NE(Warn(One(kElemAnalogClock, clock, 1, 40, 9)).find("an analog clock needs at least 10x10"),
            std::string::npos);
}

TEST(Warnings, TextAndPicturesMustFitInsideTheBorder) {
  const std::string cut = "will be cut";
  EXPECT_EQ(Warn(One(kElemString, bill::StringTextBytes(Text(24)), 0, 64, 32, 1)), "");  // 24 of 32 - 8
  EXPECT_NE(Warn(One(kElemString, bill::StringTextBytes(Text(24)), 0, 64, 31, 1)).find(
                "the 24 px text is taller than its component's 23 px inside its border and will be cut"),
            std::string::npos);
  const bill::BmpBlock p{60, 12, 1, 8, std::vector<uint8_t>(8 * 12, 0xFF)};
  EXPECT_EQ(Warn(One(kElemPicture, bill::BmpBlockBytes(p), 0, 66, 18, 3)), "");
  EXPECT_NE(Warn(One(kElemPicture, bill::BmpBlockBytes(p), 0, 65, 18, 3)).find(
                "the 60x12 picture is larger than its component's 59x12 inside its border"),
            std::string::npos);
  // Paged pictures likewise, by the size of one page.
  const std::vector<uint8_t> pages = bill::FrameStripBytes(Strip(60, 12, 3, 1, 0xFF));
  EXPECT_EQ(Warn(One(kElemPagedPicture, pages, 0, 66, 18, 3)), "");
  EXPECT_NE(Warn(One(kElemPagedPicture, pages, 0, 66, 17, 3)).find(
                "the 60x12 picture is larger than its component's 60x11 inside its border"),
            std::string::npos);
  // A scroll carries a larger picture through its component.
  bill::Bill scrolled = One(kElemPicture, bill::BmpBlockBytes(p), 0, 65, 18, 3);
  scrolled.pages[0].areas[0].components[0].elements[0].entryeffect = kEntryFirstScroll;
  EXPECT_EQ(Warn(scrolled), "");
}

TEST(Warnings, SmallTextSizesDrawAtSixteen) {
  EXPECT_NE(Warn(One(kElemString, bill::StringTextBytes(Text(12)))).find(
                "text size 12 is drawn 16 px tall"),
            std::string::npos);
  EXPECT_EQ(Warn(One(kElemString, bill::StringTextBytes(Text(16)))), "");
}

// Strings above 16 px are drawn with the outline font: characters it lacks
// show as empty boxes. Text at 16 px uses the bitmap font and is not checked.
TEST(Warnings, OutlineFontLacksTheCharacters) {
  bill::StringText t = Text(24);
  t.text = "\xD6\xD0\xCE\xC4";  // 中文 in the engine's codes
  const bill::Bill hanzi = One(kElemString, bill::StringTextBytes(t), 0, 64, 32);
  const std::string lacking = All(ShowWarnings(hanzi, ShowFacts{128, 32, 1, {}, LEDVIEW_TEST_FONT}));
  EXPECT_NE(lacking.find("warning: pages[0].areas[0].components[0].elements[0]: the font \"" LEDVIEW_TEST_FONT
                         "\" lacks \"\u4E2D\" (U+4E2D), \"\u6587\" (U+6587)"),
            std::string::npos)
      << lacking;
  EXPECT_EQ(All(ShowWarnings(hanzi, ShowFacts{128, 32, 1, {}, LEDVIEW_TEST_CJK_FONT})), "");
  EXPECT_EQ(All(ShowWarnings(hanzi, ShowFacts{128, 32, 1, {}, ""})), "");
  t.text = "Hi";
  EXPECT_EQ(All(ShowWarnings(One(kElemString, bill::StringTextBytes(t), 0, 64, 32),
                             ShowFacts{128, 32, 1, {}, LEDVIEW_TEST_FONT})),
            "");
  t = Text(16);
  t.text = "\xD6\xD0\xCE\xC4";
  EXPECT_EQ(All(ShowWarnings(One(kElemString, bill::StringTextBytes(t)), ShowFacts{128, 32, 1, {}, LEDVIEW_TEST_FONT})),
            "");
  EXPECT_EQ(OutlineChars(hanzi), (std::vector<uint32_t>{0x4E2D, 0x6587}));
}

TEST(Warnings, ColoursAModeTwoSignCannotShow) {
  EXPECT_NE(Warn(One(kElemString, bill::StringTextBytes(Text(16, 4))), 2).find(
                "text colour blue (4) needs blue LEDs, which a mode-2 sign (red and green) lacks: it stays dark"),
            std::string::npos);
  EXPECT_NE(Warn(One(kElemString, bill::StringTextBytes(Text(16, 6))), 2).find("it shows green"), std::string::npos);
  EXPECT_EQ(Warn(One(kElemString, bill::StringTextBytes(Text(16, 3))), 2), "");
  EXPECT_EQ(Warn(One(kElemString, bill::StringTextBytes(Text(16, 4))), 4), "");
  // A four-bit picture: two pixels with blue (values 4 and 7), one yellow.
  const bill::BmpBlock four{4, 1, kFormatFourBit, 2, {0x74, 0x03}};
  EXPECT_NE(Warn(One(kElemPicture, bill::BmpBlockBytes(four)), 2).find("2 pixels of the picture have blue"),
            std::string::npos);
  const bill::BmpBlock yellow{4, 1, kFormatFourBit, 2, {0x31, 0x23}};
  EXPECT_EQ(Warn(One(kElemPicture, bill::BmpBlockBytes(yellow)), 2), "");
  bill::AnalogClock c;
  c.second = 5;
  EXPECT_NE(Warn(One(kElemAnalogClock, bill::AnalogClockBytes(c), 1, 32, 32), 2).find(
                "clock colour magenta (5) needs blue LEDs, which a mode-2 sign (red and green) lacks: it shows red"),
            std::string::npos);
  c.second = 3;
  EXPECT_EQ(Warn(One(kElemAnalogClock, bill::AnalogClockBytes(c), 1, 32, 32), 2), "");
}

TEST(Warnings, MoreComponentsWaitingInSecondsThanTimers) {
  auto page = [](int32_t playtime, int32_t comps) {
    bill::Bill b;
    bill::Area& a = b.AddPage(playtime).AddArea(0, 0, 128, 32);
    for (int32_t i = 0; i < comps; ++i) {
      a.AddComponent(static_cast<uint16_t>(i * 4), 0, 4, 16)
          .AddElement(kElemPicture, bill::BmpBlockBytes(bill::BmpBlock{4, 4, 1, 1, std::vector<uint8_t>(4, 0)}))
          .staytime = 2;
    }
    return b;
  };
  EXPECT_EQ(Warn(page(0, 16)), "");
  EXPECT_EQ(Warn(page(5, 15)), "");
  EXPECT_EQ(Warn(page(5, 16)), "warning: pages[0]: 16 components wait in seconds (stay or delay), but the sign has "
                               "15 second timers for them (one of its 16 counts the page's playtime): the ones left "
                               "over freeze; move some to another page or use stay 0\n");
  EXPECT_NE(Warn(page(0, 17)).find("17 components wait in seconds"), std::string::npos);
  // A static area waits for nothing.
  bill::Bill b = page(0, 17);
  b.pages[0].areas[0].staticflag = 1;
  EXPECT_EQ(Warn(b), "");
}

TEST(Warnings, LiveStringsSetWhileTheirPageIsNotUp) {
  bill::Bill b;
  b.AddPage(5).AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16).AddElement(kElemString,
                                                                            bill::StringTextBytes(Text(16, 1, 1)));
  b.AddPage(3).AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16).AddElement(kElemString,
                                                                           bill::StringTextBytes(Text(16, 1, 2)));
  EXPECT_EQ(Warn(b, 4, {{1, "Gate", 3000}, {2, "Gate", 6000}, {1, "Gate", 9500}}), "");
  EXPECT_EQ(Warn(b, 4, {{1, "Gate", 5000}}),
            "warning: --string 1@5 s: pages[1] is up then and shows no string 1; the sign empties its live strings "
            "at every page change, so the text is lost; set it while a page that shows it is up\n");
  EXPECT_NE(Warn(b, 4, {{2, "Gate", 17500}}).find("--string 2@17.5 s: pages[0] is up"), std::string::npos);
  EXPECT_EQ(Warn(b, 4, {{9, "Gate", 1000}}),
            "warning: --string 9@1 s: no string element has id 9, so the text is never shown\n");
}

// build: an area of clocks alone is made static unless it says; a PNG
// without colour or format keeps its colours; a format that drops colours
// is warned of.
std::vector<uint8_t> Png(std::initializer_list<uint8_t> values) {
  Picture p;
  p.width = static_cast<int32_t>(values.size());
  p.height = 1;
  p.pixels = values;
  return PictureToPng(p, kFormatFourBit);
}

bool Build(const std::string& text, const PendingFiles& files, bill::Bill* b, std::vector<std::string>* warnings) {
  Json d;
  std::string error;
  EXPECT_TRUE(ParseJson(text, &d, &error)) << error;
  BuildContext context;
  context.pending = &files;
  context.pendingonly = true;
  context.warnings = warnings;
  SignSize sign;
  const bool ok = BuildBill(d, context, b, &sign, &error);
  EXPECT_TRUE(ok) << error;
  return ok;
}

TEST(Warnings, BuildMakesAnAreaOfClocksStatic) {
  const std::string area = R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{%s "components": [
      {"elements": [{"type": "analogclock"}, {"type": "timer"}]}, {"elements": [{"type": "digitalclock"}]}%s]}]}]})";
  auto make = [&](const char* staticfield, const char* more) {
    char text[1024];
    std::snprintf(text, sizeof text, area.c_str(), staticfield, more);
    bill::Bill b;
    std::vector<std::string> warnings;
    Build(text, {}, &b, &warnings);
    return b.pages.empty() ? 99u : b.pages[0].areas[0].staticflag;
  };
  EXPECT_EQ(make("", ""), 1u);
  EXPECT_EQ(make("\"static\": false,", ""), 0u);
  EXPECT_EQ(make("", R"(, {"elements": [{"type": "string", "text": "x"}]})"), 0u);
}

TEST(Warnings, BuildChoosesThePictureFormatFromThePngsColours) {
  const PendingFiles files = {{"red.png", Png({1, 0, 1})},    {"cyan.png", Png({6, 0, 6})},
                              {"rg.png", Png({1, 2, 3, 0})}, {"full.png", Png({1, 4, 7})},
                              {"dark.png", Png({0, 0})}};
  auto format = [&](const char* file, const char* more = "") {
    const std::string text = std::string(R"({"sign": {"width": 64, "height": 16}, "pages": [{"areas": [{"components": [
        {"elements": [{"type": "picture", "png": ")") + file + "\"" + more + "}]}]}]}]}";
    bill::Bill b;
    std::vector<std::string> warnings;
    if (!Build(text, files, &b, &warnings)) return std::string("failed");
    bill::BmpBlock block;
    const bill::Element& e = b.pages[0].areas[0].components[0].elements[0];
    block.format = e.payload[4];
    return std::to_string(block.format) + (warnings.empty() ? "" : " " + warnings[0]);
  };
  EXPECT_EQ(format("red.png"), "1");
  EXPECT_EQ(format("cyan.png"), "6");
  EXPECT_EQ(format("dark.png"), "1");
  EXPECT_EQ(format("rg.png"), "8");
  EXPECT_EQ(format("full.png"), "9");
  EXPECT_EQ(format("rg.png", R"(, "colour": "green")"),
            "2 warning: pages[0].areas[0].components[0].elements[0].png: rg.png has 3 colours; colour green draws "
            "them all in one; leave out colour and format to keep them");
  EXPECT_NE(format("full.png", R"(, "format": 8)").find("which format 8 (red, green, yellow) cannot hold"),
            std::string::npos);
  EXPECT_EQ(format("red.png", R"(, "colour": "green")"), "2");
  // An animation's frames choose one format for all.
  auto strip = [&](const char* a, const char* b) {
    const std::string text = std::string(R"({"sign": {"width": 64, "height": 16}, "pages": [{"areas": [{"components": [
        {"elements": [{"type": "animation", "frames": [{"png": ")") + a + R"("}, {"png": ")" + b + R"("}]}]}]}]}]})";
    bill::Bill built;
    std::vector<std::string> warnings;
    if (!Build(text, files, &built, &warnings)) return -1;
    return static_cast<int32_t>(built.pages[0].areas[0].components[0].elements[0].payload[8]);
  };
  EXPECT_EQ(strip("cyan.png", "cyan.png"), 6);
  EXPECT_EQ(strip("red.png", "rg.png"), 8);
  EXPECT_EQ(strip("red.png", "full.png"), 9);
}

}  // namespace
}  // namespace ledview::tool
