#include "ledview/billsign.h"

#include <algorithm>
#include <string>

#include "billfile/billreader.h"
#include "format/playbill.h"

namespace ledview::tool {

namespace {

// The colour mode a colour value (or a picture format) needs.
int32_t ModeOfColour(uint32_t colour) { return (colour & 4) != 0 ? 4 : (colour & 2) != 0 ? 2 : 1; }
int32_t ModeOfFormat(uint32_t format) {
  return format >= kFormatFourBit ? 4 : format == kFormatTwoBit ? 2 : ModeOfColour(format);
}

int32_t ModeOfElement(const bill::Element& e) {
  int32_t mode = 1;
  auto strip = [&mode](const bill::FrameStrip& s) { mode = std::max(mode, ModeOfFormat(s.format)); };
  switch (e.elemtype) {
    case kElemPicture: {
      bill::BmpBlock b;
      if (DecodeBmpBlock(e.payload, &b)) mode = ModeOfFormat(b.format);
      break;
    }
    case kElemString: {
      bill::StringText t;
      if (DecodeStringText(e.payload, &t)) mode = ModeOfColour(t.colour);
      break;
    }
    case kElemTimer: {
      bill::Timer t;
      if (DecodeTimer(e.payload, &t)) strip(t.digits);
      break;
    }
    case kElemAnalogClock: {
      bill::AnalogClock c;
      if (DecodeAnalogClock(e.payload, &c)) {
        for (uint32_t colour : {c.marks, c.minormarks, c.hour, c.minute, c.second}) {
          mode = std::max(mode, ModeOfColour(colour));
        }
      }
      break;
    }
    case kElemDigitalClock: {
      bill::DigitalClock c;
      if (DecodeDigitalClock(e.payload, &c)) strip(c.digits), strip(c.labels);
      break;
    }
    case kElemAnimation:
    case kElemPagedPicture: {
      bill::FrameStrip f;
      if (DecodeFrameStrip(e.payload, 0, &f)) strip(f);
      break;
    }
    default:
      break;
  }
  return mode;
}

}  // namespace

bool SignOfBill(const std::vector<uint8_t>& bytes, SignSize* sign) {
  bill::Bill b;
  std::string error;
  if (!ReadBill(bytes, &b, &error)) return false;
  SignSize s;
  s.mode = 1;
  s.fromcontent = true;
  for (const bill::Page& p : b.pages) {
    for (const bill::Area& a : p.areas) {
      s.width = std::max<int32_t>(s.width, a.x + a.width);
      s.height = std::max<int32_t>(s.height, a.y + a.height);
      for (const bill::Component& c : a.components) {
        for (const bill::Element& e : c.elements) s.mode = std::max(s.mode, ModeOfElement(e));
      }
    }
  }
  if (s.width == 0 || s.height == 0) return false;
  *sign = s;
  return true;
}

}  // namespace ledview::tool
