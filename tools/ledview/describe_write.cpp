// Writing a bill out as a JSON description that builds to the same bytes.
#include "ledview/describe_shared.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "billfile/billreader.h"
#include "format/playbill.h"
#include "ledview/gbcode.h"
#include "ledview/picture.h"

namespace ledview::tool {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

Json ColourJson(uint32_t value) {
  if (value < 8) return kColourNames[value];
  return value;
}

Json RectJson(uint16_t x, uint16_t y, uint16_t w, uint16_t h) { return Json::array({x, y, w, h}); }

Json EntryJson(uint32_t v) {
  const std::string name = EntryEffectName(v);
  return name.empty() ? Json(v) : Json(name);
}

Json ExitJson(uint32_t v) {
  const std::string name = ExitEffectName(v);
  return name.empty() ? Json(v) : Json(name);
}

// False when the letters are not plain text.
bool FormatJson(Json& out, const char format[kFormatLetters], const char* fallback) {
  std::string letters(format, strnlen(format, kFormatLetters));
  for (char c : letters) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  if (letters != fallback) out["format"] = letters;
  return true;
}

// Colour or format of a picture.
void PictureFormatJson(Json& out, uint32_t format) {
  if (format <= 7) {
    if (format != 1) out["colour"] = ColourJson(format);
  } else {
    out["format"] = format;
  }
}

// Writes a picture as a PNG; false when PNG cannot hold it (an empty one).
bool AddPng(PendingFiles* pictures, const std::string& name, const Picture& p, uint32_t format) {
  std::vector<uint8_t> png = PictureToPng(p, format);
  if (png.empty()) return false;
  (*pictures)[name] = std::move(png);
  return true;
}

bool StripJson(PendingFiles* pictures, const bill::FrameStrip& s, const std::string& name,
               Json& json) {
  Json frames = Json::array();
  const size_t framebytes = static_cast<size_t>(s.pitch) * s.height;
  for (uint32_t f = 0; f < s.count; ++f) {
    const Picture p = UnpackRows(s.pixels.data() + f * framebytes, s.width, s.height, s.format, s.pitch);
    const std::string file = name + "-" + std::to_string(f) + ".png";
    if (!AddPng(pictures, file, p, s.format)) return false;
    frames.push_back(Json{{"png", file}});
  }
  PictureFormatJson(json, s.format);
  json["frames"] = frames;
  if (s.pitch != bill::RowBytes(s.width, s.format)) json["pitch"] = s.pitch;
  return true;
}

// A border type above 8 (no border on the sign) is kept as "rawborder",
// which the reader takes back.
const char* BorderKey(uint32_t bordertype) { return bordertype > kMaxBorder ? "rawborder" : "border"; }

}  // namespace

bool DescribePicturePayload(const std::vector<uint8_t>& payload, const std::string& name,
                            PendingFiles* pictures, Json& json) {
  bill::BmpBlock b;
  if (!DecodeBmpBlock(payload, &b)) return false;
  const Picture p = UnpackRows(b.rows.data(), b.width, b.height, b.format, b.pitch);
  if (!AddPng(pictures, name + ".png", p, b.format)) return false;
  json["png"] = name + ".png";
  PictureFormatJson(json, b.format);
  if (b.pitch != bill::RowBytes(b.width, b.format)) json["pitch"] = b.pitch;
  return true;
}

bool DescribeStringPayload(const std::vector<uint8_t>& payload, const std::string&, PendingFiles*,
                           Json& json) {
  bill::StringText t;
  if (!DecodeStringText(payload, &t)) return false;
  // A description's string colour is 0..7; other values stay as bytes.
  if (t.colour > 7) return false;
  std::string utf8;
  if (GbToUtf8(t.text, &utf8)) {
    json["text"] = utf8;
  } else {
    json["textbytes"] = Hex(std::vector<uint8_t>(t.text.begin(), t.text.end()));
  }
  json["size"] = t.fontsize;
  if (t.colour != 1) json["colour"] = ColourJson(t.colour);
  if (t.id != 0) json["id"] = t.id;
  if (t.singleline != 1) json["singleline"] = t.singleline;
  if (std::any_of(std::begin(t.reserved), std::end(t.reserved), [](uint8_t b) { return b != 0; })) {
    json["reserved"] = Hex(std::vector<uint8_t>(std::begin(t.reserved), std::end(t.reserved)));
  }
  return true;
}

bool DescribeTimerPayload(const std::vector<uint8_t>& payload, const std::string& name,
                          PendingFiles* pictures, Json& json) {
  bill::Timer t;
  if (!DecodeTimer(payload, &t)) return false;
  json["direction"] = t.direction == 1 ? Json("down") : t.direction == 0 ? Json("up") : Json(t.direction);
  if (t.year >= 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
      t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
      t.second <= 60) {
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    json["target"] = date;
  } else {
    json["target"] = Json{{"year", t.year},     {"month", t.month},   {"day", t.day},
                          {"hour", t.hour},     {"minute", t.minute}, {"second", t.second}};
  }
  if (!FormatJson(json, t.format, "hms")) return false;
  Json digits = Json::object();
  if (!StripJson(pictures, t.digits, name + "-digit", digits)) return false;
  json["digits"] = digits;
  return true;
}

bool DescribeAnalogClockPayload(const std::vector<uint8_t>& payload, const std::string&,
                                PendingFiles*, Json& json) {
  bill::AnalogClock c;
  if (!DecodeAnalogClock(payload, &c)) return false;
  json["timesource"] = c.timesource;
  json["marks"] = ColourJson(c.marks);
  json["minormarks"] = ColourJson(c.minormarks);
  json["hour"] = ColourJson(c.hour);
  json["minute"] = ColourJson(c.minute);
  json["second"] = ColourJson(c.second);
  json["hourwidth"] = c.hourwidth;
  json["minutewidth"] = c.minutewidth;
  return true;
}

bool DescribeDigitalClockPayload(const std::vector<uint8_t>& payload, const std::string& name,
                                 PendingFiles* pictures, Json& json) {
  bill::DigitalClock c;
  if (!DecodeDigitalClock(payload, &c)) return false;
  json["timesource"] = c.timesource;
  if (!FormatJson(json, c.format, "hms")) return false;
  Json digits = Json::object();
  Json labels = Json::object();
  if (!StripJson(pictures, c.digits, name + "-digit", digits) ||
      !StripJson(pictures, c.labels, name + "-label", labels)) {
    return false;
  }
  json["digits"] = digits;
  json["labels"] = labels;
  return true;
}

// Animations and paged pictures: one strip of frames.
bool DescribeStripPayload(const std::vector<uint8_t>& payload, const std::string& name,
                          PendingFiles* pictures, Json& json) {
  bill::FrameStrip s;
  if (!DecodeFrameStrip(payload, 0, &s) || s.count == 0) return false;
  return StripJson(pictures, s, name + "-frame", json);
}

bool DescribeBill(const bill::Bill& b, const std::string& stem, Json* out, PendingFiles* pictures,
                  std::string* error) {
  *out = Json::object();
  pictures->clear();
  // For editors: `ledview schema > ledview.schema.json` beside the description.
  (*out)["$schema"] = "ledview.schema.json";
  if (b.reserved != 0) (*out)["reserved"] = b.reserved;
  Json pages = Json::array();
  for (size_t pi = 0; pi < b.pages.size(); ++pi) {
    const bill::Page& p = b.pages[pi];
    Json areas = Json::array();
    for (size_t ai = 0; ai < p.areas.size(); ++ai) {
      const bill::Area& a = p.areas[ai];
      Json comps = Json::array();
      for (size_t ci = 0; ci < a.components.size(); ++ci) {
        const bill::Component& c = a.components[ci];
        Json elems = Json::array();
        for (size_t ei = 0; ei < c.elements.size(); ++ei) {
          const bill::Element& e = c.elements[ei];
          const std::string name = stem + "-p" + std::to_string(pi) + "a" + std::to_string(ai) +
                                   "c" + std::to_string(ci) + "e" + std::to_string(ei);
          const ElementType* row = FindElementType(e.elemtype);
          Json j = Json::object();
          j["type"] = row != nullptr ? Json(row->name) : Json(e.elemtype);
          j["delay"] = e.delaytime;
          if (e.speed > kMaxSpeed) {
            j["rawspeed"] = e.speed;
          } else {
            j["speed"] = e.speed;
          }
          j["entry"] = EntryJson(e.entryeffect);
          j["exit"] = ExitJson(e.exiteffect);
          j["stay"] = e.staytime;
          // Say the payload in its type's fields when they build to the
          // same bytes; otherwise keep the bytes.
          PendingFiles mine;
          Json fields = j;
          bool exact = row != nullptr && row->describe(e.payload, name, &mine, fields);
          if (exact) {
            BuildContext check;
            check.pending = &mine;
            std::string why;
            bill::Element again;
            exact = BuildElement(In{check, &why}, fields, "check", &again) &&
                    again.payload == e.payload;
          }
          if (exact) {
            j = fields;
            pictures->insert(mine.begin(), mine.end());
          } else {
            j["payload"] = Hex(e.payload);
          }
          elems.push_back(j);
        }
        comps.push_back(Json{{"rect", RectJson(c.x, c.y, c.width, c.height)},
                             {BorderKey(c.bordertype), c.bordertype},
                             {"elements", elems}});
      }
      areas.push_back(Json{{"rect", RectJson(a.x, a.y, a.width, a.height)},
                           {"static", a.staticflag == 0 ? Json(false) : a.staticflag == 1 ? Json(true) : Json(a.staticflag)},
                           {"components", comps}});
    }
    pages.push_back(Json{{BorderKey(p.bordertype), p.bordertype}, {"playtime", p.playtime}, {"areas", areas}});
  }
  (*out)["pages"] = pages;
  if (!b.trailing.empty()) (*out)["trailing"] = Hex(b.trailing);
  (void)error;
  return true;
}

}  // namespace ledview::tool
