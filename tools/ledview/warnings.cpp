#include "ledview/warnings.h"

#include <algorithm>

#include "billfile/billreader.h"
#include "format/playbill.h"
#include "ledview/describe_shared.h"
#include "ledview/fonts.h"
#include "ledview/gbcode.h"

namespace ledview::tool {

namespace {

std::string Size(uint32_t w, uint32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

std::string PageList(size_t first, size_t last) {
  return first == last ? "pages[" + std::to_string(first) + "]"
                       : "pages[" + std::to_string(first) + ".." + std::to_string(last) + "]";
}

// The colour a value shows as on a sign of `mode`: the LEDs it has.
uint32_t Shown(uint32_t colour, int32_t mode) { return mode == 2 ? (colour & 3) : colour & 7; }

std::string ColourWords(uint32_t colour) {
  return std::string(kColourNames[colour & 7]) + " (" + std::to_string(colour) + ")";
}

// How a string or one-bit colour shows on a mode-2 sign, which has no blue
// LEDs; empty when it shows as it is.
std::string ModeTwoColour(uint32_t colour, int32_t mode) {
  if (mode != 2 || (colour & 4) == 0) return "";
  const uint32_t shown = Shown(colour, mode);
  return "colour " + ColourWords(colour) + " needs blue LEDs, which a mode-2 sign (red and green) lacks: " +
         (shown == 0 ? std::string("it stays dark") : "it shows " + std::string(kColourNames[shown])) +
         "; choose red, green or yellow";
}

// Pixels of a picture with the blue bit, for a format that has one.
size_t BluePixels(const uint8_t* rows, uint32_t width, uint32_t height, uint32_t format, uint32_t pitch,
                  size_t available) {
  if (format < kFormatFourBit) return 0;
  size_t n = 0;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = static_cast<size_t>(y) * pitch + (x >> 1);
      if (at >= available) return n;
      const uint8_t v = static_cast<uint8_t>(rows[at] >> (4 * (x & 1)));
      if ((v & 4) != 0) ++n;
    }
  }
  return n;
}

std::string PictureModeTwo(const uint8_t* rows, uint32_t width, uint32_t height, uint32_t format,
                           uint32_t pitch, size_t available, int32_t mode) {
  if (mode != 2) return "";
  if (format < kFormatTwoBit) {
    const std::string c = ModeTwoColour(format, mode);
    return c.empty() ? "" : "the picture's " + c;
  }
  const size_t blue = BluePixels(rows, width, height, format, pitch, available);
  if (blue == 0) return "";
  return std::to_string(blue) + " pixels of the picture have blue, which a mode-2 sign (red and green) lacks: "
         "blue stays dark, cyan shows green, magenta red, white yellow; use format 8 colours (red, green, yellow)";
}

// Frames a timer draws for its format: a number of days or hours ends it.
struct TimerShape {
  int32_t frames = 0;
  bool cut = false;  // letters after D, d or H that are not drawn
  std::string drawn;
};

TimerShape ShapeOfTimer(const char format[kFormatLetters]) {
  TimerShape t;
  bool sep = false;
  for (uint32_t i = 0; i < kFormatLetters; ++i) {
    const char c = format[i];
    if (c == 'D' || c == 'd' || c == 'H') {
      t.frames += 1;  // at least one digit
      t.drawn += c;
      for (uint32_t j = i + 1; j < kFormatLetters; ++j) {
        if (std::string("DdHhms").find(format[j]) != std::string::npos && format[j] != '\0') t.cut = true;
      }
      return t;
    }
    if (c == 'h') t.frames += 2, sep = true;
    if (c == 'm' || c == 's') t.frames += (sep ? 3 : 2), sep = true;
    if (c == 'h' || c == 'm' || c == 's') t.drawn += c;
  }
  return t;
}

// Digit and label frames a digital clock draws for its format.
void ShapeOfDigitalClock(const char format[kFormatLetters], int32_t* digits, int32_t* labels) {
  bool sep = false;
  for (uint32_t i = 0; i < kFormatLetters && format[i] != '\0'; ++i) {
    switch (format[i]) {
      case 'D': case 'd': case 'M': *digits += 2; *labels += 1; break;
      case 'H': case 'h': *digits += 2; sep = true; break;
      case 'W': case 'w': *labels += 3; break;
      case 'Y': case 'y': *digits += 4; *labels += 1; break;
      case 'm': case 's': *digits += sep ? 3 : 2; sep = true; break;
      default: break;
    }
  }
}

// Whether an element waits in seconds (its stay or start delay), holding a
// second timer while it does.
bool WaitsInSeconds(const bill::Element& e) {
  const bool text = e.elemtype == kElemPicture || e.elemtype == kElemString || e.elemtype == kElemPagedPicture;
  return text && (e.staytime > 0 || (e.elemtype != kElemPagedPicture && e.delaytime > 0));
}

// The page up at `ms` of a render, or -1 when none has started yet; pages
// play their playtime in turn, and one without a playtime for ever.
int32_t PageAt(const bill::Bill& b, int64_t ms) {
  if (b.pages.empty()) return -1;
  if (b.pages.size() == 1) return 0;
  int64_t cycle = 0;
  for (const bill::Page& p : b.pages) {
    if (p.playtime <= 0) break;
    cycle += int64_t{p.playtime} * 1000;
  }
  int64_t start = 0;
  for (size_t round = 0;; ++round) {
    for (size_t i = 0; i < b.pages.size(); ++i) {
      const bill::Page& p = b.pages[i];
      if (p.playtime <= 0) return static_cast<int32_t>(i);
      const int64_t end = start + int64_t{p.playtime} * 1000;
      if (ms < end) return static_cast<int32_t>(i);
      start = end;
    }
    // Every page has a playtime: skip whole rounds.
    if (round == 0 && cycle > 0 && ms >= start) start += (ms - start) / cycle * cycle;
  }
}

bool PageShowsString(const bill::Page& p, int32_t id) {
  for (const bill::Area& a : p.areas) {
    for (const bill::Component& c : a.components) {
      for (const bill::Element& e : c.elements) {
        bill::StringText t;
        if (e.elemtype == kElemString && bill::DecodeStringText(e.payload, &t) && t.id == id) return true;
      }
    }
  }
  return false;
}

std::string Seconds(int64_t ms) {
  std::string s = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    char frac[8];
    std::snprintf(frac, sizeof frac, ".%03d", static_cast<int>(ms % 1000));
    std::string f = frac;
    while (f.back() == '0') f.pop_back();
    s += f;
  }
  return s + " s";
}

}  // namespace

namespace {

// The characters of a string's text in the engine's codes; none when it
// holds a code that is not a character. Control codes are not drawn.
std::vector<uint32_t> TextChars(const std::string& gb) {
  std::vector<uint32_t> codes;
  std::string utf8;
  if (!GbToUtf8(gb, &utf8)) return codes;
  size_t at = 0;
  uint32_t code = 0;
  while (at < utf8.size() && NextCodePoint(utf8, &at, &code)) {
    if (code >= 0x20 && std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
  }
  return codes;
}

}  // namespace

std::vector<uint32_t> OutlineChars(const bill::Bill& b) {
  std::vector<uint32_t> codes;
  for (const bill::Page& p : b.pages) {
    for (const bill::Area& a : p.areas) {
      for (const bill::Component& c : a.components) {
        for (const bill::Element& e : c.elements) {
          bill::StringText t;
          if (e.elemtype != kElemString || !bill::DecodeStringText(e.payload, &t) || t.fontsize <= 16) continue;
          for (uint32_t code : TextChars(t.text)) {
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
          }
        }
      }
    }
  }
  return codes;
}

std::vector<uint32_t> OutlineChars(const std::vector<uint8_t>& bytes) {
  bill::Bill b;
  std::string error;
  if (!bill::ReadBill(bytes, &b, &error)) return {};
  return OutlineChars(b);
}

std::string LiveStringLost(const std::string& what, int32_t page, int32_t id, const char* when) {
  return "warning: " + what + ": pages[" + std::to_string(page) + "] is up " + when + " and shows no string " +
         std::to_string(id) +
         "; the sign empties its live strings at every page change, so the text is lost; "
         "set it while a page that shows it is up";
}

std::vector<std::string> ShowWarnings(const bill::Bill& b, const ShowFacts& f) {
  std::vector<std::string> lines;
  auto warn = [&lines](const std::string& path, const std::string& what) {
    lines.push_back("warning: " + path + ": " + what);
  };
  // A page that plays until stopped keeps the pages after it from playing.
  for (size_t pi = 0; pi + 1 < b.pages.size(); ++pi) {
    if (b.pages[pi].playtime <= 0) {
      warn("pages[" + std::to_string(pi) + "]", "has no playtime, so it plays until stopped and " +
                                                    PageList(pi + 1, b.pages.size() - 1) +
                                                    " never play; give it a \"playtime\" in seconds");
      break;
    }
  }
  for (size_t pi = 0; pi < b.pages.size(); ++pi) {
    const bill::Page& page = b.pages[pi];
    const std::string ppath = "pages[" + std::to_string(pi) + "]";
    int32_t waiting = 0;
    for (size_t ai = 0; ai < page.areas.size(); ++ai) {
      const bill::Area& a = page.areas[ai];
      const std::string apath = ppath + ".areas[" + std::to_string(ai) + "]";
      if (a.x + a.width > f.width || a.y + a.height > f.height) {
        warn(apath, "reaches outside the " + Size(f.width, f.height) + " sign; that part is not shown");
      }
      for (size_t ci = 0; ci < a.components.size(); ++ci) {
        const bill::Component& c = a.components[ci];
        const std::string cpath = apath + ".components[" + std::to_string(ci) + "]";
        if (c.x + c.width > a.width || c.y + c.height > a.height) {
          warn(cpath, "reaches outside its " + Size(a.width, a.height) + " area; that part is not shown");
        }
        // The content goes inside the border.
        const int32_t bw = BorderWidth(c.bordertype);
        const uint32_t iw = static_cast<uint32_t>(std::max(0, c.width - 2 * bw));
        const uint32_t ih = static_cast<uint32_t>(std::max(0, c.height - 2 * bw));
        const std::string inside = bw > 0 ? Size(iw, ih) + " inside its border" : Size(iw, ih);
        bool waits = false;
        for (size_t ei = 0; ei < c.elements.size(); ++ei) {
          const bill::Element& e = c.elements[ei];
          const std::string epath = cpath + ".elements[" + std::to_string(ei) + "]";
          if (a.staticflag == 0 && WaitsInSeconds(e)) waits = true;
          if (e.speed > kMaxSpeed) {
            warn(epath, "speed " + std::to_string(e.speed) + " is played as " + std::to_string(kMaxSpeed));
          }
          if (RedrawsEverySecond(e.elemtype) && a.staticflag == 0) {
            warn(epath, (e.elemtype == kElemAnalogClock ? "an " : "a ") + ElementTypeName(e.elemtype) +
                            " redraws every second without clearing, so in an area that is not static "
                            "it smears; make the area static (\"static\": true)");
          }
          // Only the scrolls carry a picture larger than the component
          // through it; every other entry leaves it cut at the edges.
          const bool scrolls = e.entryeffect >= kEntryFirstScroll && e.entryeffect <= kEntryLastScroll;
          switch (e.elemtype) {
            case kElemPicture: {
              bill::BmpBlock p;
              if (!bill::DecodeBmpBlock(e.payload, &p)) break;
              if (!scrolls && (p.width > iw || p.height > ih)) {
                warn(epath, "the " + Size(p.width, p.height) + " picture is larger than its component's " +
                                inside + " and will be cut; make it smaller or scroll it in");
              }
              const std::string m = PictureModeTwo(p.rows.data(), p.width, p.height, p.format, p.pitch,
                                                   p.rows.size(), f.mode);
              if (!m.empty()) warn(epath, m);
              break;
            }
            case kElemAnimation:
            case kElemPagedPicture: {
              bill::FrameStrip s;
              if (!bill::DecodeFrameStrip(e.payload, 0, &s)) break;
              if (!scrolls && (s.width > iw || s.height > ih)) {
                warn(epath, "the " + Size(s.width, s.height) + " picture is larger than its component's " +
                                inside + " and will be cut; make it smaller or scroll it in");
              }
              const std::string m = PictureModeTwo(s.pixels.data(), s.width, s.height * s.count, s.format,
                                                   s.pitch, s.pixels.size(), f.mode);
              if (!m.empty()) warn(epath, m);
              break;
            }
            case kElemString: {
              bill::StringText t;
              if (!bill::DecodeStringText(e.payload, &t)) break;
              const uint32_t cell = std::max<uint32_t>(t.fontsize, 16);
              if (t.fontsize < 16) {
                warn(epath, "text size " + std::to_string(t.fontsize) +
                                " is drawn 16 px tall: sizes up to 16 all use the 16-pixel bitmap font; "
                                "use 16, or above 16 for the outline font");
              }
              if (t.fontsize > 16 && !f.font.empty()) {
                const std::vector<uint32_t> missing = MissingChars(f.font, TextChars(t.text));
                if (!missing.empty()) {
                  std::string names;
                  for (size_t i = 0; i < missing.size() && i < 3; ++i) names += (i > 0 ? ", " : "") + CharName(missing[i]);
                  if (missing.size() > 3) names += " and " + std::to_string(missing.size() - 3) + " more";
                  warn(epath, "the font \"" + f.font + "\" lacks " + names +
                                  ", which the sign shows as empty boxes; name a font that has them "
                                  "(\"sign\": {\"font\": ...} or --font)");
                }
              }
              if (cell > ih) {
                warn(epath, "the " + std::to_string(cell) + " px text is taller than its component's " +
                                std::to_string(ih) + " px" + (bw > 0 ? " inside its border" : "") +
                                " and will be cut");
              }
              const std::string m = ModeTwoColour(t.colour, f.mode);
              if (!m.empty()) warn(epath, "text " + m);
              break;
            }
            case kElemTimer: {
              bill::Timer t;
              if (!bill::DecodeTimer(e.payload, &t)) break;
              const TimerShape shape = ShapeOfTimer(t.format);
              const std::string letters(t.format, strnlen(t.format, kFormatLetters));
              if (shape.cut) {
                warn(epath, "timer format \"" + letters + "\" draws only \"" + shape.drawn +
                                "\": a D, d or H shows the whole count and ends the format; put it last or "
                                "leave the letters after it out");
              }
              const uint32_t w = static_cast<uint32_t>(shape.frames) * t.digits.width;
              if (w > iw || t.digits.height > ih) {
                warn(epath, "the timer needs " + Size(w, t.digits.height) + " for \"" + shape.drawn +
                                "\", more than its component's " + inside + "; it will be cut");
              }
              const std::string m = PictureModeTwo(t.digits.pixels.data(), t.digits.width,
                                                   t.digits.height * t.digits.count, t.digits.format,
                                                   t.digits.pitch, t.digits.pixels.size(), f.mode);
              if (!m.empty()) warn(epath, "digits: " + m);
              break;
            }
            case kElemDigitalClock: {
              bill::DigitalClock d;
              if (!bill::DecodeDigitalClock(e.payload, &d)) break;
              int32_t digits = 0;
              int32_t labels = 0;
              ShapeOfDigitalClock(d.format, &digits, &labels);
              const uint32_t w = static_cast<uint32_t>(digits) * d.digits.width +
                                 static_cast<uint32_t>(labels) * d.labels.width;
              const uint32_t h = std::max<uint32_t>(digits > 0 ? d.digits.height : 0, labels > 0 ? d.labels.height : 0);
              if (w > iw || h > ih) {
                warn(epath, "the digital clock needs " + Size(w, h) + ", more than its component's " + inside +
                                "; it will be cut");
              }
              for (const bill::FrameStrip* s : {&d.digits, &d.labels}) {
                const std::string m = PictureModeTwo(s->pixels.data(), s->width, s->height * s->count,
                                                     s->format, s->pitch, s->pixels.size(), f.mode);
                if (!m.empty()) warn(epath, (s == &d.digits ? "digits: " : "labels: ") + m);
              }
              break;
            }
            case kElemAnalogClock: {
              bill::AnalogClock k;
              if (!bill::DecodeAnalogClock(e.payload, &k)) break;
              if (iw < 10 || ih < 10) {
                warn(epath, "an analog clock needs at least 10x10; its component's " + inside +
                                " shows nothing");
              }
              if (f.mode == 2) {
                // The engine keeps the low two bits, and makes dark red.
                for (uint32_t colour : {k.marks, k.minormarks, k.hour, k.minute, k.second}) {
                  if ((colour & 4) != 0) {
                    const uint32_t shown = (colour & 3) != 0 ? colour & 3 : 1;
                    warn(epath, "clock colour " + ColourWords(colour) +
                                    " needs blue LEDs, which a mode-2 sign (red and green) lacks: it shows " +
                                    kColourNames[shown] + "; choose red, green or yellow");
                    break;
                  }
                }
              }
              break;
            }
            default:
              break;
          }
        }
        if (waits) ++waiting;
      }
    }
    const int32_t free = kSecondTimers - (page.playtime > 0 ? 1 : 0);
    if (waiting > free) {
      warn(ppath, std::to_string(waiting) + " components wait in seconds (stay or delay), but the sign has " +
                      std::to_string(free) + " second timers for them" +
                      (page.playtime > 0 ? " (one of its 16 counts the page's playtime)" : "") +
                      ": the ones left over freeze; move some to another page or use stay 0");
    }
  }
  // Live strings live only as long as the page that is up when they are set.
  for (const StringUpdate& u : f.strings) {
    const std::string what = "--string " + std::to_string(u.id) + "@" + Seconds(u.atms);
    bool used = false;
    for (const bill::Page& p : b.pages) used = used || PageShowsString(p, u.id);
    if (!used) {
      lines.push_back("warning: " + what + ": no string element has id " + std::to_string(u.id) +
                      ", so the text is never shown");
      continue;
    }
    const int32_t at = PageAt(b, u.atms);
    if (at >= 0 && !PageShowsString(b.pages[static_cast<size_t>(at)], u.id)) {
      lines.push_back(LiveStringLost(what, at, u.id, "then"));
    }
  }
  return lines;
}

std::vector<std::string> ShowWarnings(const std::vector<uint8_t>& bytes, const ShowFacts& facts) {
  bill::Bill b;
  std::string error;
  if (!bill::ReadBill(bytes, &b, &error)) return {};
  return ShowWarnings(b, facts);
}

void PrintWarnings(const std::vector<std::string>& lines, std::FILE* out) {
  for (const std::string& line : lines) std::fprintf(out, "ledview: %s\n", line.c_str());
}

}  // namespace ledview::tool
