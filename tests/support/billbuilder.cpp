#include "support/billbuilder.h"

#include <cstring>

namespace ledview::test {

namespace {

void Append16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

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
  auto rect = [&out](uint16_t x, uint16_t y, uint16_t w, uint16_t h) {
    Append16(out, x);
    Append16(out, y);
    Append16(out, w);
    Append16(out, h);
  };
  Object(out, 0x80000000u, [&] { Append32(out, 0); }, [&] {
    for (const Page& p : pages) {
      p.offset = out.size();
      Object(out, 0x40000000u, [&] {
        Append32(out, p.bordertype);
        Append32(out, static_cast<uint32_t>(p.playtime));
      }, [&] {
        for (const Area& a : p.areas) {
          a.offset = out.size();
          Object(out, 0x20000000u, [&] {
            rect(a.x, a.y, a.width, a.height);
            Append32(out, a.staticflag);
          }, [&] {
            for (const Component& c : a.components) {
              c.offset = out.size();
              Object(out, 0x08000000u, [&] {
                rect(c.x, c.y, c.width, c.height);
                Append32(out, c.bordertype);
              }, [&] {
                for (const Element& e : c.elements) {
                  e.offset = out.size();
                  Object(out, 0x04000000u, [&] {
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
  return out;
}

std::vector<uint8_t> BitmapPayload(uint16_t width, uint16_t height, uint32_t format,
                                   uint32_t pitch) {
  if (pitch == 0) pitch = (width + 7u) / 8u;
  std::vector<uint8_t> out;
  Append16(out, width);
  Append16(out, height);
  Append32(out, format);
  Append32(out, pitch);
  out.resize(out.size() + static_cast<size_t>(pitch) * height, 0xA5);
  return out;
}

std::vector<uint8_t> StringPayload(uint16_t id, const std::string& text, uint32_t fontsize,
                                   uint32_t colour, uint16_t singleline) {
  std::vector<uint8_t> out;
  Append16(out, id);
  Append16(out, singleline);
  Append32(out, colour);
  Append32(out, 0);
  Append32(out, 0);
  Append32(out, static_cast<uint32_t>(text.size()));
  Append32(out, fontsize);
  out.insert(out.end(), text.begin(), text.end());
  return out;
}

std::vector<uint8_t> StripBytes(uint32_t count, uint16_t width, uint16_t height, uint32_t format,
                                uint32_t pitch) {
  std::vector<uint8_t> out;
  Append32(out, count);
  Append16(out, width);
  Append16(out, height);
  Append32(out, format);
  Append32(out, pitch);
  const size_t frame = static_cast<size_t>(pitch) * height;
  for (uint32_t f = 0; f < count; ++f) out.resize(out.size() + frame, static_cast<uint8_t>(f + 1));
  return out;
}

std::vector<uint8_t> TimerPayload(const char format[8], uint16_t digitwidth, uint16_t digitheight) {
  std::vector<uint8_t> out;
  Append32(out, 1);     // count down
  Append16(out, 2030);  // target date and time
  out.push_back(1);
  out.push_back(1);
  Append16(out, 0);
  out.push_back(0);
  out.push_back(0);
  out.insert(out.end(), format, format + 8);
  const std::vector<uint8_t> digits =
      StripBytes(11, digitwidth, digitheight, 1, (digitwidth + 7u) / 8u);
  out.insert(out.end(), digits.begin(), digits.end());
  return out;
}

std::vector<uint8_t> ClockPayload(uint32_t marks, uint32_t minormarks, uint32_t hour,
                                  uint32_t minute, uint32_t second) {
  std::vector<uint8_t> out;
  Append32(out, 1);
  Append32(out, marks);
  Append32(out, minormarks);
  Append32(out, hour);
  Append32(out, minute);
  Append32(out, second);
  Append16(out, 2);
  Append16(out, 1);
  return out;
}

std::vector<uint8_t> DigitalClockPayload(const char format[8]) {
  std::vector<uint8_t> out;
  Append32(out, 1);
  out.insert(out.end(), format, format + 8);
  const std::vector<uint8_t> digits = StripBytes(11, 4, 8, 1, 1);
  const std::vector<uint8_t> labels = StripBytes(11, 8, 8, 1, 1);
  Append32(out, 20);
  Append32(out, static_cast<uint32_t>(20 + digits.size()));
  out.insert(out.end(), digits.begin(), digits.end());
  out.insert(out.end(), labels.begin(), labels.end());
  return out;
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

}  // namespace ledview::test
