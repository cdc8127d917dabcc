#include "billfile/billwriter.h"

#include <algorithm>
#include <cstring>

#include "format/playbill.h"

namespace ledview::bill {

namespace {

// A header of headerbytes zeros with the magic in front, filled by
// fields(at) where at is the header's offset; then the children, whose
// length goes into the header's size field.
template <typename WriteFields, typename WriteChildren>
void Object(std::vector<uint8_t>& out, uint32_t magic, uint32_t headerbytes, uint32_t sizefield,
            WriteFields fields, WriteChildren children) {
  const size_t at = out.size();
  out.resize(at + headerbytes, 0);
  PutU32(out, at, magic);
  fields(at);
  children();
  PutU32(out, at + sizefield, static_cast<uint32_t>(out.size() - at - headerbytes));
}

// Grows out by bytes and copies them in (resize and copy rather than insert,
// which GCC 12 misreads as writing past a fixed-size header).
void AppendBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  const size_t at = out.size();
  out.resize(at + bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<ptrdiff_t>(at));
}

void PutRect(std::vector<uint8_t>& out, size_t at, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
  PutU16(out, at + rectfield::x, x);
  PutU16(out, at + rectfield::y, y);
  PutU16(out, at + rectfield::width, w);
  PutU16(out, at + rectfield::height, h);
}

void AppendStrip(std::vector<uint8_t>& out, const FrameStrip& s) {
  const size_t at = out.size();
  out.resize(at + stripfield::pages, 0);
  PutU32(out, at + stripfield::count, s.count);
  PutU16(out, at + stripfield::width, s.width);
  PutU16(out, at + stripfield::height, s.height);
  PutU32(out, at + stripfield::format, s.format);
  PutU32(out, at + stripfield::pitch, s.pitch);
  AppendBytes(out, s.pixels);
}

}  // namespace

Element& Component::AddElement(uint16_t elemtype, std::vector<uint8_t> payload) {
  Element& e = elements.emplace_back();
  e.elemtype = elemtype;
  e.payload = std::move(payload);
  return e;
}

Component& Area::AddComponent(uint16_t cx, uint16_t cy, uint16_t cw, uint16_t ch,
                              uint32_t border) {
  Component& c = components.emplace_back();
  c.x = cx;
  c.y = cy;
  c.width = cw;
  c.height = ch;
  c.bordertype = border;
  return c;
}

Area& Page::AddArea(uint16_t ax, uint16_t ay, uint16_t aw, uint16_t ah, uint32_t flag) {
  Area& a = areas.emplace_back();
  a.x = ax;
  a.y = ay;
  a.width = aw;
  a.height = ah;
  a.staticflag = flag;
  return a;
}

Page& Bill::AddPage(int32_t playtime, uint32_t bordertype) {
  Page& p = pages.emplace_back();
  p.playtime = playtime;
  p.bordertype = bordertype;
  return p;
}

std::vector<uint8_t> Bill::Bytes() const {
  std::vector<uint8_t> out;
  out.reserve(4096);
  Object(out, kBillMagic, kBillHeaderBytes, billfield::pagesize,
         [&](size_t at) { PutU32(out, at + billfield::reserved, reserved); }, [&] {
    for (const Page& p : pages) {
      p.offset = out.size();
      Object(out, kPageMagic, kPageHeaderBytes, pagefield::areasize, [&](size_t at) {
        PutU32(out, at + pagefield::bordertype, p.bordertype);
        PutU32(out, at + pagefield::playtime, static_cast<uint32_t>(p.playtime));
      }, [&] {
        for (const Area& a : p.areas) {
          a.offset = out.size();
          Object(out, kAreaMagic, kAreaHeaderBytes, areafield::componentsize, [&](size_t at) {
            PutRect(out, at, a.x, a.y, a.width, a.height);
            PutU32(out, at + areafield::staticflag, a.staticflag);
          }, [&] {
            for (const Component& c : a.components) {
              c.offset = out.size();
              Object(out, kComponentMagic, kComponentHeaderBytes, componentfield::componentsize,
                     [&](size_t at) {
                PutRect(out, at, c.x, c.y, c.width, c.height);
                PutU32(out, at + componentfield::bordertype, c.bordertype);
              }, [&] {
                for (const Element& e : c.elements) {
                  e.offset = out.size();
                  Object(out, kElementMagic, kElementHeaderBytes, elementfield::vsobjsize,
                         [&](size_t at) {
                    PutU16(out, at + elementfield::elemtype, e.elemtype);
                    PutU16(out, at + elementfield::delaytime, e.delaytime);
                    PutU16(out, at + elementfield::speed, e.speed);
                    PutU16(out, at + elementfield::entryeffect, e.entryeffect);
                    PutU32(out, at + elementfield::staytime, e.staytime);
                    PutU32(out, at + elementfield::exiteffect, e.exiteffect);
                  }, [&] { out.insert(out.end(), e.payload.begin(), e.payload.end()); });
                }
              });
            }
          });
        }
      });
    }
  });
  out.insert(out.end(), trailing.begin(), trailing.end());
  return out;
}

uint32_t RowBytes(uint32_t width, uint32_t format) {
  return static_cast<uint32_t>(PictureRowBytes(width, format));
}

std::vector<uint8_t> BmpBlockBytes(const BmpBlock& picture) {
  std::vector<uint8_t> out(bmpfield::rows, 0);
  PutU16(out, bmpfield::width, picture.width);
  PutU16(out, bmpfield::height, picture.height);
  PutU32(out, bmpfield::format, picture.format);
  PutU32(out, bmpfield::pitch, picture.pitch);
  AppendBytes(out, picture.rows);
  return out;
}

std::vector<uint8_t> FrameStripBytes(const FrameStrip& strip) {
  std::vector<uint8_t> out;
  AppendStrip(out, strip);
  return out;
}

std::vector<uint8_t> StringTextBytes(const StringText& t) {
  std::vector<uint8_t> out(stringfield::text, 0);
  PutU16(out, stringfield::id, t.id);
  PutU16(out, stringfield::singleline, t.singleline);
  PutU32(out, stringfield::colour, t.colour);
  std::memcpy(out.data() + stringfield::reserved, t.reserved, sizeof t.reserved);
  PutU32(out, stringfield::length, static_cast<uint32_t>(t.text.size()));
  PutU32(out, stringfield::size, t.fontsize);
  AppendBytes(out, std::vector<uint8_t>(t.text.begin(), t.text.end()));
  return out;
}

std::vector<uint8_t> TimerBytes(const Timer& t) {
  std::vector<uint8_t> out(timerfield::digits, 0);
  PutU32(out, timerfield::direction, t.direction);
  PutU16(out, timerfield::year, static_cast<uint16_t>(t.year));
  out[timerfield::month] = static_cast<uint8_t>(t.month);
  out[timerfield::day] = static_cast<uint8_t>(t.day);
  PutU16(out, timerfield::hour, static_cast<uint16_t>(t.hour));
  out[timerfield::minute] = static_cast<uint8_t>(t.minute);
  out[timerfield::second] = static_cast<uint8_t>(t.second);
  std::memcpy(out.data() + timerfield::format, t.format, kFormatLetters);
  AppendStrip(out, t.digits);
  return out;
}

std::vector<uint8_t> AnalogClockBytes(const AnalogClock& c) {
  std::vector<uint8_t> out(clockfield::end, 0);
  PutU32(out, clockfield::timesource, c.timesource);
  PutU32(out, clockfield::mainmarks, c.marks);
  PutU32(out, clockfield::othermarks, c.minormarks);
  PutU32(out, clockfield::hourhand, c.hour);
  PutU32(out, clockfield::minutehand, c.minute);
  PutU32(out, clockfield::secondhand, c.second);
  PutU16(out, clockfield::hourwidth, c.hourwidth);
  PutU16(out, clockfield::minutewidth, c.minutewidth);
  return out;
}

std::vector<uint8_t> DigitalClockBytes(const DigitalClock& c) {
  std::vector<uint8_t> out(digitalfield::end, 0);
  PutU32(out, digitalfield::timesource, c.timesource);
  std::memcpy(out.data() + digitalfield::format, c.format, kFormatLetters);
  const uint32_t digitsat = digitalfield::end;
  const uint32_t labelsat = digitsat + stripfield::pages + static_cast<uint32_t>(c.digits.pixels.size());
  PutU32(out, digitalfield::digits, digitsat);
  PutU32(out, digitalfield::labels, labelsat);
  AppendStrip(out, c.digits);
  AppendStrip(out, c.labels);
  return out;
}

void Append16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b.at(at)) | (static_cast<uint32_t>(b.at(at + 1)) << 8) |
         (static_cast<uint32_t>(b.at(at + 2)) << 16) | (static_cast<uint32_t>(b.at(at + 3)) << 24);
}

uint16_t GetU16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

}  // namespace ledview::bill
