// Reading a JSON description into a bill, with the object path in every error.
#include "ledview/describe_shared.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <strings.h>

#include "format/playbill.h"
#include "ledview/effectnames.h"
#include "ledview/files.h"
#include "ledview/fonts.h"
#include "ledview/gbcode.h"
#include "ledview/picture.h"

namespace ledview::tool {

namespace {

constexpr size_t kMaxDescriptionBytes = 16u << 20;
constexpr size_t kMaxPngBytes = 64u << 20;
// The largest picture text, in pixels from one line to the next.
constexpr int64_t kMaxTextSize = 1024;

// Default pictures of the clocks' digit and label strips.
const std::vector<std::string> kDigitTexts = {"0", "1", "2", "3", "4", "5",
                                              "6", "7", "8", "9", ":"};
const std::vector<std::string> kLabelTexts = {"年", "月", "日", "星", "期", "一",
                                              "二", "三", "四", "五", "六"};

// --- JSON access with the object path in every error ----------------------

std::string Field(const std::string& path, const char* key) {
  return path.empty() ? std::string(key) : path + "." + key;
}
std::string Index(const std::string& path, size_t i) {
  return path + "[" + std::to_string(i) + "]";
}

bool Listed(std::span<const char* const> keys, const std::string& key) {
  return std::any_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; });
}

// "unknown field", with the allowed field it was probably meant to be.
std::string UnknownField(const std::string& key, std::span<const char* const> allowed,
                         const std::string& why = "unknown field") {
  const std::string near = ClosestName(key, allowed);
  return near.empty() ? why : why + "; did you mean \"" + near + "\"?";
}

bool Keys(const In& in, const Json& object, const std::string& path,
          std::span<const char* const> allowed) {
  if (!object.is_object()) return in.Fail(path, "expected an object { ... }");
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!Listed(allowed, it.key())) return in.Fail(Field(path, it.key().c_str()), UnknownField(it.key(), allowed));
  }
  return true;
}

const Json* Find(const Json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

// A whole number in [lo, hi]; booleans count as 0 and 1 where flags are
// allowed. Leaves *out alone when the field is absent.
bool Number(const In& in, const Json& object, const std::string& path, const char* key,
            int64_t lo, int64_t hi, int64_t* out, bool boolean = false) {
  const Json* v = Find(object, key);
  if (v == nullptr) return true;
  const std::string where = Field(path, key);
  if (boolean && v->is_boolean()) {
    *out = v->get<bool>() ? 1 : 0;
    return true;
  }
  const std::string range = "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
  if (v->is_number_unsigned()) {
    const uint64_t n = v->get<uint64_t>();
    if (n > static_cast<uint64_t>(hi) || (lo > 0 && n < static_cast<uint64_t>(lo))) {
      return in.Fail(where, std::to_string(n) + " is not " + range);
    }
    *out = static_cast<int64_t>(n);
  } else if (v->is_number_integer()) {
    const int64_t n = v->get<int64_t>();
    if (n < lo || n > hi) return in.Fail(where, std::to_string(n) + " is not " + range);
    *out = n;
  } else {
    return in.Fail(where, std::string("expected ") + range + (boolean ? " or true/false" : "") +
                              ", found " + v->dump());
  }
  return true;
}

template <typename T>
bool Get(const In& in, const Json& object, const std::string& path, const char* key, T* out,
         bool boolean = false) {
  int64_t v = *out;
  const int64_t lo = std::numeric_limits<T>::min();
  const int64_t hi = static_cast<int64_t>(std::numeric_limits<T>::max());
  if (!Number(in, object, path, key, lo, hi, &v, boolean)) return false;
  *out = static_cast<T>(v);
  return true;
}

bool String(const In& in, const Json& object, const std::string& path, const char* key,
            std::string* out) {
  const Json* v = Find(object, key);
  if (v == nullptr) return true;
  if (!v->is_string()) return in.Fail(Field(path, key), "expected a string, found " + v->dump());
  *out = v->get<std::string>();
  return true;
}

bool HexBytes(const In& in, const Json& object, const std::string& path, const char* key,
              std::vector<uint8_t>* out) {
  std::string text;
  if (!String(in, object, path, key, &text)) return false;
  out->clear();
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\n' || c == '\t') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      size_t end = i;  // the whole character, not one byte of it
      uint32_t code = 0;
      if (!NextCodePoint(text, &end, &code)) end = i + 1;
      return in.Fail(Field(path, key), "'" + text.substr(i, end - i) + "' is not a hex digit");
    }
    digits.push_back(c);
  }
  if (digits.size() % 2 != 0) return in.Fail(Field(path, key), "odd number of hex digits");
  for (size_t i = 0; i < digits.size(); i += 2) {
    out->push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return true;
}

// A colour value: 0..7 or its name.
bool Colour(const In& in, const Json& object, const std::string& path, const char* key,
            uint32_t* out) {
  const Json* v = Find(object, key);
  if (v == nullptr) return true;
  if (v->is_string()) {
    const std::string name = v->get<std::string>();
    for (uint32_t i = 0; i < 8; ++i) {
      if (strcasecmp(name.c_str(), kColourNames[i]) == 0) {
        *out = i;
        return true;
      }
    }
    return in.Fail(Field(path, key), "unknown colour \"" + name +
                                         "\" (black, red, green, yellow, blue, magenta, cyan, "
                                         "white, or a number)");
  }
  return Get(in, object, path, key, out);
}

bool Effect(const In& in, const Json& object, const std::string& path, const char* key,
            bool entry, int64_t hi, int64_t* out) {
  const Json* v = Find(object, key);
  if (v == nullptr) return true;
  if (v->is_string()) {
    const std::string name = v->get<std::string>();
    const int32_t n = entry ? EntryEffectByName(name) : ExitEffectByName(name);
    if (n < 0) {
      return in.Fail(Field(path, key), "unknown effect \"" + name + "\"; did you mean " +
                                           ClosestEffectNames(name, entry) + "? (`ledview effects` lists them all)");
    }
    *out = n;
    return true;
  }
  return Number(in, object, path, key, 0, hi, out);
}

// A page's or component's border type, 0..8. A stored value above 8, which
// the sign draws as no border, is said as "rawborder" so that inspect's
// output builds back.
bool Border(const In& in, const Json& object, const std::string& path, uint32_t* out) {
  if (Find(object, "border") != nullptr && Find(object, "rawborder") != nullptr) {
    return in.Fail(Field(path, "border"), "give either border or rawborder, not both");
  }
  int64_t v = *out;
  if (!Number(in, object, path, "border", 0, kMaxBorder, &v) ||
      !Number(in, object, path, "rawborder", kMaxBorder + 1, 0xFFFFFFFF, &v)) {
    return false;
  }
  *out = static_cast<uint32_t>(v);
  return true;
}

bool Rect(const In& in, const Json& object, const std::string& path, uint16_t def[4],
          bool havedefault) {
  const Json* v = Find(object, "rect");
  const std::string where = Field(path, "rect");
  if (v == nullptr) {
    if (!havedefault) return in.Fail(where, "missing (no sign size given to default to)");
    return true;
  }
  if (!v->is_array() || v->size() != 4) {
    return in.Fail(where, "expected [x, y, width, height], found " + v->dump());
  }
  for (size_t i = 0; i < 4; ++i) {
    const Json& n = (*v)[i];
    if (!n.is_number_unsigned() || n.get<uint64_t>() > 65535) {
      return in.Fail(Index(where, i), "expected a whole number 0..65535, found " + n.dump());
    }
    def[i] = static_cast<uint16_t>(n.get<uint64_t>());
  }
  return true;
}

const Json* List(const In& in, const Json& object, const std::string& path, const char* key,
                 bool required) {
  const Json* v = Find(object, key);
  if (v == nullptr) {
    if (required) in.Fail(Field(path, key), "missing");
    return nullptr;
  }
  if (!v->is_array()) {
    in.Fail(Field(path, key), "expected a list [ ... ]");
    return nullptr;
  }
  if (required && v->empty()) {
    in.Fail(Field(path, key), "empty; the engine needs at least one");
    return nullptr;
  }
  return v;
}

// --- pictures -------------------------------------------------------------

bool LoadFile(const In& in, const std::string& path, const std::string& name,
              std::vector<uint8_t>* bytes) {
  if (in.context.pending != nullptr) {
    const auto found = in.context.pending->find(name);
    if (found != in.context.pending->end()) {
      *bytes = found->second;
      return true;
    }
  }
  if (in.context.pendingonly) return in.Fail(path, name + ": no such file");
  std::string error;
  if (!ReadFile(JoinPath(in.context.basedir, name), kMaxPngBytes, bytes, &error)) {
    return in.Fail(path, error);
  }
  return true;
}

struct PictureStyle {
  uint32_t format = 1;
  bool chosen = false;  // colour or format given; else the pictures' colours choose it
  TextStyle text;
  bool havewidth = false;
  bool haveheight = false;
};

// Format fields: "colour" for one-bit pictures, or "format" for any value.
bool Format(const In& in, const Json& object, const std::string& path, uint32_t* format) {
  if (Find(object, "colour") != nullptr && Find(object, "format") != nullptr) {
    return in.Fail(Field(path, "format"), "give either colour or format, not both");
  }
  if (!Colour(in, object, path, "colour", format)) return false;
  if (Find(object, "colour") != nullptr && *format > 7) {
    return in.Fail(Field(path, "colour"), "a colour is 0..7; use format for more bits a pixel");
  }
  return Get(in, object, path, "format", format);
}

bool Style(const In& in, const Json& object, const std::string& path, PictureStyle* style) {
  if (!Format(in, object, path, &style->format)) return false;
  if (Find(object, "colour") != nullptr || Find(object, "format") != nullptr) style->chosen = true;
  if (!String(in, object, path, "font", &style->text.font)) return false;
  // The sizes the command draws text at, where the schema says so too.
  int64_t size = style->text.size;
  if (!Number(in, object, path, "size", 1, kMaxTextSize, &size)) return false;
  style->text.size = static_cast<int32_t>(size);
  std::string align;
  if (!String(in, object, path, "align", &align)) return false;
  if (align == "left") style->text.align = TextAlign::Left;
  else if (align == "centre" || align == "center") style->text.align = TextAlign::Centre;
  else if (align == "right") style->text.align = TextAlign::Right;
  else if (!align.empty()) return in.Fail(Field(path, "align"), "expected left, centre or right");
  uint16_t w = 0;
  uint16_t h = 0;
  if (!Get(in, object, path, "width", &w) || !Get(in, object, path, "height", &h)) return false;
  if (Find(object, "width") != nullptr) {
    style->text.width = w;
    style->havewidth = true;
  } else if (!align.empty()) {
    // Aligned text without a width of its own aligns within the component.
    style->text.boxwidth = in.boxwidth;
  }
  if (Find(object, "height") != nullptr) {
    style->text.height = h;
    style->haveheight = true;
  }
  return true;
}

void Warn(const In& in, const std::string& path, const std::string& what) {
  if (!what.empty() && in.context.warnings != nullptr) {
    in.context.warnings->push_back("warning: " + path + ": " + what);
  }
}

// The colour values a picture uses, one bit each.
uint32_t ColoursOf(const Picture& p) {
  uint32_t used = 0;
  for (uint8_t v : p.pixels) used |= 1u << (v & 7);
  return used & ~1u;
}

int32_t Count(uint32_t bits) { return __builtin_popcount(bits); }

// What a chosen format does to a PNG's colours, when it loses some.
std::string DroppedColours(const Picture& full, uint32_t format, const std::string& name) {
  const uint32_t used = ColoursOf(full);
  if (format < kFormatTwoBit && Count(used) > 1) {
    return name + " has " + std::to_string(Count(used)) + " colours; colour " +
           kColourNames[format & 7] + " draws them all in one; leave out colour and format to keep them";
  }
  const uint32_t blue = (1u << 4) | (1u << 5) | (1u << 6) | (1u << 7);
  if (format == kFormatTwoBit && (used & blue) != 0) {
    return name + " has blue, cyan, magenta or white, which format 8 (red, green, yellow) cannot hold; "
                  "leave out the format to keep them";
  }
  return "";
}

// The format that keeps the colours of pictures read with every colour
// (text pictures light their pixels with 1, red): one bit in their one
// colour, two bits for red, green and yellow, four bits otherwise.
uint32_t FormatKeeping(const std::vector<Picture>& pictures) {
  uint32_t used = 0;
  for (const Picture& p : pictures) used |= ColoursOf(p);
  if (Count(used) <= 1) {
    for (uint32_t v = 1; v < 8; ++v) {
      if (used == 1u << v) return v;
    }
    return 1;
  }
  return (used & ~0xEu) == 0 ? kFormatTwoBit : kFormatFourBit;
}

// Pixels read with every colour, for the format chosen: one-bit formats
// take lit or dark.
void KeepFormat(Picture* p, uint32_t format) {
  if (format >= kFormatTwoBit) return;
  for (uint8_t& v : p->pixels) v = v != 0 ? 1 : 0;
}

// One picture from {"png": file} or {"text": ..., "font", "size"}, or a bare
// string as text in the inherited style.
bool Source(const In& in, const Json& source, const std::string& path, const PictureStyle& style,
            Picture* out) {
  if (source.is_string()) {
    std::string error;
    if (!RenderText(source.get<std::string>(), style.text, out, &error)) return in.Fail(path, error);
    return true;
  }
  if (!Keys(in, source, path, kSourceKeys)) return false;
  PictureStyle mine = style;
  if (!Style(in, source, path, &mine)) return false;
  const bool png = Find(source, "png") != nullptr;
  const bool text = Find(source, "text") != nullptr;
  if (png == text) return in.Fail(path, "give exactly one of png or text");
  if (png && (Find(source, "width") != nullptr || Find(source, "height") != nullptr)) {
    return in.Fail(Field(path, Find(source, "width") != nullptr ? "width" : "height"),
                   "a PNG picture takes its size from the file");
  }
  if (png) {
    std::string name;
    if (!String(in, source, path, "png", &name)) return false;
    std::vector<uint8_t> bytes;
    if (!LoadFile(in, Field(path, "png"), name, &bytes)) return false;
    // Read with every colour, to choose the format or to say what it drops.
    std::string error;
    Picture full;
    if (!PngToPicture(bytes, kFormatFourBit, &full, &error)) {
      return in.Fail(Field(path, "png"), name + ": " + error);
    }
    if (!mine.chosen) {
      *out = std::move(full);
      return true;
    }
    Warn(in, Field(path, "png"), DroppedColours(full, mine.format, name));
    if (!PngToPicture(bytes, mine.format, out, &error)) {
      return in.Fail(Field(path, "png"), name + ": " + error);
    }
    return true;
  }
  if (mine.format > 7) return in.Fail(Field(path, "text"), "text pictures take a colour 0..7, not a format");
  std::string words;
  if (!String(in, source, path, "text", &words)) return false;
  std::string error;
  if (!RenderText(words, mine.text, out, &error)) return in.Fail(Field(path, "text"), error);
  return true;
}

bool Pitch(const In& in, const Json& object, const std::string& path, uint32_t width,
           uint32_t format, uint32_t* pitch) {
  *pitch = bill::RowBytes(width, format);
  if (!Get(in, object, path, "pitch", pitch)) return false;
  if (*pitch < bill::RowBytes(width, format)) {
    return in.Fail(Field(path, "pitch"), std::to_string(*pitch) + " is less than the " +
                                            std::to_string(bill::RowBytes(width, format)) +
                                            " bytes a row of the picture needs");
  }
  if (*pitch > kBitmapPitchLimit) return in.Fail(Field(path, "pitch"), "more than 32767 bytes a row");
  return true;
}

// A strip from "frames" (picture sources) or "texts" (strings), all in one
// frame size: the largest, or "width"/"height" when given. Smaller frames
// sit at the top, placed across by "align".
bool Strip(const In& in, const Json& object, const std::string& path,
           const std::vector<std::string>* defaulttexts, size_t minframes,
           bill::FrameStrip* out) {
  PictureStyle style;
  style.text.align = defaulttexts != nullptr ? TextAlign::Centre : TextAlign::Left;
  if (!Style(in, object, path, &style)) return false;
  const bool frames = Find(object, "frames") != nullptr;
  const bool texts = Find(object, "texts") != nullptr;
  if (frames && texts) return in.Fail(path, "give either frames or texts, not both");
  std::vector<Picture> pictures;
  if (frames || texts) {
    const char* key = frames ? "frames" : "texts";
    const Json* list = List(in, object, path, key, true);
    if (list == nullptr) return false;
    for (size_t i = 0; i < list->size(); ++i) {
      const Json& item = (*list)[i];
      if (texts && !item.is_string()) return in.Fail(Index(Field(path, key), i), "expected a string");
      PictureStyle natural = style;
      natural.text.width = 0;
      natural.text.height = 0;
      natural.text.boxwidth = 0;
      Picture p;
      if (!Source(in, item, Index(Field(path, key), i), natural, &p)) return false;
      pictures.push_back(std::move(p));
    }
  } else if (defaulttexts != nullptr) {
    PictureStyle natural = style;
    natural.text.width = 0;
    natural.text.height = 0;
    natural.text.boxwidth = 0;
    for (const std::string& t : *defaulttexts) {
      Picture p;
      if (!Source(in, Json(t), path, natural, &p)) return false;
      pictures.push_back(std::move(p));
    }
  } else {
    return in.Fail(path, "give frames (pictures) or texts");
  }
  if (pictures.size() < minframes) {
    return in.Fail(Field(path, frames ? "frames" : "texts"), std::to_string(minframes) +
                                                              " frames needed, found " +
                                                              std::to_string(pictures.size()));
  }
  int32_t w = 0;
  int32_t h = 0;
  for (const Picture& p : pictures) {
    w = std::max(w, p.width);
    h = std::max(h, p.height);
  }
  if (style.havewidth) w = style.text.width;
  else w = std::max(w, style.text.boxwidth);
  if (style.haveheight) h = style.text.height;
  if (w > 65535 || h > 65535) return in.Fail(path, "frames larger than 65535 pixels");
  out->count = static_cast<uint32_t>(pictures.size());
  if (!Get(in, object, path, "count", &out->count)) return false;
  out->width = static_cast<uint16_t>(w);
  out->height = static_cast<uint16_t>(h);
  out->format = style.chosen ? style.format : FormatKeeping(pictures);
  if (!style.chosen) {
    for (Picture& p : pictures) KeepFormat(&p, out->format);
  }
  if (!Pitch(in, object, path, out->width, out->format, &out->pitch)) return false;
  out->pixels.clear();
  for (const Picture& p : pictures) {
    Picture frame;
    frame.width = w;
    frame.height = h;
    frame.pixels.assign(static_cast<size_t>(w) * h, 0);
    int32_t dx = 0;
    if (style.text.align == TextAlign::Centre) dx = (w - p.width) / 2;
    if (style.text.align == TextAlign::Right) dx = w - p.width;
    for (int32_t y = 0; y < std::min(h, p.height); ++y) {
      for (int32_t x = 0; x < p.width; ++x) {
        if (x + dx < 0 || x + dx >= w) continue;
        frame.pixels[static_cast<size_t>(y) * w + x + dx] = p.pixels[static_cast<size_t>(y) * p.width + x];
      }
    }
    const std::vector<uint8_t> rows = PackRows(frame, out->format, out->pitch);
    out->pixels.insert(out->pixels.end(), rows.begin(), rows.end());
  }
  if (out->pixels.size() > kPlayBillMaxBytes) return in.Fail(path, "frames larger than a playbill can hold");
  return true;
}

// A clock's strip of digits or labels: the object under `key`, or the
// default texts in the default style when there is none.
bool ClockStrip(const In& in, const Json& e, const std::string& path, const char* key,
                const std::vector<std::string>* defaulttexts, bill::FrameStrip* out) {
  const Json empty = Json::object();
  const Json* strip = Find(e, key);
  const std::string where = Field(path, key);
  if (strip != nullptr && !Keys(in, *strip, where, kStripKeys)) return false;
  // A clock's "align" places each character within the widest one's cell.
  const In cell{in.context, in.error};
  return Strip(cell, strip != nullptr ? *strip : empty, where, defaulttexts, kTimeStripFrames, out);
}

bool FormatLetters(const In& in, const Json& object, const std::string& path, char format[kFormatLetters]) {
  if (Find(object, "format") == nullptr) return true;
  std::string letters;
  if (!String(in, object, path, "format", &letters)) return false;
  if (letters.size() > kFormatLetters) return in.Fail(Field(path, "format"), "at most 8 letters");
  std::memset(format, 0, kFormatLetters);
  std::memcpy(format, letters.data(), letters.size());
  return true;
}

bool Target(const In& in, const Json& e, const std::string& path, bill::Timer* t) {
  const Json* v = Find(e, "target");
  if (v == nullptr) return true;
  const std::string where = Field(path, "target");
  if (v->is_string()) {
    int year, month, day, hour, minute, second;
    char tail;
    if (std::sscanf(v->get<std::string>().c_str(), "%d-%d-%d %d:%d:%d%c", &year, &month, &day,
                    &hour, &minute, &second, &tail) != 6 ||
        year < 0 || year > 32767 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
      return in.Fail(where, "expected \"YYYY-MM-DD hh:mm:ss\", found " + v->dump());
    }
    t->year = static_cast<int16_t>(year);
    t->month = static_cast<int8_t>(month);
    t->day = static_cast<int8_t>(day);
    t->hour = static_cast<int16_t>(hour);
    t->minute = static_cast<int8_t>(minute);
    t->second = static_cast<int8_t>(second);
    return true;
  }
  if (!Keys(in, *v, where, kTargetKeys)) return false;
  return Get(in, *v, where, "year", &t->year) && Get(in, *v, where, "month", &t->month) &&
         Get(in, *v, where, "day", &t->day) && Get(in, *v, where, "hour", &t->hour) &&
         Get(in, *v, where, "minute", &t->minute) && Get(in, *v, where, "second", &t->second);
}

// The element's fields: the header fields, and its type's payload fields
// unless it gives the payload as bytes.
bool ElementKeys(const In& in, const Json& e, const std::string& path, uint16_t type) {
  if (!e.is_object()) return in.Fail(path, "expected an object { ... }");
  const bool bytes = Find(e, "payload") != nullptr;
  const ElementType* row = FindElementType(type);
  for (auto it = e.begin(); it != e.end(); ++it) {
    if (Listed(kHeaderKeys, it.key()) || (!bytes && row != nullptr && Listed(row->keys, it.key()))) {
      continue;
    }
    if (bytes) {
      return in.Fail(Field(path, it.key().c_str()),
                     UnknownField(it.key(), kHeaderKeys,
                                  "unknown field (an element with payload bytes takes only header fields)"));
    }
    std::vector<const char*> known(std::begin(kHeaderKeys), std::end(kHeaderKeys));
    if (row != nullptr) known.insert(known.end(), row->keys.begin(), row->keys.end());
    return in.Fail(Field(path, it.key().c_str()),
                   UnknownField(it.key(), known, "unknown field for a " + ElementTypeName(type) + " element"));
  }
  return true;
}

}  // namespace

// A picture element holds the fields of its one picture source itself.
bool BuildPicturePayload(const In& in, const Json& e, const std::string& path,
                         std::vector<uint8_t>* payload) {
  PictureStyle style;
  if (!Style(in, e, path, &style)) return false;
  Json source = Json::object();
  for (const char* k : kSourceKeys) {
    if (Find(e, k) != nullptr) source[k] = e[k];
  }
  Picture picture;
  if (!Source(in, source, path, style, &picture)) return false;
  if (!style.chosen) {
    style.format = FormatKeeping({picture});
    KeepFormat(&picture, style.format);
  }
  bill::BmpBlock block;
  block.width = static_cast<uint16_t>(picture.width);
  block.height = static_cast<uint16_t>(picture.height);
  block.format = style.format;
  if (!Pitch(in, e, path, block.width, block.format, &block.pitch)) return false;
  block.rows = PackRows(picture, block.format, block.pitch);
  *payload = bill::BmpBlockBytes(block);
  return true;
}

bool BuildStringPayload(const In& in, const Json& e, const std::string& path,
                        std::vector<uint8_t>* payload) {
  bill::StringText t;
  uint32_t colour = t.colour;
  if (!Get(in, e, path, "id", &t.id) || !Get(in, e, path, "singleline", &t.singleline, true) ||
      !Colour(in, e, path, "colour", &colour) || !Get(in, e, path, "size", &t.fontsize)) {
    return false;
  }
  if (colour > 7) {
    return in.Fail(Field(path, "colour"), std::to_string(colour) + " is not a colour: give 0..7 or a name (red, "
                                          "green, yellow, blue, magenta, cyan, white)");
  }
  t.colour = colour;
  const bool text = Find(e, "text") != nullptr;
  const bool bytes = Find(e, "textbytes") != nullptr;
  if (text == bytes) return in.Fail(path, "give exactly one of text or textbytes");
  if (text) {
    std::string words;
    if (!String(in, e, path, "text", &words)) return false;
    std::string error;
    if (!Utf8ToGb(words, &t.text, &error)) return in.Fail(Field(path, "text"), error);
  } else {
    std::vector<uint8_t> raw;
    if (!HexBytes(in, e, path, "textbytes", &raw)) return false;
    t.text.assign(raw.begin(), raw.end());
  }
  if (Find(e, "reserved") != nullptr) {
    std::vector<uint8_t> raw;
    if (!HexBytes(in, e, path, "reserved", &raw)) return false;
    if (raw.size() != sizeof t.reserved) return in.Fail(Field(path, "reserved"), "expected 8 bytes (16 hex digits)");
    std::memcpy(t.reserved, raw.data(), sizeof t.reserved);
  }
  *payload = bill::StringTextBytes(t);
  return true;
}

bool BuildTimerPayload(const In& in, const Json& e, const std::string& path,
                       std::vector<uint8_t>* payload) {
  bill::Timer t;
  const Json* direction = Find(e, "direction");
  if (direction != nullptr && direction->is_string()) {
    const std::string d = direction->get<std::string>();
    if (d != "down" && d != "up") return in.Fail(Field(path, "direction"), "expected \"down\" or \"up\"");
    t.direction = d == "down" ? 1 : 0;
  } else if (!Get(in, e, path, "direction", &t.direction)) {
    return false;
  }
  std::memcpy(t.format, "hms", 3);
  if (!Target(in, e, path, &t) || !FormatLetters(in, e, path, t.format)) return false;
  if (!ClockStrip(in, e, path, "digits", &kDigitTexts, &t.digits)) return false;
  *payload = bill::TimerBytes(t);
  return true;
}

bool BuildAnalogClockPayload(const In& in, const Json& e, const std::string& path,
                             std::vector<uint8_t>* payload) {
  bill::AnalogClock c;
  if (!Get(in, e, path, "timesource", &c.timesource) || !Colour(in, e, path, "marks", &c.marks) ||
      !Colour(in, e, path, "minormarks", &c.minormarks) || !Colour(in, e, path, "hour", &c.hour) ||
      !Colour(in, e, path, "minute", &c.minute) || !Colour(in, e, path, "second", &c.second) ||
      !Get(in, e, path, "hourwidth", &c.hourwidth) ||
      !Get(in, e, path, "minutewidth", &c.minutewidth)) {
    return false;
  }
  *payload = bill::AnalogClockBytes(c);
  return true;
}

bool BuildDigitalClockPayload(const In& in, const Json& e, const std::string& path,
                              std::vector<uint8_t>* payload) {
  bill::DigitalClock c;
  std::memcpy(c.format, "hms", 3);
  if (!Get(in, e, path, "timesource", &c.timesource) || !FormatLetters(in, e, path, c.format)) {
    return false;
  }
  if (!ClockStrip(in, e, path, "digits", &kDigitTexts, &c.digits) ||
      !ClockStrip(in, e, path, "labels", &kLabelTexts, &c.labels)) {
    return false;
  }
  *payload = bill::DigitalClockBytes(c);
  return true;
}

// Animations and paged pictures: one strip of at least one frame.
bool BuildStripPayload(const In& in, const Json& e, const std::string& path,
                       std::vector<uint8_t>* payload) {
  bill::FrameStrip s;
  if (!Strip(in, e, path, nullptr, 1, &s)) return false;
  *payload = bill::FrameStripBytes(s);
  return true;
}

bool BuildElement(const In& in, const Json& e, const std::string& path, bill::Element* out) {
  if (!e.is_object()) return in.Fail(path, "expected an object { ... }");
  const Json* type = Find(e, "type");
  if (type == nullptr) return in.Fail(Field(path, "type"), "missing");
  uint16_t elemtype = 0;
  if (type->is_string()) {
    const std::string name = type->get<std::string>();
    const ElementType* row = ElementTypeByName(name);
    if (row == nullptr) {
      std::string names;
      for (const ElementType& known : ElementTypes()) {
        names += (names.empty() ? "" : ", ") + std::string(known.name);
      }
      return in.Fail(Field(path, "type"), "unknown element type \"" + name + "\" (" + names + ")");
    }
    elemtype = row->elemtype;
  } else {
    if (!Get(in, e, path, "type", &elemtype)) return false;
    if (FindElementType(elemtype) == nullptr && Find(e, "payload") == nullptr) {
      return in.Fail(Field(path, "type"), "element types are 1..7; others need payload bytes");
    }
  }
  if (!ElementKeys(in, e, path, elemtype)) return false;
  out->elemtype = elemtype;
  int64_t entry = 0;
  int64_t exit = 0;
  // The engine's speed tables have 9 rows. A stored speed above 8, which it
  // plays as 8, is said as "rawspeed" so that inspect's output builds back.
  int64_t speed = 0;
  if (Find(e, "speed") != nullptr && Find(e, "rawspeed") != nullptr) {
    return in.Fail(Field(path, "speed"), "give either speed or rawspeed, not both");
  }
  if (!Number(in, e, path, "speed", 0, kMaxSpeed, &speed) ||
      !Number(in, e, path, "rawspeed", kMaxSpeed + 1, 65535, &speed)) {
    return false;
  }
  out->speed = static_cast<uint16_t>(speed);
  if (!Get(in, e, path, "delay", &out->delaytime) ||
      !Effect(in, e, path, "entry", true, 65535, &entry) ||
      !Effect(in, e, path, "exit", false, 0xFFFFFFFF, &exit) ||
      !Get(in, e, path, "stay", &out->staytime)) {
    return false;
  }
  out->entryeffect = static_cast<uint16_t>(entry);
  out->exiteffect = static_cast<uint32_t>(exit);
  if (Find(e, "payload") != nullptr) return HexBytes(in, e, path, "payload", &out->payload);
  // Without payload bytes the type has a row: checked above.
  return FindElementType(elemtype)->build(in, e, path, &out->payload);
}

bool BuildBill(const Json& d, const BuildContext& context, bill::Bill* out, SignSize* sign,
               std::string* error) {
  const In in{context, error};
  *out = bill::Bill();
  *sign = SignSize();
  if (!Keys(in, d, "", kBillKeys)) {
    if (!d.is_object()) *error = "the description must be a JSON object { \"pages\": [...] }";
    return false;
  }
  std::string schema;  // for editors only
  if (!String(in, d, "", "$schema", &schema)) return false;
  if (const Json* s = Find(d, "sign")) {
    if (!Keys(in, *s, "sign", kSignKeys)) return false;
    int64_t w = 0, h = 0, m = 0;
    if (!Number(in, *s, "sign", "width", 1, 8192, &w) ||
        !Number(in, *s, "sign", "height", 1, 512, &h) || !Number(in, *s, "sign", "mode", 1, 4, &m)) {
      return false;
    }
    if (m == 3) return in.Fail("sign.mode", "3 is not a colour mode; the modes are 1, 2 and 4");
    sign->width = static_cast<int32_t>(w);
    sign->height = static_cast<int32_t>(h);
    sign->mode = static_cast<int32_t>(m);
    std::string font;
    if (!String(in, *s, "sign", "font", &font)) return false;
    if (Find(*s, "font") != nullptr) {
      // A file beside the description, else a fontconfig name.
      const std::string beside = JoinPath(context.basedir, font);
      std::error_code ec;
      if (!context.pendingonly && !font.empty() && std::filesystem::is_regular_file(beside, ec)) font = beside;
      std::string path;
      std::string why;
      if (!FindFont(font, &path, &why)) return in.Fail("sign.font", why);
      sign->font = font;
    }
  }
  if (!Get(in, d, "", "reserved", &out->reserved)) return false;
  if (Find(d, "trailing") != nullptr && !HexBytes(in, d, "", "trailing", &out->trailing)) {
    return false;
  }
  const Json* pages = List(in, d, "", "pages", true);
  if (pages == nullptr) return false;
  for (size_t pi = 0; pi < pages->size(); ++pi) {
    const Json& p = (*pages)[pi];
    const std::string ppath = Index("pages", pi);
    if (!Keys(in, p, ppath, kPageKeys)) return false;
    bill::Page& page = out->AddPage();
    if (!Border(in, p, ppath, &page.bordertype) ||
        !Get(in, p, ppath, "playtime", &page.playtime)) {
      return false;
    }
    const Json* areas = List(in, p, ppath, "areas", true);
    if (areas == nullptr) return false;
    for (size_t ai = 0; ai < areas->size(); ++ai) {
      const Json& a = (*areas)[ai];
      const std::string apath = Index(Field(ppath, "areas"), ai);
      if (!Keys(in, a, apath, kAreaKeys)) return false;
      uint16_t rect[4] = {0, 0, static_cast<uint16_t>(sign->width), static_cast<uint16_t>(sign->height)};
      if (!Rect(in, a, apath, rect, sign->width > 0)) return false;
      if (sign->width > 0 && (rect[0] + rect[2] > sign->width || rect[1] + rect[3] > sign->height)) {
        return in.Fail(Field(apath, "rect"), "reaches outside the " + std::to_string(sign->width) +
                                                 "x" + std::to_string(sign->height) + " sign");
      }
      bill::Area& area = page.AddArea(rect[0], rect[1], rect[2], rect[3]);
      if (!Get(in, a, apath, "static", &area.staticflag, true)) return false;
      const bool staticsaid = Find(a, "static") != nullptr;
      const Json* comps = List(in, a, apath, "components", true);
      if (comps == nullptr) return false;
      for (size_t ci = 0; ci < comps->size(); ++ci) {
        const Json& c = (*comps)[ci];
        const std::string cpath = Index(Field(apath, "components"), ci);
        if (!Keys(in, c, cpath, kComponentKeys)) return false;
        uint16_t crect[4] = {0, 0, area.width, area.height};
        if (!Rect(in, c, cpath, crect, true)) return false;
        if (crect[0] > area.width || crect[1] > area.height) {
          return in.Fail(Field(cpath, "rect"), "starts outside its area");
        }
        bill::Component& comp = area.AddComponent(crect[0], crect[1], crect[2], crect[3]);
        const In cin{context, error, crect[2]};
        if (!Border(in, c, cpath, &comp.bordertype)) return false;
        const Json* elems = List(in, c, cpath, "elements", true);
        if (elems == nullptr) return false;
        for (size_t ei = 0; ei < elems->size(); ++ei) {
          bill::Element& e = comp.elements.emplace_back();
          if (!BuildElement(cin, (*elems)[ei], Index(Field(cpath, "elements"), ei), &e)) return false;
          if (e.payload.empty()) {
            return in.Fail(Index(Field(cpath, "elements"), ei), "the payload is empty");
          }
          if (e.payload.size() > kPlayBillMaxBytes) {
            return in.Fail(Index(Field(cpath, "elements"), ei), "larger than a playbill can be");
          }
        }
      }
      // An area of clocks and timers alone is static unless it says: only a
      // static area is cleared before they redraw.
      bool clocks = !area.components.empty();
      for (const bill::Component& comp : area.components) {
        for (const bill::Element& e : comp.elements) clocks = clocks && RedrawsEverySecond(e.elemtype);
      }
      if (!staticsaid && clocks) area.staticflag = 1;
    }
  }
  const size_t total = out->Bytes().size();
  if (total > kPlayBillMaxBytes) {
    *error = "the playbill would be " + std::to_string(total) + " bytes, more than the " +
             std::to_string(kPlayBillMaxBytes) + " the engine takes";
    return false;
  }
  return true;
}

bool BuildFile(const std::string& path, std::vector<uint8_t>* bytes, SignSize* sign,
               std::string* error, std::vector<std::string>* warnings) {
  std::vector<uint8_t> raw;
  if (!ReadFile(path, kMaxDescriptionBytes, &raw, error)) return false;
  Json d;
  if (!ParseJson(std::string(raw.begin(), raw.end()), &d, error)) {
    *error = path + ": " + *error;
    return false;
  }
  BuildContext context;
  context.basedir = DirectoryOf(path);
  context.warnings = warnings;
  bill::Bill b;
  if (!BuildBill(d, context, &b, sign, error)) {
    *error = path + ": " + *error;
    return false;
  }
  *bytes = b.Bytes();
  return true;
}

}  // namespace ledview::tool
