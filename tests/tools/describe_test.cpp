// JSON descriptions: the errors build gives, and inspect's way back.
#include <gtest/gtest.h>

#include "billfile/billreader.h"
#include "ledview/describe.h"
#include "ledview/gbcode.h"
#include "ledview/picture.h"

namespace ledview::tool {
namespace {

// Every element kind with a different value in every field, and what the
// named fields cannot say kept as bytes: padding bits, 4-bit values above 7,
// NUL in a text, unknown types, longer or shorter payloads, odd dates. Inspect,
// write the JSON text, read it back and build: the same bytes.
TEST(Describe, InspectAndBuildGiveTheSameBytes) {
  bill::Bill b, read, rebuilt;
  b.reserved = 77, b.trailing = {0xAA, 0xBB};
  bill::Component& c = b.AddPage(3, 200).AddArea(1, 2, 40, 30, 5).AddComponent(3, 4, 20, 10, 99);
  bill::Element& first = c.AddElement(1, bill::BmpBlockBytes({3, 2, 12, 2, {0xF9, 0xFF, 0x12, 0x30}}));
  first.delaytime = 5, first.speed = 6, first.entryeffect = 27, first.staytime = 8, first.exiteffect = 300;
  bill::StringText text{.id = 2, .singleline = 0, .colour = 3, .reserved = {1}, .text = "\xD6\xD0\xCE\xC4", .fontsize = 12};
  c.AddElement(2, bill::StringTextBytes(text)).entryeffect = 9;  // 中文
  text.text = std::string("a\0b", 3);
  c.AddElement(2, bill::StringTextBytes(text)).exiteffect = 4;
  const bill::FrameStrip digits{11, 4, 3, 1, 1, std::vector<uint8_t>(33, 0x90)};
  c.AddElement(3, bill::TimerBytes({0, 2031, 13, 3, 4, 5, 6, "hh:mm", digits}));
  c.AddElement(4, bill::AnalogClockBytes({2, 3, 4, 5, 6, 7, 9, 8}));
  c.AddElement(4, bill::AnalogClockBytes({2, 3, 4, 5, 6, 7, 9, 8})).payload.push_back(0);
  c.AddElement(5, bill::DigitalClockBytes({3, "YYYY", digits, {12, 5, 2, 2, 1, std::vector<uint8_t>(24, 0x40)}}));
  c.AddElement(6, bill::FrameStripBytes({2, 3, 2, 4, 1, {0xE0, 0xA0, 0x40, 0x20}}));
  c.AddElement(7, bill::FrameStripBytes({3, 9, 1, 1, 2, {0xFF, 0x80, 0x01, 0x00, 0x55, 0x80}}));
  c.AddElement(7, {0, 0, 0, 0});  // too short for a strip
  c.AddElement(9, {1, 2, 3});
  c.AddElement(1, bill::BmpBlockBytes({5, 2, 2, 1, {0xE0, 0x48}}));  // a plain picture
  Json json, again;
  PendingFiles pictures;
  SignSize sign;
  std::string error;
  ASSERT_TRUE(ReadBill(b.Bytes(), &read, &error) && DescribeBill(read, "x", &json, &pictures, &error) &&
              ParseJson(JsonText(json), &again, &error) &&
              BuildBill(again, {.basedir = {}, .pending = &pictures}, &rebuilt, &sign, &error)) << error;
  EXPECT_EQ(rebuilt.Bytes(), b.Bytes()) << JsonText(json);
  const Json& e = json["pages"][0]["areas"][0]["components"][0]["elements"];
  EXPECT_EQ(e[1]["text"], "中文") << JsonText(json);
  EXPECT_EQ(e[2]["textbytes"], "610062");
}

// The middle dot, em dash and double vertical line of Chinese text convert to
// their usual GB2312 codes; what the table has keeps its own code both ways.
TEST(Describe, TextConversionTakesCommonChinesePunctuation) {
  std::string gb, error, back;
  ASSERT_TRUE(Utf8ToGb("a·b—c‖", &gb, &error)) << error;
  EXPECT_EQ(gb, "a\xA1\xA4" "b\xA1\xAA" "c\xA1\xAC");
  ASSERT_TRUE(Utf8ToGb("中文", &gb, &error)) << error;
  ASSERT_TRUE(GbToUtf8(gb, &back));
  EXPECT_EQ(back, "中文");
  EXPECT_FALSE(Utf8ToGb("€", &gb, &error));
  EXPECT_EQ(error, "character \"€\" (U+20AC) is not in GB2312");
}

// Mistakes name the object path and the field. Texts not starting with '{'
// are the fields of an element, second in its page so that paths count.
TEST(Describe, MistakesNameThePathAndTheField) {
  const std::string e = "pages[0].areas[1].components[0].elements[0]";
  const struct { std::string json, error; } cases[] = {
      {R"("type": "string", "text": "a", "speed": -1)", e + ".speed: -1 is not a whole number from 0 to 65535"},
      {R"("type": "string", "text": "a", "colur": 1)", e + ".colur: unknown field for a string element"},
      {R"("type": "string")", e + ": give exactly one of text or textbytes"},
      {R"("type": "string", "text": "ä")", e + ".text: character \"ä\" (U+00E4) is not in GB2312"},
      {R"("type": "strin")", e + ".type: unknown element type \"strin\" (picture, string, timer, analogclock, digitalclock, animation, pagedpicture)"},
      {R"("type": 8)", e + ".type: element types are 1..7; others need payload bytes"},
      {R"("type": 2, "payload": "0g")", e + ".payload: 'g' is not a hex digit"},
      {R"("type": "picture", "png": "missing.png")", e + ".png: /nonexistent-ledview-dir/missing.png: No such file or directory"},
      {R"("type": "picture", "text": "a", "colour": "purple")",
       e + ".colour: unknown colour \"purple\" (black, red, green, yellow, blue, magenta, cyan, white, or a number)"},
      {R"("type": "picture", "text": "ab", "font": ")" LEDVIEW_TEST_FONT R"(", "size": 16, "width": 20, "pitch": 2)",
       e + ".pitch: 2 is less than the 3 bytes a row of the picture needs"},
      {R"("type": "animation", "frames": [{"png": "a.png", "width": 3}])", e + ".frames[0].width: a PNG picture takes its size from the file"},
      {R"("type": "timer", "target": "2030-13-01 00:00:00")", e + ".target: expected \"YYYY-MM-DD hh:mm:ss\", found \"2030-13-01 00:00:00\""},
      {R"("type": "timer", "digits": {"texts": ["0", "1"]})", e + ".digits: 11 frames needed, found 2"},
      {R"({"pages": []})", "pages: empty; the engine needs at least one"},
      {R"({"pages": [{"areas": [{"components": []}]}]})", "pages[0].areas[0].rect: missing (no sign size given to default to)"},
      {R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{"rect": [60, 0, 5, 32], "components": []}]}]})",
       "pages[0].areas[0].rect: reaches outside the 64x32 sign"},
      {R"({"pages": [{"playtime": 1.5, "areas": []}]})", "pages[0].playtime: expected a whole number from -2147483648 to 2147483647, found 1.5"},
  };
  for (const auto& c : cases) {
    Json json;
    bill::Bill b;
    SignSize sign;
    std::string error;
    ASSERT_TRUE(ParseJson(c.json[0] == '{' ? c.json : R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [
        {"components": [{"elements": [{"type": "string", "text": "a"}]}]}, {"components": [{"elements": [{)" + c.json + "}]}]}]}]}", &json, &error)) << error;
    EXPECT_FALSE(BuildBill(json, {.basedir = "/nonexistent-ledview-dir"}, &b, &sign, &error));
    EXPECT_EQ(error, c.error) << c.json;
  }
}

// The first and last lit columns of a built picture element.
struct Ink {
  int32_t width = 0;
  int32_t first = -1;
  int32_t last = -1;
};

Ink BuildAligned(const std::string& fields) {
  Json json;
  bill::Bill b;
  SignSize sign;
  std::string error;
  const std::string text = R"({"sign": {"width": 64, "height": 16}, "pages": [{"areas": [{"components": [
      {"rect": [0, 0, 40, 16], "elements": [{)" + fields + "}]}]}]}]}";
  Ink ink;
  if (!ParseJson(text, &json, &error) || !BuildBill(json, {}, &b, &sign, &error)) {
    ADD_FAILURE() << error;
    return ink;
  }
  const bill::Element& e = b.pages[0].areas[0].components[0].elements[0];
  bill::BmpBlock block;
  bill::FrameStrip strip;
  bill::DigitalClock clock;
  Picture p;
  if (e.elemtype == kElemPicture && DecodeBmpBlock(e.payload, &block)) {
    p = UnpackRows(block.rows.data(), block.width, block.height, block.format, block.pitch);
  } else if (e.elemtype == kElemPagedPicture && DecodeFrameStrip(e.payload, 0, &strip)) {
    p = UnpackRows(strip.pixels.data(), strip.width, strip.height, strip.format, strip.pitch);
  } else if (e.elemtype == kElemDigitalClock && DecodeDigitalClock(e.payload, &clock)) {
    p = UnpackRows(clock.digits.pixels.data(), clock.digits.width, clock.digits.height,
                   clock.digits.format, clock.digits.pitch);
  } else {
    ADD_FAILURE() << "no picture in element type " << e.elemtype;
  }
  ink.width = p.width;
  for (int32_t x = 0; x < p.width; ++x) {
    for (int32_t y = 0; y < p.height; ++y) {
      if (p.pixels[static_cast<size_t>(y) * p.width + x] == 0) continue;
      if (ink.first < 0) ink.first = x;
      ink.last = x;
    }
  }
  return ink;
}

// Text given an "align" but no "width" aligns within its component: the
// picture takes the component's width; a width of its own wins; a clock's
// digits still align within the widest digit.
TEST(Describe, AlignWithoutWidthAlignsWithinTheComponent) {
  const std::string font = R"("font": ")" LEDVIEW_TEST_FONT R"(", "size": 12)";
  const Ink centre = BuildAligned(font + R"(, "type": "picture", "text": "ab", "align": "centre")");
  EXPECT_EQ(centre.width, 40);
  EXPECT_LE(std::abs(centre.first - (39 - centre.last)), 1) << centre.first << " " << centre.last;
  const Ink right = BuildAligned(font + R"(, "type": "picture", "text": "ab", "align": "right")");
  EXPECT_EQ(right.width, 40);
  EXPECT_GE(right.last, 38);
  EXPECT_GT(right.first, 20);
  EXPECT_LT(BuildAligned(font + R"(, "type": "picture", "text": "ab")").width, 20);
  EXPECT_EQ(BuildAligned(font + R"(, "type": "picture", "text": "ab", "align": "centre", "width": 30)").width, 30);
  const Ink paged = BuildAligned(font + R"(, "type": "pagedpicture", "texts": ["a", "b"], "align": "centre")");
  EXPECT_EQ(paged.width, 40);
  EXPECT_GT(paged.first, 10);
  EXPECT_LT(BuildAligned(R"("type": "digitalclock", "digits": {)" + font + R"(, "align": "right"}, "labels": {)" +
                         font + "}").width, 20);
}

}  // namespace
}  // namespace ledview::tool
