#include "bills.h"

#include "support/billbuilder.h"

namespace ledview::fuzz {

namespace {

using test::Bill;
using test::Component;
using test::Element;

Element& Picture(Component& c, uint16_t entry, uint32_t exit, uint16_t speed, uint32_t format,
                 uint16_t width = 40, uint16_t height = 16) {
  // Rows of one bit per pixel up to format 7, then two and four bits.
  const uint32_t pitch = format <= 7 ? (width + 7u) / 8u : format == 8 ? (width + 3u) / 4u
                                                                       : (width + 1u) / 2u;
  Element& e = c.AddElement(1, test::BitmapPayload(width, height, format, pitch));
  e.entryeffect = entry;
  e.exiteffect = exit;
  e.speed = speed;
  e.staytime = 1;
  return e;
}

Element& Text(Component& c, uint16_t id, const std::string& text, uint32_t size,
              uint16_t singleline, uint16_t entry, uint32_t exit) {
  Element& e = c.AddElement(2, test::StringPayload(id, text, size, 1 + id % 7, singleline));
  e.entryeffect = entry;
  e.exiteffect = exit;
  e.speed = static_cast<uint16_t>(id % 9);
  e.staytime = 1;
  return e;
}

// Entry effects first..last, each on its own picture, with exits cycling
// through none, 1..9 and random.
NamedBill EffectBill(uint16_t first, uint16_t last) {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  for (uint16_t e = first; e <= last; ++e) {
    Picture(c, e, e % 11, static_cast<uint16_t>(e % 9), 1 + e % 7, static_cast<uint16_t>(24 + e % 24),
            static_cast<uint16_t>(8 + e % 16));
  }
  return {"effects-" + std::to_string(first) + "-" + std::to_string(last), BillKind::Loads, 64, 32,
          bill.Bytes()};
}

NamedBill Strings() {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  Text(c, 1, "Hello, 12.5", 16, 1, 9, 1);
  Text(c, 2, "The quick brown fox jumps over 0123456789", 12, 0, 4, 3);
  Text(c, 0, "\xc4\xe3\xba\xc3 LED \xb5\xc6", 24, 1, 0, 2);
  Text(c, 3, "A\r\nB\nC\tD", 32, 0, 53, 10);
  Text(c, 4, "wide outline text that scrolls", 20, 1, 0, 0);
  return {"strings", BillKind::Loads, 64, 32, bill.Bytes()};
}

NamedBill Pictures() {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(2, 2, 60, 28, 3);
  Picture(c, 0, 0, 8, 2, 128, 8);   // wider than the component: slides left
  Picture(c, 0, 4, 8, 4, 16, 64);   // taller: slides up
  Picture(c, 12, 5, 3, 8, 24, 12);  // two bits per pixel
  Picture(c, 30, 6, 5, 9, 24, 12);  // four bits per pixel
  Picture(c, 53, 10, 0, 7, 1, 1);
  return {"pictures", BillKind::Loads, 64, 32, bill.Bytes()};
}

NamedBill Paged() {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  Element& a = c.AddElement(7, test::StripBytes(3, 32, 16, 1, 4));
  a.entryeffect = 5;
  a.exiteffect = 2;
  a.staytime = 1;
  Element& b = c.AddElement(7, test::StripBytes(2, 80, 40, 2, 10));
  b.entryeffect = 48;  // not for paged pictures: becomes random
  b.exiteffect = 12;
  return {"paged", BillKind::Loads, 64, 32, bill.Bytes()};
}

NamedBill Clocks() {
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 64, 32);
  area.AddComponent(0, 0, 32, 16).AddElement(3, test::TimerPayload("hms\0\0\0\0\0"));
  area.AddComponent(32, 0, 32, 32, 1).AddElement(4, test::ClockPayload(2, 1, 3, 4, 5));
  area.AddComponent(0, 16, 32, 16).AddElement(5, test::DigitalClockPayload("YMDhms\0\0"));
  Component& anim = area.AddComponent(16, 8, 16, 16);
  anim.AddElement(6, test::StripBytes(4, 16, 16, 1, 2)).staytime = 2;
  anim.AddElement(4, test::ClockPayload(1, 0, 1, 1, 1)).staytime = 1;
  return {"clocks", BillKind::Loads, 64, 32, bill.Bytes()};
}

// Several timed pages with page and component borders and a static area.
NamedBill Pages() {
  Bill bill;
  test::Page& p1 = bill.AddPage(1, 1);
  Component& c1 = p1.AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16, 2);
  Picture(c1, 1, 1, 8, 1);
  Text(c1, 5, "page one", 16, 1, 2, 2);
  Component& s = p1.AddArea(0, 16, 64, 16, 1).AddComponent(0, 0, 64, 16, 4);
  Picture(s, 3, 3, 8, 2);
  Text(s, 6, "static", 16, 1, 0, 0);
  test::Page& p2 = bill.AddPage(2, 5);
  test::Area& a2 = p2.AddArea(4, 4, 56, 24);
  Picture(a2.AddComponent(0, 0, 28, 24, 6), 20, 4, 6, 3);
  a2.AddComponent(28, 0, 28, 24, 8).AddElement(4, test::ClockPayload(3, 2, 1, 2, 3));
  test::Page& p3 = bill.AddPage(0, 8);
  Text(p3.AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32, 7), 5, "page three", 24, 0, 53, 10);
  return {"pages", BillKind::Loads, 64, 32, bill.Bytes()};
}

NamedBill TooManyPages() {
  Bill bill;
  for (int i = 0; i < 17; ++i) {
    bill.AddPage(1).AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(
        4, test::ClockPayload(1, 1, 1, 1, 1));
  }
  return {"overflow-pages", BillKind::Overflow, 8, 8, bill.Bytes()};
}

NamedBill TooManyComponents() {
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 16, 16);
  for (int i = 0; i < 129; ++i) {
    area.AddComponent(static_cast<uint16_t>(i % 16), static_cast<uint16_t>(i / 16), 1, 1)
        .AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  }
  return {"overflow-components", BillKind::Overflow, 16, 16, bill.Bytes()};
}

NamedBill BadMagic() {
  Bill bill;
  Picture(bill.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8), 1, 1, 1, 1, 8, 8);
  std::vector<uint8_t> bytes = bill.Bytes();
  test::PutU32(bytes, 12, 0x40000001u);
  return {"invalid-magic", BillKind::Invalid, 8, 8, bytes};
}

NamedBill BadPayload() {
  Bill bill;
  Element& e = Picture(bill.AddPage().AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8), 1, 1, 1, 1, 8, 8);
  std::vector<uint8_t> bytes = bill.Bytes();
  test::PutU32(bytes, e.offset + 24 + 8, 4000);  // pitch far past the element
  return {"invalid-payload", BillKind::Invalid, 8, 8, bytes};
}

}  // namespace

const std::vector<NamedBill>& FuzzBills() {
  static const std::vector<NamedBill> bills = [] {
    std::vector<NamedBill> out;
    for (uint16_t first = 0; first <= 53; first += 9) {
      out.push_back(EffectBill(first, static_cast<uint16_t>(first + 8 > 53 ? 53 : first + 8)));
    }
    out.push_back(Strings());
    out.push_back(Pictures());
    out.push_back(Paged());
    out.push_back(Clocks());
    out.push_back(Pages());
    out.push_back(TooManyPages());
    out.push_back(TooManyComponents());
    out.push_back(BadMagic());
    out.push_back(BadPayload());
    return out;
  }();
  return bills;
}

std::vector<uint8_t> PlaybillInput(const PlaybillInputHeader& h, const std::vector<uint8_t>& bill,
                                   const std::vector<uint8_t>& ops) {
  std::vector<uint8_t> out;
  auto put16 = [&out](uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  put16(h.width);
  put16(h.height);
  out.push_back(h.mode);
  out.push_back(h.flags);
  out.push_back(h.tps);
  out.push_back(h.spare);
  const uint32_t length = static_cast<uint32_t>(bill.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(length >> (8 * i)));
  out.insert(out.end(), bill.begin(), bill.end());
  out.insert(out.end(), ops.begin(), ops.end());
  return out;
}

}  // namespace ledview::fuzz
