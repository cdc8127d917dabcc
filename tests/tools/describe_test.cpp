// JSON descriptions: the errors build gives, and inspect's way back.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

#include "billfile/billreader.h"
#include "ledview/describe.h"
#include "ledview/describe_shared.h"
#include "ledview/fonts.h"
#include "ledview/gbcode.h"
#include "ledview/picture.h"
#include "ledview/schema_json.h"

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
  c.AddElement(2, bill::StringTextBytes({})).speed = 9;      // stored above 8: said as rawspeed
  c.AddElement(2, bill::StringTextBytes({})).speed = 65535;
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
  // Border types above 8 (no border on the sign) are said as rawborder.
  b.AddPage(0, 4294967295u).AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8, 8).AddElement(2, bill::StringTextBytes({}));
  Json json, again;
  PendingFiles pictures;
  SignSize sign;
  std::string error;
  ASSERT_TRUE(ReadBill(b.Bytes(), &read, &error)) << error;
  ASSERT_TRUE(DescribeBill(read, "x", &json, &pictures, &error)) << error;
  ASSERT_TRUE(ParseJson(JsonText(json), &again, &error)) << error;
  ASSERT_TRUE(BuildBill(again, {.basedir = {}, .pending = &pictures}, &rebuilt, &sign, &error)) << error;
  EXPECT_EQ(rebuilt.Bytes(), b.Bytes()) << JsonText(json);
  const Json& e = json["pages"][0]["areas"][0]["components"][0]["elements"];
  EXPECT_EQ(e[0]["speed"], 6);
  EXPECT_EQ(e[1]["rawspeed"], 9);
  EXPECT_FALSE(e[1].contains("speed"));
  EXPECT_EQ(e[2]["rawspeed"], 65535);
  EXPECT_EQ(e[3]["text"], "中文") << JsonText(json);
  EXPECT_EQ(e[4]["textbytes"], "610062");
  EXPECT_EQ(json["pages"][0]["rawborder"], 200);
  const Json& comp = json["pages"][0]["areas"][0]["components"][0];
  EXPECT_EQ(comp["rawborder"], 99);
  EXPECT_FALSE(comp.contains("border"));
  EXPECT_EQ(json["pages"][1]["rawborder"], 4294967295u);
  EXPECT_FALSE(json["pages"][1].contains("border"));
  EXPECT_EQ(json["pages"][1]["areas"][0]["components"][0]["border"], 8);
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

// A syntax error names its place and quotes what it read as one printable
// line: bytes that are not UTF-8 escaped, a long token cut.
TEST(Describe, SyntaxErrorsQuotePrintably) {
  Json json;
  std::string error;
  EXPECT_FALSE(ParseJson("{\"a\": \"x\xCB\xCB\"}", &json, &error));
  EXPECT_EQ(error, "line 1, column 10: syntax error while parsing value - invalid string: ill-formed UTF-8 byte; "
                   "last read: '\"x\\xCB\\xCB'");
  EXPECT_FALSE(ParseJson("[\"中文" + std::string(100, 'a') + "\n", &json, &error));
  EXPECT_NE(error.find("last read: '\"中文" + std::string(37, 'a') + "...'"), std::string::npos) << error;
}

// Mistakes name the object path and the field. Texts not starting with '{'
// are the fields of an element, second in its page so that paths count.
TEST(Describe, MistakesNameThePathAndTheField) {
  const std::string e = "pages[0].areas[1].components[0].elements[0]";
  const struct { std::string json, error; } cases[] = {
      {R"("type": "string", "text": "a", "speed": -1)", e + ".speed: -1 is not a whole number from 0 to 8"},
      {R"("type": "string", "text": "a", "speed": 12)", e + ".speed: 12 is not a whole number from 0 to 8"},
      {R"("type": "string", "text": "a", "rawspeed": 8)", e + ".rawspeed: 8 is not a whole number from 9 to 65535"},
      {R"("type": "string", "text": "a", "speed": 1, "rawspeed": 9)", e + ".speed: give either speed or rawspeed, not both"},
      {R"("type": "string", "text": "a", "delay": 65536)", e + ".delay: 65536 is not a whole number from 0 to 65535"},
      {R"("type": "string", "text": "a", "stay": 4294967296)", e + ".stay: 4294967296 is not a whole number from 0 to 4294967295"},
      {R"("type": "string", "text": "a", "colur": 1)", e + ".colur: unknown field for a string element; did you mean \"colour\"?"},
      {R"("type": "string")", e + ": give exactly one of text or textbytes"},
      {R"("type": "string", "text": "ä")", e + ".text: character \"ä\" (U+00E4) is not in GB2312"},
      {R"("type": "strin")", e + ".type: unknown element type \"strin\" (picture, string, timer, analogclock, digitalclock, animation, pagedpicture)"},
      {R"("type": 8)", e + ".type: element types are 1..7; others need payload bytes"},
      {R"("type": 2, "payload": "0g")", e + ".payload: 'g' is not a hex digit"},
      {R"("type": 2, "payload": "0中")", e + ".payload: '中' is not a hex digit"},
      {R"("type": "picture", "png": "missing.png")", e + ".png: /nonexistent-ledview-dir/missing.png: No such file or directory"},
      {R"("type": "picture", "text": "a", "colour": "purple")",
       e + ".colour: unknown colour \"purple\" (black, red, green, yellow, blue, magenta, cyan, white, or a number)"},
      {R"("type": "picture", "text": "ab", "font": ")" LEDVIEW_TEST_FONT R"(", "size": 16, "width": 20, "pitch": 2)",
       e + ".pitch: 2 is less than the 3 bytes a row of the picture needs"},
      {R"("type": "animation", "frames": [{"png": "a.png", "width": 3}])", e + ".frames[0].width: a PNG picture takes its size from the file"},
      {R"("type": "timer", "target": "2030-13-01 00:00:00")", e + ".target: expected \"YYYY-MM-DD hh:mm:ss\", found \"2030-13-01 00:00:00\""},
      {R"("type": "timer", "digits": {"texts": ["0", "1"]})", e + ".digits.texts: 11 frames needed, found 2"},
      {R"({"pages": []})", "pages: empty; the engine needs at least one"},
      {R"({"pages": [{"areas": [{"components": []}]}]})", "pages[0].areas[0].rect: missing (no sign size given to default to)"},
      {R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{"rect": [60, 0, 5, 32], "components": []}]}]})",
       "pages[0].areas[0].rect: reaches outside the 64x32 sign"},
      {R"("type": "picture", "text": "a", "size": 0)", e + ".size: 0 is not a whole number from 1 to 1024"},
      {R"("type": "animation", "texts": ["a"], "size": 1025)", e + ".size: 1025 is not a whole number from 1 to 1024"},
      {R"({"pages": [{"border": 9, "areas": []}]})", "pages[0].border: 9 is not a whole number from 0 to 8"},
      {R"({"pages": [{"rawborder": 8, "areas": []}]})", "pages[0].rawborder: 8 is not a whole number from 9 to 4294967295"},
      {R"({"pages": [{"border": 1, "rawborder": 9, "areas": []}]})", "pages[0].border: give either border or rawborder, not both"},
      {R"({"pages": [{"areas": [{"rect": [0, 0, 8, 8], "components": [{"border": 12, "elements": []}]}]}]})",
       "pages[0].areas[0].components[0].border: 12 is not a whole number from 0 to 8"},
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

// The schema that `ledview schema` prints names the fields the reader takes,
// object by object, and the names it takes for element types, effects and
// colours.
std::set<std::string> Listed(std::span<const char* const> keys) { return {keys.begin(), keys.end()}; }
std::set<std::string> Fields(const Json& object) {
  std::set<std::string> out;
  for (auto it = object.begin(); it != object.end(); ++it) out.insert(it.key());
  return out;
}
std::set<std::string> Strings(const Json& list) {
  std::set<std::string> out;
  for (const Json& v : list) {
    if (v.is_string()) out.insert(v.get<std::string>());
  }
  return out;
}

TEST(Describe, SchemaNamesTheFieldsAndNamesTheReaderTakes) {
  Json schema;
  std::string error;
  ASSERT_TRUE(ParseJson(std::string(reinterpret_cast<const char*>(kSchemaJson), kSchemaJsonSize), &schema, &error)) << error;
  const Json& defs = schema["$defs"];
  EXPECT_EQ(Fields(schema["properties"]), Listed(kBillKeys));
  EXPECT_EQ(Fields(defs["sign"]["properties"]), Listed(kSignKeys));
  EXPECT_EQ(Fields(defs["page"]["properties"]), Listed(kPageKeys));
  EXPECT_EQ(Fields(defs["area"]["properties"]), Listed(kAreaKeys));
  EXPECT_EQ(Fields(defs["component"]["properties"]), Listed(kComponentKeys));
  EXPECT_EQ(Fields(defs["target"]["anyOf"][1]["properties"]), Listed(kTargetKeys));
  EXPECT_EQ(Fields(defs["source"]["properties"]), Listed(kSourceKeys));
  EXPECT_EQ(Fields(defs["clockStrip"]["properties"]), Listed(kStripKeys));
  EXPECT_EQ(Fields(defs["payloadElement"]["properties"]), Listed(kHeaderKeys));

  // Each type's fields, chosen by its name or number: the header's but the
  // payload bytes, and the type's own.
  std::set<std::string> header = Listed(kHeaderKeys);
  header.erase("payload");
  std::set<std::string> typenames;
  const Json& branches = defs["element"]["else"]["allOf"];
  for (const ElementType& row : ElementTypes()) {
    typenames.insert(row.name);
    const Json* chosen = nullptr;
    for (const Json& b : branches) {
      if (b.contains("if") && b["if"]["properties"]["type"]["enum"] == Json::array({row.name, row.elemtype})) {
        chosen = &b["then"]["$ref"];
      }
    }
    ASSERT_NE(chosen, nullptr) << row.name;
    const std::string def = chosen->get<std::string>().substr(std::string("#/$defs/").size());
    std::set<std::string> fields = header;
    fields.insert(row.keys.begin(), row.keys.end());
    EXPECT_EQ(Fields(defs[def]["properties"]), fields) << row.name;
  }
  EXPECT_EQ(Strings(defs["elementType"]["anyOf"][0]["enum"]), typenames);
  EXPECT_EQ(Strings(defs["knownElementType"]["enum"]), typenames);

  std::set<std::string> entries = {"random"};
  for (const EffectInfo& e : EntryEffectTable()) {
    if (e.name[0] != '\0') entries.insert(e.name);
  }
  std::set<std::string> exits = {"none", "random"};
  for (const EffectInfo& e : ExitEffectTable()) exits.insert(e.name);
  EXPECT_EQ(Strings(defs["entryEffect"]["anyOf"][0]["enum"]), entries);
  EXPECT_EQ(Strings(defs["exitEffect"]["anyOf"][0]["enum"]), exits);
  for (const std::string& name : entries) EXPECT_GE(EntryEffectByName(name), 0) << name;
  for (const std::string& name : exits) EXPECT_GE(ExitEffectByName(name), 0) << name;
  EXPECT_EQ(Strings(defs["colourName"]["anyOf"][0]["enum"]), Listed(kColourNames));
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

// Text lines may end in a carriage return and a line feed: the return
// draws nothing.
TEST(Describe, TextLinesEndedByCarriageReturnsDrawAsLineFeedsAlone) {
  TextStyle style;
  style.font = LEDVIEW_TEST_FONT;
  Picture crlf, lf;
  std::string error;
  ASSERT_TRUE(RenderText("AB\r\nC\r", style, &crlf, &error)) << error;
  ASSERT_TRUE(RenderText("AB\nC", style, &lf, &error)) << error;
  EXPECT_EQ(crlf.width, lf.width);
  EXPECT_EQ(crlf.height, lf.height);
  EXPECT_EQ(crlf.pixels, lf.pixels);
}

}  // namespace
}  // namespace ledview::tool
