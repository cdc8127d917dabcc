// JSON descriptions: what build makes of them, the errors it gives, and
// inspect's way back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview/billreader.h"
#include "ledview/describe.h"
#include "ledview/files.h"
#include "ledview/fonts.h"
#include "ledview/gbcode.h"
#include "ledview/picture.h"

namespace ledview::tool {
namespace {

const char* const kExamples[] = {"hello", "pictures", "clocks", "effects"};

std::vector<uint8_t> BuildExample(const std::string& name) {
  std::vector<uint8_t> bytes;
  SignSize sign;
  std::string error;
  EXPECT_TRUE(BuildFile(std::string(LEDVIEW_EXAMPLES) + "/" + name + ".json", &bytes, &sign, &error))
      << error;
  return bytes;
}

TEST(Describe, ExamplesBuildToTheCommittedBytes) {
  for (const char* name : kExamples) {
    std::vector<uint8_t> golden;
    std::string error;
    ASSERT_TRUE(ReadFile(std::string(LEDVIEW_GOLDEN) + "/" + name + ".bill", 1 << 20, &golden, &error))
        << error;
    const std::vector<uint8_t> first = BuildExample(name);
    EXPECT_EQ(first, golden) << name;
    EXPECT_EQ(BuildExample(name), first) << name << " builds differently the second time";
  }
}

// Inspect, write the JSON text, read it back and build: the same bytes.
void ExpectRoundTrip(const std::vector<uint8_t>& bytes, const std::string& what) {
  bill::Bill b;
  std::string error;
  ASSERT_TRUE(ReadBill(bytes, &b, &error)) << what << ": " << error;
  Json json;
  PendingFiles pictures;
  ASSERT_TRUE(DescribeBill(b, "x", &json, &pictures, &error)) << error;
  Json again;
  ASSERT_TRUE(ParseJson(JsonText(json), &again, &error)) << error;
  BuildContext context;
  context.pending = &pictures;
  bill::Bill rebuilt;
  SignSize sign;
  ASSERT_TRUE(BuildBill(again, context, &rebuilt, &sign, &error)) << what << ": " << error;
  EXPECT_EQ(rebuilt.Bytes(), bytes) << what << "\n" << JsonText(json);
}

TEST(Describe, InspectedExamplesBuildToTheSameBytes) {
  for (const char* name : kExamples) ExpectRoundTrip(BuildExample(name), name);
}

TEST(Describe, InspectKeepsWhatItsFieldsCannotSayAsBytes) {
  bill::Bill b;
  b.reserved = 77;
  b.trailing = {0xAA, 0xBB};
  bill::Component& c = b.AddPage(3, 200).AddArea(0, 0, 8, 8, 5).AddComponent(0, 0, 8, 8, 99);
  bill::BmpBlock padded;  // bits beyond the width are set
  padded.width = 3;
  padded.height = 2;
  padded.format = 1;
  padded.pitch = 1;
  padded.rows = {0xFF, 0x01};
  c.AddElement(1, bill::BmpBlockBytes(padded)).entryeffect = 27;
  bill::BmpBlock nibbles;  // four-bit values above 7 do not survive a PNG
  nibbles.width = 2;
  nibbles.height = 1;
  nibbles.format = 12;
  nibbles.pitch = 1;
  nibbles.rows = {0x9F};
  c.AddElement(1, bill::BmpBlockBytes(nibbles)).exiteffect = 300;
  bill::StringText nul;
  nul.text = std::string("a\0b", 3);
  c.AddElement(2, bill::StringTextBytes(nul));
  bill::StringText gb;
  gb.text = "\xD6\xD0\xCE\xC4";  // 中文
  gb.reserved[0] = 1;
  c.AddElement(2, bill::StringTextBytes(gb)).speed = 40;
  c.AddElement(9, {1, 2, 3});
  std::vector<uint8_t> longer = bill::AnalogClockBytes(bill::AnalogClock{});
  longer.push_back(0);  // a byte past the clock's fields
  c.AddElement(4, longer);
  bill::Timer odd;
  odd.month = 13;
  odd.digits.count = 11;
  odd.digits.width = 4;
  odd.digits.height = 2;
  odd.digits.pitch = 1;
  odd.digits.pixels.assign(22, 0x90);
  c.AddElement(3, bill::TimerBytes(odd));
  c.AddElement(7, {0, 0, 0, 0});  // too short for a strip
  ExpectRoundTrip(b.Bytes(), "odd bill");

  Json json;
  PendingFiles pictures;
  std::string error;
  ASSERT_TRUE(DescribeBill(b, "x", &json, &pictures, &error));
  const Json& elements = json["pages"][0]["areas"][0]["components"][0]["elements"];
  ASSERT_EQ(elements.size(), 8u) << JsonText(json);
  for (const char* key : {"payload", "textbytes", "text", "reserved", "target"}) {
    size_t n = 0;
    for (const Json& e : elements) n += e.contains(key) ? 1 : 0;
    ASSERT_GT(n, 0u) << key << "\n" << JsonText(json);
  }
  EXPECT_EQ(elements[0]["payload"], "0300020001000000010000" "00ff01");
  EXPECT_EQ(elements[0]["entry"], 27);
  EXPECT_TRUE(elements[1].contains("payload"));
  EXPECT_EQ(elements[1]["exit"], 300);
  EXPECT_EQ(elements[2]["textbytes"], "610062");
  EXPECT_EQ(elements[3]["text"], "中文");
  EXPECT_EQ(elements[3]["reserved"], "0100000000000000");
  EXPECT_EQ(elements[4]["type"], 9);
  EXPECT_TRUE(elements[5].contains("payload"));
  EXPECT_EQ(elements[6]["target"]["month"], 13);
  EXPECT_TRUE(elements[7].contains("payload"));
  EXPECT_EQ(json["trailing"], "aabb");
  EXPECT_EQ(json["pages"][0]["areas"][0]["static"], 5);
}

// Builds a description given as JSON text; the error, or "" when it built.
std::string BuildError(const std::string& text, const PendingFiles* files = nullptr) {
  Json json;
  std::string error;
  if (!ParseJson(text, &json, &error)) return "parse: " + error;
  BuildContext context;
  context.pending = files;
  context.basedir = "/nonexistent-ledview-dir";
  bill::Bill b;
  SignSize sign;
  return BuildBill(json, context, &b, &sign, &error) ? "" : error;
}

// One element, of the given fields, in the second area of a page on a 64x32
// sign.
std::string ElementError(const std::string& fields, const PendingFiles* files) {
  return BuildError(R"({"sign": {"width": 64, "height": 32},
    "pages": [{"areas": [{"components": [{"elements": [{"type": "string", "text": "a"}]}]},
                         {"components": [{"elements": [)" + fields + "]}]}]}]}",
                    files);
}

TEST(Describe, MistakesNameTheObjectPathAndTheField) {
  const std::string e = "pages[0].areas[1].components[0].elements[0]";
  struct Case {
    std::string fields;
    std::string error;
  } cases[] = {
      {R"({"type": "string", "text": "a", "entry": "SlideSideways"})",
       e + ".entry: unknown effect \"SlideSideways\""},
      {R"({"type": "string", "text": "a", "exit": "SlideLeft"})", e + ".exit: unknown effect \"SlideLeft\""},
      {R"({"type": "string", "text": "a", "speed": -1})",
       e + ".speed: -1 is not a whole number from 0 to 65535"},
      {R"({"type": "string", "text": "a", "stay": "long"})",
       e + ".stay: expected a whole number from 0 to 4294967295, found \"long\""},
      {R"({"type": "string", "text": "a", "colur": 1})", e + ".colur: unknown field for a string element"},
      {R"({"type": "string"})", e + ": give exactly one of text or textbytes"},
      {R"({"type": "string", "text": "ä"})", e + ".text: character \"ä\" (U+00E4) is not in GB2312"},
      {R"({"type": "strin", "text": "a"})",
       e + ".type: unknown element type \"strin\" (picture, string, timer, analogclock, "
           "digitalclock, animation, pagedpicture)"},
      {R"({"text": "a"})", e + ".type: missing"},
      {R"({"type": 8})", e + ".type: element types are 1..7; others need payload bytes"},
      {R"({"type": 2, "payload": "0g"})", e + ".payload: 'g' is not a hex digit"},
      {R"({"type": 2, "payload": "abc"})", e + ".payload: odd number of hex digits"},
      {R"({"type": 2, "payload": "00", "text": "a"})",
       e + ".text: unknown field (an element with payload bytes takes only header fields)"},
      {R"({"type": "picture", "png": "missing.png"})",
       e + ".png: /nonexistent-ledview-dir/missing.png: No such file or directory"},
      {R"({"type": "picture", "png": "bad.png"})",
       e + ".png: bad.png: not a readable PNG (read beyond end of data)"},
      {R"({"type": "picture", "text": "a", "font": "No Such Font 123"})",
       e + ".text: font \"No Such Font 123\" not found (fc-list shows the installed fonts)"},
      {R"({"type": "picture", "text": "a", "font": "/no/such/font.ttf"})",
       e + ".text: font file \"/no/such/font.ttf\" not found"},
      {R"({"type": "picture", "text": "a", "colour": "purple"})",
       e + ".colour: unknown colour \"purple\" (black, red, green, yellow, blue, magenta, cyan, "
           "white, or a number)"},
      {R"({"type": "picture", "text": "a", "colour": 9})",
       e + ".colour: a colour is 0..7; use format for more bits a pixel"},
      {R"({"type": "picture", "text": "ab", "font": ")" LEDVIEW_TEST_FONT R"(", "size": 16, "width": 20, "pitch": 2})",
       e + ".pitch: 2 is less than the 3 bytes a row of the picture needs"},
      {R"({"type": "picture", "png": "a.png", "text": "a"})", e + ": give exactly one of png or text"},
      {R"({"type": "animation"})", e + ": give frames (pictures) or texts"},
      {R"({"type": "animation", "frames": []})", e + ".frames: empty; the engine needs at least one"},
      {R"({"type": "animation", "frames": [{"png": "a.png", "width": 3}]})",
       e + ".frames[0].width: a PNG picture takes its size from the file"},
      {R"({"type": "timer", "target": "2030-13-01 00:00:00"})",
       e + ".target: expected \"YYYY-MM-DD hh:mm:ss\", found \"2030-13-01 00:00:00\""},
      {R"({"type": "timer", "format": "123456789"})", e + ".format: at most 8 letters"},
      {R"({"type": "timer", "digits": {"texts": ["0", "1"]}})",
       e + ".digits: 11 frames needed, found 2"},
      {R"({"type": "timer", "digits": {"texts": [1]}})", e + ".digits.texts[0]: expected a string"},
      {R"({"type": "analogclock", "hourwidth": 70000})",
       e + ".hourwidth: 70000 is not a whole number from 0 to 65535"},
      {R"([1])", e + ": expected an object { ... }"},
  };
  const PendingFiles files = {{"bad.png", {'n', 'o', 't', 'p', 'n', 'g'}}};
  for (const Case& c : cases) EXPECT_EQ(ElementError(c.fields, &files), c.error) << c.fields;
}

TEST(Describe, MistakesInPagesAreasAndComponents) {
  EXPECT_EQ(BuildError(R"({"pages": []})"), "pages: empty; the engine needs at least one");
  EXPECT_EQ(BuildError(R"({})"), "pages: missing");
  EXPECT_EQ(BuildError(R"({"pages": [], "extra": 1})"), "extra: unknown field");
  EXPECT_EQ(BuildError(R"({"pages": [{"areas": [{"components": []}]}]})"),
            "pages[0].areas[0].rect: missing (no sign size given to default to)");
  EXPECT_EQ(BuildError(R"({"sign": {"width": 64, "height": 32},
                           "pages": [{"areas": [{"rect": [60, 0, 5, 32], "components": []}]}]})"),
            "pages[0].areas[0].rect: reaches outside the 64x32 sign");
  EXPECT_EQ(BuildError(R"({"pages": [{"areas": [{"rect": [0, 0, 8], "components": []}]}]})"),
            "pages[0].areas[0].rect: expected [x, y, width, height], found [0,0,8]");
  EXPECT_EQ(BuildError(R"({"pages": [{"areas": [{"rect": [0, 0, 8, 8],
                           "components": [{"rect": [9, 0, 1, 1], "elements": []}]}]}]})"),
            "pages[0].areas[0].components[0].rect: starts outside its area");
  EXPECT_EQ(BuildError(R"({"pages": [{"playtime": 1.5, "areas": []}]})"),
            "pages[0].playtime: expected a whole number from -2147483648 to 2147483647, found 1.5");
  EXPECT_EQ(BuildError(R"({"sign": {"width": 64, "height": 32, "mode": 3}, "pages": [{"areas": [
                           {"static": "yes", "components": []}]}]})"),
            "pages[0].areas[0].static: expected a whole number from 0 to 4294967295 or "
            "true/false, found \"yes\"");
  EXPECT_EQ(BuildError(R"({"sign": {"width": 64, "height": 32, "mode": 5}, "pages": []})"),
            "sign.mode: 5 is not a whole number from 1 to 4");
  EXPECT_EQ(BuildError("{\n  \"pages\": [\n    {,}\n  ]\n}"),
            "parse: line 3, column 6: syntax error while parsing object key - unexpected ','; "
            "expected string literal");
}

TEST(Describe, EffectNamesFollowTheEffectTables) {
  EXPECT_EQ(EntryEffectByName("Instant"), 0);
  EXPECT_EQ(EntryEffectByName("SlideLeft"), 9);
  EXPECT_EQ(EntryEffectByName("slideleft"), 9);
  EXPECT_EQ(EntryEffectByName("DotOverlay"), 28);
  EXPECT_EQ(EntryEffectByName("ScrollLoopUp"), 52);
  EXPECT_EQ(EntryEffectByName("random"), 53);
  EXPECT_EQ(EntryEffectByName(""), -1);
  EXPECT_EQ(ExitEffectByName("none"), 0);
  EXPECT_EQ(ExitEffectByName("ClearInstant"), 1);
  EXPECT_EQ(ExitEffectByName("EraseToMiddleRow"), 9);
  EXPECT_EQ(ExitEffectByName("random"), 10);
  EXPECT_EQ(ExitEffectByName("Instant"), -1);
  // Every name leads back to its number; 26 and 27 have none of their own.
  for (uint32_t v = 0; v <= 53; ++v) {
    const std::string name = EntryEffectName(v);
    if (v == 26 || v == 27) {
      EXPECT_EQ(name, "");
    } else {
      EXPECT_EQ(EntryEffectByName(name), static_cast<int32_t>(v)) << v;
    }
  }
  for (uint32_t v = 0; v <= 10; ++v) EXPECT_EQ(ExitEffectByName(ExitEffectName(v)), static_cast<int32_t>(v));
  EXPECT_EQ(EntryEffectName(54), "");
  EXPECT_EQ(ExitEffectName(11), "");
}

TEST(GbCode, ConvertsBothWays) {
  std::string gb;
  std::string error;
  ASSERT_TRUE(Utf8ToGb("A中文。", &gb, &error)) << error;
  EXPECT_EQ(gb, "A\xD6\xD0\xCE\xC4\xA1\xA3");
  std::string utf8;
  ASSERT_TRUE(GbToUtf8(gb, &utf8));
  EXPECT_EQ(utf8, "A中文。");
  EXPECT_FALSE(Utf8ToGb("\xE4\xB8", &gb, &error));  // cut off
  EXPECT_EQ(error, "not UTF-8 at byte 0");
  EXPECT_FALSE(Utf8ToGb("\xC0\x80", &gb, &error));  // overlong NUL
  EXPECT_FALSE(Utf8ToGb("😀", &gb, &error));
  EXPECT_EQ(error, "character \"😀\" (U+1F600) is not in GB2312");
  EXPECT_FALSE(GbToUtf8("\x80", &utf8));          // a single byte the engine draws but UTF-8 cannot say
  EXPECT_FALSE(GbToUtf8("\xD6", &utf8));          // cut off
  EXPECT_FALSE(GbToUtf8("\xAA\xA1", &utf8));      // an unassigned row
  EXPECT_FALSE(GbToUtf8(std::string("a\0", 2), &utf8));
}

TEST(Pictures, PackAndUnpackEachFormat) {
  Picture p;
  p.width = 5;
  p.height = 2;
  p.pixels = {1, 0, 1, 1, 0, 0, 1, 0, 0, 1};
  std::vector<uint8_t> rows = PackRows(p, 3, 2);
  EXPECT_EQ(rows, (std::vector<uint8_t>{0xB0, 0x00, 0x48, 0x00}));
  Picture back = UnpackRows(rows.data(), 5, 2, 3, 2);
  EXPECT_EQ(back.pixels, p.pixels);

  p.pixels = {1, 2, 3, 0, 3, 0, 0, 0, 0, 2};
  rows = PackRows(p, 8, 2);  // first pixel in bits 0-1
  EXPECT_EQ(rows, (std::vector<uint8_t>{0x39, 0x03, 0x00, 0x02}));
  EXPECT_EQ(UnpackRows(rows.data(), 5, 2, 8, 2).pixels, p.pixels);

  p.pixels = {1, 15, 7, 0, 9, 0, 0, 0, 0, 4};
  rows = PackRows(p, 9, 3);  // first pixel in the low nibble
  EXPECT_EQ(rows, (std::vector<uint8_t>{0xF1, 0x07, 0x09, 0x00, 0x00, 0x04}));
  EXPECT_EQ(UnpackRows(rows.data(), 5, 2, 9, 3).pixels, p.pixels);
}

TEST(Pictures, PngKeepsOneBitAndColourPictures) {
  Picture p;
  p.width = 3;
  p.height = 2;
  p.pixels = {1, 0, 1, 0, 1, 0};
  for (uint32_t format : {0u, 1u, 4u, 7u}) {
    Picture back;
    std::string error;
    ASSERT_TRUE(PngToPicture(PictureToPng(p, format), format, &back, &error)) << error;
    EXPECT_EQ(back.pixels, p.pixels) << format;
  }
  p.pixels = {1, 2, 3, 4, 5, 7};
  Picture back;
  std::string error;
  ASSERT_TRUE(PngToPicture(PictureToPng(p, 9), 9, &back, &error));
  EXPECT_EQ(back.pixels, p.pixels);
  ASSERT_TRUE(PngToPicture(PictureToPng(p, 9), 8, &back, &error));
  EXPECT_EQ(back.pixels, (std::vector<uint8_t>{1, 2, 3, 0, 1, 3}));  // two bits kept
  EXPECT_FALSE(PngToPicture({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}, 1, &back, &error));
  EXPECT_NE(error.find("PNG"), std::string::npos);
}

TEST(Fonts, TextIsDrawnInOneBitAndMeasured) {
  TextStyle style;
  style.font = LEDVIEW_TEST_FONT;
  style.size = 16;
  Picture p;
  std::string error;
  ASSERT_TRUE(RenderText("I", style, &p, &error)) << error;
  ASSERT_GT(p.width, 0);
  // An upright stroke: some column is lit on most rows, nothing else is.
  int32_t best = 0;
  for (int32_t x = 0; x < p.width; ++x) {
    int32_t lit = 0;
    for (int32_t y = 0; y < p.height; ++y) lit += p.pixels[y * p.width + x];
    best = std::max(best, lit);
  }
  EXPECT_GE(best, 10);
  for (uint8_t v : p.pixels) EXPECT_LE(v, 1);

  Picture two;
  ASSERT_TRUE(RenderText("I\nI", style, &two, &error));
  EXPECT_EQ(two.height, 2 * p.height);
  EXPECT_EQ(two.width, p.width);

  style.width = 40;
  style.height = 30;
  style.align = TextAlign::Right;
  Picture boxed;
  ASSERT_TRUE(RenderText("I", style, &boxed, &error));
  EXPECT_EQ(boxed.width, 40);
  EXPECT_EQ(boxed.height, 30);
  int32_t rightmost = -1;
  for (int32_t i = 0; i < 40 * 30; ++i) {
    if (boxed.pixels[i]) rightmost = std::max(rightmost, i % 40);
  }
  EXPECT_GE(rightmost, 35);

  std::string path;
  EXPECT_TRUE(FindFont("DejaVu Sans", &path, &error)) << error;
  EXPECT_NE(path.find("DejaVuSans"), std::string::npos);
  EXPECT_FALSE(FindFont("Nonexistent Family 42", &path, &error));
  EXPECT_EQ(error, "font \"Nonexistent Family 42\" not found (fc-list shows the installed fonts)");
  style.size = 0;
  EXPECT_FALSE(RenderText("I", style, &boxed, &error));
  EXPECT_EQ(error, "text size 0 is outside 1..1024");
}

}  // namespace
}  // namespace ledview::tool
