#include "billfile/billreader.h"

#include <cstring>

#include "format/playbill.h"

namespace ledview::bill {

namespace {

struct Reader {
  const std::vector<uint8_t>& b;
  std::string* error;

  uint32_t U32(size_t at) const { return ReadU32(b.data() + at); }
  uint16_t U16(size_t at) const { return ReadU16(b.data() + at); }

  bool Fail(const std::string& what, size_t at, const std::string& message) const {
    *error = what + " at byte " + std::to_string(at) + ": " + message;
    return false;
  }

  // Checks an object's header at `at` inside [at, end): magic and a child
  // length that fits. Gives the child length.
  bool Header(const std::string& what, size_t at, size_t end, uint32_t magic, uint32_t headerbytes,
              uint32_t lengthat, const char* lengthname, uint32_t* length) const {
    if (end - at < headerbytes) {
      return Fail(what, at, "only " + std::to_string(end - at) + " bytes left for a " +
                                std::to_string(headerbytes) + "-byte header");
    }
    if (U32(at) != magic) {
      char text[64];
      std::snprintf(text, sizeof text, "object type 0x%08X where 0x%08X belongs", U32(at), magic);
      return Fail(what, at, text);
    }
    const int32_t n = static_cast<int32_t>(U32(at + lengthat));
    if (n < 0 || static_cast<uint64_t>(n) > end - at - headerbytes) {
      return Fail(what, at, std::string(lengthname) + " " + std::to_string(n) + " runs past " +
                                std::to_string(end - at - headerbytes) + " bytes left");
    }
    *length = static_cast<uint32_t>(n);
    return true;
  }
};

}  // namespace

bool ReadBill(const std::vector<uint8_t>& bytes, bill::Bill* out, std::string* error) {
  *out = bill::Bill();
  const Reader r{bytes, error};
  uint32_t pagesize = 0;
  if (bytes.size() > kPlayBillMaxBytes) {
    *error = "larger than a playbill can be (" + std::to_string(kPlayBillMaxBytes) + " bytes)";
    return false;
  }
  if (!r.Header("bill", 0, bytes.size(), kBillMagic, kBillHeaderBytes, billfield::pagesize,
                "pagesize", &pagesize)) {
    return false;
  }
  out->reserved = r.U32(billfield::reserved);
  const size_t pagesend = kBillHeaderBytes + pagesize;
  out->trailing.assign(bytes.begin() + static_cast<ptrdiff_t>(pagesend), bytes.end());
  size_t at = kBillHeaderBytes;
  for (int pi = 0; at < pagesend; ++pi) {
    const std::string pname = "pages[" + std::to_string(pi) + "]";
    uint32_t areasize = 0;
    if (!r.Header(pname, at, pagesend, kPageMagic, kPageHeaderBytes, pagefield::areasize,
                  "areasize", &areasize)) {
      return false;
    }
    bill::Page& page = out->AddPage(static_cast<int32_t>(r.U32(at + pagefield::playtime)),
                                    r.U32(at + pagefield::bordertype));
    const size_t areasend = at + kPageHeaderBytes + areasize;
    at += kPageHeaderBytes;
    for (int ai = 0; at < areasend; ++ai) {
      const std::string aname = pname + ".areas[" + std::to_string(ai) + "]";
      uint32_t size = 0;
      if (!r.Header(aname, at, areasend, kAreaMagic, kAreaHeaderBytes, areafield::componentsize,
                    "componentsize", &size)) {
        return false;
      }
      bill::Area& area = page.AddArea(r.U16(at + rectfield::x), r.U16(at + rectfield::y),
                                      r.U16(at + rectfield::width), r.U16(at + rectfield::height),
                                      r.U32(at + areafield::staticflag));
      const size_t compsend = at + kAreaHeaderBytes + size;
      at += kAreaHeaderBytes;
      for (int ci = 0; at < compsend; ++ci) {
        const std::string cname = aname + ".components[" + std::to_string(ci) + "]";
        uint32_t csize = 0;
        if (!r.Header(cname, at, compsend, kComponentMagic, kComponentHeaderBytes,
                      componentfield::componentsize, "componentsize", &csize)) {
          return false;
        }
        bill::Component& comp =
            area.AddComponent(r.U16(at + rectfield::x), r.U16(at + rectfield::y),
                              r.U16(at + rectfield::width), r.U16(at + rectfield::height),
                              r.U32(at + componentfield::bordertype));
        const size_t elemsend = at + kComponentHeaderBytes + csize;
        at += kComponentHeaderBytes;
        for (int ei = 0; at < elemsend; ++ei) {
          const std::string ename = cname + ".elements[" + std::to_string(ei) + "]";
          uint32_t vsobjsize = 0;
          if (!r.Header(ename, at, elemsend, kElementMagic, kElementHeaderBytes,
                        elementfield::vsobjsize, "vsobjsize", &vsobjsize)) {
            return false;
          }
          const auto first = bytes.begin() + static_cast<ptrdiff_t>(at + kElementHeaderBytes);
          bill::Element& e =
              comp.AddElement(r.U16(at + elementfield::elemtype),
                              std::vector<uint8_t>(first, first + vsobjsize));
          e.delaytime = r.U16(at + elementfield::delaytime);
          e.speed = r.U16(at + elementfield::speed);
          e.entryeffect = r.U16(at + elementfield::entryeffect);
          e.staytime = r.U32(at + elementfield::staytime);
          e.exiteffect = r.U32(at + elementfield::exiteffect);
          at += kElementHeaderBytes + vsobjsize;
        }
      }
    }
  }
  return true;
}

bool DecodeFrameStrip(const std::vector<uint8_t>& p, size_t at, bill::FrameStrip* out) {
  if (at > p.size() || p.size() - at < stripfield::pages) return false;
  const uint8_t* s = p.data() + at;
  out->count = ReadU32(s + stripfield::count);
  out->width = ReadU16(s + stripfield::width);
  out->height = ReadU16(s + stripfield::height);
  out->format = ReadU32(s + stripfield::format);
  out->pitch = ReadU32(s + stripfield::pitch);
  const uint64_t bytes = uint64_t{out->count} * out->pitch * out->height;
  if (bytes > p.size() - at - stripfield::pages) return false;
  out->pixels.assign(s + stripfield::pages, s + stripfield::pages + bytes);
  return true;
}

bool DecodeBmpBlock(const std::vector<uint8_t>& p, bill::BmpBlock* out) {
  if (p.size() < bmpfield::rows) return false;
  out->width = ReadU16(p.data() + bmpfield::width);
  out->height = ReadU16(p.data() + bmpfield::height);
  out->format = ReadU32(p.data() + bmpfield::format);
  out->pitch = ReadU32(p.data() + bmpfield::pitch);
  const uint64_t bytes = uint64_t{out->pitch} * out->height;
  if (bytes > p.size() - bmpfield::rows) return false;
  out->rows.assign(p.begin() + bmpfield::rows, p.begin() + bmpfield::rows + static_cast<ptrdiff_t>(bytes));
  return true;
}

bool DecodeStringText(const std::vector<uint8_t>& p, bill::StringText* out) {
  if (p.size() < stringfield::text) return false;
  out->id = ReadU16(p.data() + stringfield::id);
  out->singleline = ReadU16(p.data() + stringfield::singleline);
  out->colour = ReadU32(p.data() + stringfield::colour);
  std::memcpy(out->reserved, p.data() + stringfield::reserved, sizeof out->reserved);
  const uint32_t length = ReadU32(p.data() + stringfield::length);
  out->fontsize = ReadU32(p.data() + stringfield::size);
  if (length > p.size() - stringfield::text) return false;
  out->text.assign(reinterpret_cast<const char*>(p.data() + stringfield::text), length);
  return true;
}

bool DecodeTimer(const std::vector<uint8_t>& p, bill::Timer* out) {
  if (p.size() < timerfield::digits) return false;
  out->direction = ReadU32(p.data() + timerfield::direction);
  out->year = static_cast<int16_t>(ReadU16(p.data() + timerfield::year));
  out->month = static_cast<int8_t>(p[timerfield::month]);
  out->day = static_cast<int8_t>(p[timerfield::day]);
  out->hour = static_cast<int16_t>(ReadU16(p.data() + timerfield::hour));
  out->minute = static_cast<int8_t>(p[timerfield::minute]);
  out->second = static_cast<int8_t>(p[timerfield::second]);
  std::memcpy(out->format, p.data() + timerfield::format, kFormatLetters);
  return DecodeFrameStrip(p, timerfield::digits, &out->digits);
}

bool DecodeAnalogClock(const std::vector<uint8_t>& p, bill::AnalogClock* out) {
  if (p.size() < clockfield::end) return false;
  out->timesource = ReadU32(p.data() + clockfield::timesource);
  out->marks = ReadU32(p.data() + clockfield::mainmarks);
  out->minormarks = ReadU32(p.data() + clockfield::othermarks);
  out->hour = ReadU32(p.data() + clockfield::hourhand);
  out->minute = ReadU32(p.data() + clockfield::minutehand);
  out->second = ReadU32(p.data() + clockfield::secondhand);
  out->hourwidth = ReadU16(p.data() + clockfield::hourwidth);
  out->minutewidth = ReadU16(p.data() + clockfield::minutewidth);
  return true;
}

bool DecodeDigitalClock(const std::vector<uint8_t>& p, bill::DigitalClock* out) {
  if (p.size() < digitalfield::end) return false;
  out->timesource = ReadU32(p.data() + digitalfield::timesource);
  std::memcpy(out->format, p.data() + digitalfield::format, kFormatLetters);
  return DecodeFrameStrip(p, ReadU32(p.data() + digitalfield::digits), &out->digits) &&
         DecodeFrameStrip(p, ReadU32(p.data() + digitalfield::labels), &out->labels);
}

}  // namespace ledview::bill
