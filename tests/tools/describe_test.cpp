// JSON descriptions: what build makes of them, the errors it gives, and
// inspect's way back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview/billreader.h"
#include "ledview/describe.h"
#include "ledview/files.h"

namespace ledview::tool {
namespace {

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

// Every example builds to its committed bytes, the same each time, and
// survives inspect.
TEST(Describe, ExamplesBuildToTheCommittedBytesAndBack) {
  for (const char* name : {"hello", "pictures", "clocks", "effects"}) {
    std::vector<uint8_t> golden, first, second;
    SignSize sign;
    std::string error;
    ASSERT_TRUE(ReadFile(std::string(LEDVIEW_GOLDEN) + "/" + name + ".bill", 1 << 20, &golden, &error)) << error;
    const std::string json = std::string(LEDVIEW_EXAMPLES) + "/" + name + ".json";
    ASSERT_TRUE(BuildFile(json, &first, &sign, &error)) << error;
    ASSERT_TRUE(BuildFile(json, &second, &sign, &error)) << error;
    EXPECT_EQ(first, golden) << name;
    EXPECT_EQ(second, first) << name << " builds differently the second time";
    ExpectRoundTrip(first, name);
  }
}

// What the named fields cannot say survives as bytes: padding bits, 4-bit
// values above 7, NUL in a text, unknown types, longer payloads, odd dates.
TEST(Describe, InspectKeepsWhatItsFieldsCannotSayAsBytes) {
  bill::Bill b;
  b.reserved = 77;
  b.trailing = {0xAA, 0xBB};
  bill::Component& c = b.AddPage(3, 200).AddArea(0, 0, 8, 8, 5).AddComponent(0, 0, 8, 8, 99);
  c.AddElement(1, bill::BmpBlockBytes({3, 2, 1, 1, {0xFF, 0x01}})).entryeffect = 27;
  c.AddElement(1, bill::BmpBlockBytes({2, 1, 12, 1, {0x9F}})).exiteffect = 300;
  bill::StringText nul;
  nul.text = std::string("a\0b", 3);
  c.AddElement(2, bill::StringTextBytes(nul));
  bill::StringText gb;
  gb.text = "\xD6\xD0\xCE\xC4";  // 中文
  gb.reserved[0] = 1;
  c.AddElement(2, bill::StringTextBytes(gb)).speed = 40;
  c.AddElement(9, {1, 2, 3});
  std::vector<uint8_t> longer = bill::AnalogClockBytes(bill::AnalogClock{});
  longer.push_back(0);
  c.AddElement(4, longer);
  bill::Timer odd;
  odd.month = 13;
  odd.digits = {11, 4, 2, 1, 1, std::vector<uint8_t>(22, 0x90)};
  c.AddElement(3, bill::TimerBytes(odd));
  c.AddElement(7, {0, 0, 0, 0});  // too short for a strip
  ExpectRoundTrip(b.Bytes(), "odd bill");

  Json json;
  PendingFiles pictures;
  std::string error;
  ASSERT_TRUE(DescribeBill(b, "x", &json, &pictures, &error));
  const Json& e = json["pages"][0]["areas"][0]["components"][0]["elements"];
  ASSERT_EQ(e.size(), 8u) << JsonText(json);
  EXPECT_EQ(e[0]["payload"], "0300020001000000010000" "00ff01");
  EXPECT_EQ(e[2]["textbytes"], "610062");
  EXPECT_EQ(e[3]["text"], "中文");
  EXPECT_EQ(e[3]["reserved"], "0100000000000000");
  EXPECT_EQ(e[6]["target"]["month"], 13);
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

// Mistakes name the object path and the field.
TEST(Describe, MistakesInElements) {
  const std::string e = "pages[0].areas[1].components[0].elements[0]";
  const struct {
    std::string fields, error;
  } cases[] = {
      {R"("type": "string", "text": "a", "entry": "SlideSideways")", ".entry: unknown effect \"SlideSideways\""},
      {R"("type": "string", "text": "a", "speed": -1)", ".speed: -1 is not a whole number from 0 to 65535"},
      {R"("type": "string", "text": "a", "colur": 1)", ".colur: unknown field for a string element"},
      {R"("type": "string")", ": give exactly one of text or textbytes"},
      {R"("type": "string", "text": "ä")", ".text: character \"ä\" (U+00E4) is not in GB2312"},
      {R"("type": "strin", "text": "a")", ".type: unknown element type \"strin\" (picture, string, timer, "
                                         "analogclock, digitalclock, animation, pagedpicture)"},
      {R"("type": 8)", ".type: element types are 1..7; others need payload bytes"},
      {R"("type": 2, "payload": "0g")", ".payload: 'g' is not a hex digit"},
      {R"("type": 2, "payload": "00", "text": "a")",
       ".text: unknown field (an element with payload bytes takes only header fields)"},
      {R"("type": "picture", "png": "missing.png")", ".png: /nonexistent-ledview-dir/missing.png: No such file or directory"},
      {R"("type": "picture", "png": "bad.png")", ".png: bad.png: not a readable PNG (read beyond end of data)"},
      {R"("type": "picture", "text": "a", "font": "No Such Font 123")",
       ".text: font \"No Such Font 123\" not found (fc-list shows the installed fonts)"},
      {R"("type": "picture", "text": "a", "colour": "purple")", ".colour: unknown colour \"purple\" (black, red, "
                                                                "green, yellow, blue, magenta, cyan, white, or a number)"},
      {R"("type": "picture", "text": "ab", "font": ")" LEDVIEW_TEST_FONT R"(", "size": 16, "width": 20, "pitch": 2)",
       ".pitch: 2 is less than the 3 bytes a row of the picture needs"},
      {R"("type": "picture", "png": "a.png", "text": "a")", ": give exactly one of png or text"},
      {R"("type": "animation")", ": give frames (pictures) or texts"},
      {R"("type": "animation", "frames": [{"png": "a.png", "width": 3}])",
       ".frames[0].width: a PNG picture takes its size from the file"},
      {R"("type": "timer", "target": "2030-13-01 00:00:00")",
       ".target: expected \"YYYY-MM-DD hh:mm:ss\", found \"2030-13-01 00:00:00\""},
      {R"("type": "timer", "format": "123456789")", ".format: at most 8 letters"},
      {R"("type": "timer", "digits": {"texts": ["0", "1"]})", ".digits: 11 frames needed, found 2"},
  };
  const PendingFiles files = {{"bad.png", {'n', 'o', 't', 'p', 'n', 'g'}}};
  for (const auto& c : cases) {
    EXPECT_EQ(BuildError(R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [
        {"components": [{"elements": [{"type": "string", "text": "a"}]}]},
        {"components": [{"elements": [{)" + c.fields + "}]}]}]}]}", &files), e + c.error) << c.fields;
  }
}

TEST(Describe, MistakesInPagesAreasAndComponents) {
  const struct {
    const char* json;
    const char* error;
  } cases[] = {
      {R"({"pages": []})", "pages: empty; the engine needs at least one"},
      {R"({"pages": [], "extra": 1})", "extra: unknown field"},
      {R"({"pages": [{"areas": [{"components": []}]}]})", "pages[0].areas[0].rect: missing (no sign size given to default to)"},
      {R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{"rect": [60, 0, 5, 32], "components": []}]}]})",
       "pages[0].areas[0].rect: reaches outside the 64x32 sign"},
      {R"({"pages": [{"areas": [{"rect": [0, 0, 8, 8], "components": [{"rect": [9, 0, 1, 1], "elements": []}]}]}]})",
       "pages[0].areas[0].components[0].rect: starts outside its area"},
      {R"({"pages": [{"playtime": 1.5, "areas": []}]})",
       "pages[0].playtime: expected a whole number from -2147483648 to 2147483647, found 1.5"},
      {R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{"static": "yes", "components": []}]}]})",
       "pages[0].areas[0].static: expected a whole number from 0 to 4294967295 or true/false, found \"yes\""},
      {R"({"sign": {"width": 64, "height": 32, "mode": 5}, "pages": []})", "sign.mode: 5 is not a whole number from 1 to 4"},
      {"{\n  \"pages\": [\n    {,}\n  ]\n}",
       "parse: line 3, column 6: syntax error while parsing object key - unexpected ','; expected string literal"},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildError(c.json), c.error) << c.json;
}

// Every effect name leads back to its number, in any case; 26 and 27 have
// none of their own.
TEST(Describe, EffectNamesFollowTheEffectTables) {
  for (uint32_t v = 0; v <= 54; ++v) {
    const std::string name = EntryEffectName(v);
    EXPECT_EQ(name.empty() ? -1 : EntryEffectByName(name), v == 26 || v == 27 || v == 54 ? -1 : int32_t(v)) << v;
  }
  for (uint32_t v = 0; v <= 11; ++v) EXPECT_EQ(ExitEffectByName(ExitEffectName(v)), v < 11 ? int32_t(v) : -1) << v;
  EXPECT_EQ(EntryEffectByName("slideleft"), 9);
  EXPECT_EQ(ExitEffectByName("Instant"), -1);
}

}  // namespace
}  // namespace ledview::tool
