#include "ledview/billwriter.h"

#include <cstring>

namespace ledview::bill {

namespace {

constexpr uint32_t kBillMagic = 0x80000000u;
constexpr uint32_t kPageMagic = 0x40000000u;
constexpr uint32_t kAreaMagic = 0x20000000u;
constexpr uint32_t kComponentMagic = 0x08000000u;
constexpr uint32_t kElementMagic = 0x04000000u;

// Writes a header whose last word is the children's length, then the
// children, and patches the length once they are known.
template <typename WriteFields, typename WriteChildren>
void Object(std::vector<uint8_t>& out, uint32_t magic, WriteFields fields, WriteChildren children) {
  Append32(out, magic);
  fields();
  const size_t lengthat = out.size();
  Append32(out, 0);
  const size_t start = out.size();
  children();
  PutU32(out, lengthat, static_cast<uint32_t>(out.size() - start));
}

void AppendRect(std::vector<uint8_t>& out, uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
  Append16(out, x);
  Append16(out, y);
  Append16(out, w);
  Append16(out, h);
}

void AppendStrip(std::vector<uint8_t>& out, const FrameStrip& s) {
  Append32(out, s.count);
  Append16(out, s.width);
  Append16(out, s.height);
  Append32(out, s.format);
  Append32(out, s.pitch);
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
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
  Object(out, kBillMagic, [&] { Append32(out, reserved); }, [&] {
    for (const Page& p : pages) {
      p.offset = out.size();
      Object(out, kPageMagic, [&] {
        Append32(out, p.bordertype);
        Append32(out, static_cast<uint32_t>(p.playtime));
      }, [&] {
        for (const Area& a : p.areas) {
          a.offset = out.size();
          Object(out, kAreaMagic, [&] {
            AppendRect(out, a.x, a.y, a.width, a.height);
            Append32(out, a.staticflag);
          }, [&] {
            for (const Component& c : a.components) {
              c.offset = out.size();
              Object(out, kComponentMagic, [&] {
                AppendRect(out, c.x, c.y, c.width, c.height);
                Append32(out, c.bordertype);
              }, [&] {
                for (const Element& e : c.elements) {
                  e.offset = out.size();
                  Object(out, kElementMagic, [&] {
                    Append16(out, e.elemtype);
                    Append16(out, e.delaytime);
                    Append16(out, e.speed);
                    Append16(out, e.entryeffect);
                    Append32(out, e.staytime);
                    Append32(out, e.exiteffect);
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
  if (format <= 7) return static_cast<uint32_t>((uint64_t{width} + 7) / 8);
  if (format == 8) return static_cast<uint32_t>((uint64_t{width} + 3) / 4);
  return static_cast<uint32_t>((uint64_t{width} + 1) / 2);
}

std::vector<uint8_t> BmpBlockBytes(const BmpBlock& picture) {
  std::vector<uint8_t> out;
  Append16(out, picture.width);
  Append16(out, picture.height);
  Append32(out, picture.format);
  Append32(out, picture.pitch);
  out.insert(out.end(), picture.rows.begin(), picture.rows.end());
  return out;
}

std::vector<uint8_t> FrameStripBytes(const FrameStrip& strip) {
  std::vector<uint8_t> out;
  AppendStrip(out, strip);
  return out;
}

std::vector<uint8_t> StringTextBytes(const StringText& t) {
  std::vector<uint8_t> out;
  Append16(out, t.id);
  Append16(out, t.singleline);
  Append32(out, t.colour);
  out.insert(out.end(), t.reserved, t.reserved + 8);
  Append32(out, static_cast<uint32_t>(t.text.size()));
  Append32(out, t.fontsize);
  out.insert(out.end(), t.text.begin(), t.text.end());
  return out;
}

std::vector<uint8_t> TimerBytes(const Timer& t) {
  std::vector<uint8_t> out;
  Append32(out, t.direction);
  Append16(out, static_cast<uint16_t>(t.year));
  out.push_back(static_cast<uint8_t>(t.month));
  out.push_back(static_cast<uint8_t>(t.day));
  Append16(out, static_cast<uint16_t>(t.hour));
  out.push_back(static_cast<uint8_t>(t.minute));
  out.push_back(static_cast<uint8_t>(t.second));
  out.insert(out.end(), t.format, t.format + 8);
  AppendStrip(out, t.digits);
  return out;
}

std::vector<uint8_t> AnalogClockBytes(const AnalogClock& c) {
  std::vector<uint8_t> out;
  Append32(out, c.timesource);
  Append32(out, c.marks);
  Append32(out, c.minormarks);
  Append32(out, c.hour);
  Append32(out, c.minute);
  Append32(out, c.second);
  Append16(out, c.hourwidth);
  Append16(out, c.minutewidth);
  return out;
}

std::vector<uint8_t> DigitalClockBytes(const DigitalClock& c) {
  // The fixed fields: time source, format letters, the two strip offsets.
  std::vector<uint8_t> out(20, 0);
  PutU32(out, 0, c.timesource);
  std::memcpy(out.data() + 4, c.format, 8);
  const uint32_t digitsat = 20;
  const uint32_t labelsat = digitsat + 16 + static_cast<uint32_t>(c.digits.pixels.size());
  PutU32(out, 12, digitsat);
  PutU32(out, 16, labelsat);
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
