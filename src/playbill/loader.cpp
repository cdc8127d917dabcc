#include "playbill/loader.h"

#include <cstring>

#include "content/analogclock.h"
#include "content/strings.h"
#include "content/textelement.h"
#include "content/timeelements.h"
#include "display/border.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "playbill/format.h"
#include "playbill/player.h"
#include "playbill/random.h"

namespace ledview {

BillState billstate;
int32_t loaderror = 0;
// Bound at compile time so that every engine set-up finds them in place.
ElementRenderer normalrenderers[kElemTypeSlots] = {
    nullptr,           RenderBitmapText, RenderStringText, RenderTimer,
    RenderAnalogClock, RenderDigitalClock, RenderAnimation, RenderPagedBitmap,
};
// Only texts and pictures have static variants; every other type plays the
// same way in a static area.
ElementRenderer staticrenderers[kElemTypeSlots] = {
    nullptr, RenderStaticBitmap, RenderStaticString, nullptr, nullptr, nullptr, nullptr, nullptr,
};

namespace {

// The area whose components are being loaded.
struct AreaFrame {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t staticflag;
};
AreaFrame loadingarea;

bool Fail(int32_t code) {
  loaderror = code;
  return false;
}

// Analog clock colours follow what the colour mode can show. Full colour
// keeps the colour bits only: a damaged word must not reach the host as a
// byte that is no colour value.
void AdaptClockColours(uint8_t* payload) {
  const uint8_t depth = ledconfig.depth;
  for (uint32_t i = 1; i <= 5; ++i) {
    uint8_t* word = payload + 4 * i;
    if (depth == 1) {
      WriteU32(word, 1);
    } else if (depth == 2) {
      const uint32_t v = ReadU32(word) & 3;
      WriteU32(word, v == 0 ? 1 : v);
    } else {
      WriteU32(word, ReadU32(word) & 7);
    }
  }
}

void ChooseEffects(ElementNode* e, uint16_t elemtype) {
  uint8_t* h = e->header;
  uint16_t entry = ReadU16(h + elementfield::entryeffect);
  // Paged pictures have no use for the slot range 46..52.
  if (elemtype == 7 && entry >= 46 && entry <= 52) {
    entry = kEntryEffectRandom;
    WriteU16(h + elementfield::entryeffect, entry);
  }
  if (entry < kEntryEffectRandom) {
    e->entryIndex = entry;
  } else {
    e->entryIndex = RandomNext() % kEntryOrderCount;
    WriteU16(h + elementfield::entryeffect, kEntryEffectRandom);
  }
  if (ReadU32(h + elementfield::exiteffect) >= kExitEffectRandom) {
    e->exitIndex = RandomNext() % 7;
    WriteU32(h + elementfield::exiteffect, kExitEffectRandom);
  }
}

void BindElement(ElementNode* e, uint16_t elemtype, bool inStatic) {
  uint8_t* p = e->payload;
  if ((elemtype == 1 || elemtype == 2) && inStatic) {
    e->render = staticrenderers[elemtype];
  } else {
    e->render = normalrenderers[elemtype];
  }
  switch (elemtype) {
    case 1:
      if (!inStatic) ChooseEffects(e, elemtype);
      break;
    case 2: {
      if (!inStatic) ChooseEffects(e, elemtype);
      const uint32_t textlength = ReadU32(p + 16);
      const uint16_t id = ReadU16(p);
      if (textlength > 0 && id != 0) {
        e->strversion = static_cast<uint32_t>(PutString(id, p + 24, static_cast<int32_t>(textlength)));
      }
      break;
    }
    case 3:
      e->words[5] = 0;
      e->flags |= 1;
      break;
    case 4:
      AdaptClockColours(p);
      e->flags |= 1;
      break;
    case 5:
      e->flags |= 1;
      break;
    case 6:
      e->flags |= 1;
      e->timerstate = 0;
      break;
    case 7:
      ChooseEffects(e, elemtype);
      break;
  }
}

// The component's rectangle inside its area and the framebuffer. Computed
// wide so that no sum wraps into a rectangle outside the framebuffer.
DestRect ClipComponent(const uint8_t* h) {
  const int32_t fbwidth = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbheight = static_cast<int32_t>(framebuffer.fbheight);
  const AreaFrame& a = loadingarea;
  int32_t x = a.x + ReadU16(h + rectfield::x);
  if (x >= fbwidth) x = fbwidth - 1;
  int32_t y = a.y + ReadU16(h + rectfield::y);
  if (y >= fbheight) y = fbheight - 1;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  int32_t w = ReadU16(h + rectfield::width);
  if (x + w > a.x + a.width) w = a.x + a.width - x;
  if (x + w > fbwidth) w = fbwidth - x;
  int32_t ht = ReadU16(h + rectfield::height);
  if (y + ht > a.y + a.height) ht = a.y + a.height - y;
  if (y + ht > fbheight) ht = fbheight - y;
  if (w < 0) w = 0;
  if (ht < 0) ht = 0;
  return DestRect{static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(w),
                  static_cast<uint16_t>(ht)};
}

PageNode* LoadPages(uint8_t* pages, int32_t length) {
  ShuffleEffectOrder();
  PageNode* first = nullptr;
  PageNode* last = nullptr;
  int64_t remaining = length;
  uint8_t* at = pages;
  while (remaining >= 1) {
    if (ReadU32(at) != kPageMagic) return Fail(2), nullptr;
    const int32_t areasize = ReadI32(at + pagefield::areasize);
    if (areasize < 1 || areasize > remaining - kPageHeaderBytes) return Fail(4), nullptr;
    auto* page = static_cast<PageNode*>(PoolTake(playerpools.pages));
    if (page == nullptr) return Fail(3), nullptr;
    *page = PageNode{};
    page->header = at;
    if (first == nullptr) {
      first = page;
      AreaNode* areas = LoadAreas(at + kPageHeaderBytes, areasize);
      if (loaderror != 0) return nullptr;
      page->areas = areas;
    } else {
      last->next = page;
    }
    last = page;
    remaining -= kPageHeaderBytes + static_cast<int64_t>(areasize);
    at += kPageHeaderBytes + areasize;
  }
  return first;
}

}  // namespace

DestRect InsetRect(DestRect r, uint32_t b) {
  // A side too short for the border keeps an empty span in its middle, so
  // the rectangle never leaves the one it came from.
  auto shrink = [b](uint16_t& at, uint16_t& size) {
    if (size > 2 * b) {
      at = static_cast<uint16_t>(at + b);
      size = static_cast<uint16_t>(size - 2 * b);
    } else {
      at = static_cast<uint16_t>(at + size / 2);
      size = 0;
    }
  };
  shrink(r.x, r.width);
  shrink(r.y, r.height);
  return r;
}

ElementNode* LoadElements(uint8_t* elements, int32_t length) {
  ElementNode* first = nullptr;
  ElementNode* last = nullptr;
  int64_t remaining = length;
  uint8_t* at = elements;
  while (remaining >= 1) {
    if (ReadU32(at) != kElementMagic) return Fail(13), nullptr;
    const int32_t vsobjsize = ReadI32(at + elementfield::vsobjsize);
    if (vsobjsize < 1 || vsobjsize > remaining - kElementHeaderBytes) return Fail(15), nullptr;
    auto* e = static_cast<ElementNode*>(PoolTake(playerpools.elements));
    if (e == nullptr) return Fail(14), nullptr;
    *e = ElementNode{};
    e->header = at;
    e->payload = at + kElementHeaderBytes;
    e->timerstate = -1;
    const uint16_t elemtype = ReadU16(at + elementfield::elemtype);
    if (elemtype < 1 || elemtype > 7) return Fail(13), nullptr;
    BindElement(e, elemtype, loadingarea.staticflag != 0);
    if (first == nullptr) {
      first = e;
    } else {
      last->next = e;
    }
    last = e;
    remaining -= kElementHeaderBytes + static_cast<int64_t>(vsobjsize);
    at += kElementHeaderBytes + vsobjsize;
  }
  return first;
}

ComponentNode* LoadComponents(uint8_t* components, int32_t length) {
  if (ReadU16(components + rectfield::x) > loadingarea.width ||
      ReadU16(components + rectfield::y) > loadingarea.height) {
    return Fail(10), nullptr;
  }
  ComponentNode* first = nullptr;
  ComponentNode* last = nullptr;
  int64_t remaining = length;
  uint8_t* at = components;
  while (remaining >= 1) {
    if (ReadU32(at) != kComponentMagic) return Fail(11), nullptr;
    const int32_t size = ReadI32(at + componentfield::componentsize);
    if (size < 1 || size > remaining - kComponentHeaderBytes) return Fail(12), nullptr;
    auto* c = static_cast<ComponentNode*>(PoolTake(playerpools.components));
    if (c == nullptr) return Fail(12), nullptr;
    *c = ComponentNode{};
    c->header = at;
    c->outer = ClipComponent(at);
    const BorderType border = BorderFor(ReadU32(at + componentfield::bordertype));
    c->painter = border.painter;
    c->inner = InsetRect(c->outer, border.width);
    c->first = LoadElements(at + kComponentHeaderBytes, size);
    if (loaderror != 0) return nullptr;
    if (first == nullptr) {
      first = c;
    } else {
      last->next = c;
    }
    last = c;
    remaining -= kComponentHeaderBytes + static_cast<int64_t>(size);
    at += kComponentHeaderBytes + size;
  }
  return first;
}

AreaNode* LoadAreas(uint8_t* areas, int32_t length) {
  if (ReadU16(areas + rectfield::x) >= framebuffer.fbwidth ||
      ReadU16(areas + rectfield::y) >= framebuffer.fbheight) {
    return Fail(4), nullptr;
  }
  AreaNode* first = nullptr;
  AreaNode* last = nullptr;
  int64_t remaining = length;
  uint8_t* at = areas;
  while (remaining >= 1) {
    if (ReadU32(at) != kAreaMagic) return Fail(5), nullptr;
    const int32_t size = ReadI32(at + areafield::componentsize);
    if (size < 1 || size > remaining - kAreaHeaderBytes) return Fail(12), nullptr;
    auto* area = static_cast<AreaNode*>(PoolTake(playerpools.areas));
    if (area == nullptr) return Fail(6), nullptr;
    *area = AreaNode{};
    area->header = at;
    loadingarea = AreaFrame{ReadU16(at + rectfield::x), ReadU16(at + rectfield::y),
                            ReadU16(at + rectfield::width), ReadU16(at + rectfield::height),
                            ReadU32(at + areafield::staticflag)};
    area->components = LoadComponents(at + kAreaHeaderBytes, size);
    if (loaderror != 0) return nullptr;
    if (first == nullptr) {
      first = area;
    } else {
      last->next = area;
    }
    last = area;
    remaining -= kAreaHeaderBytes + static_cast<int64_t>(size);
    at += kAreaHeaderBytes + size;
  }
  return first;
}

int32_t LoadBill(uint8_t* store) {
  billstate = BillState{};
  loaderror = 0;
  // Nothing is in use while no playbill plays; a load always starts from
  // full pools and an empty string table, and a failed one leaves them so.
  ResetPlayerPools();
  ClearStrings();
  PageNode* first = nullptr;
  if (ReadU32(store) == kBillMagic) {
    const int32_t pagesize = ReadI32(store + billfield::pagesize);
    if (pagesize < 1 || pagesize > static_cast<int32_t>(kPlayBillMaxBytes - kBillHeaderBytes)) {
      loaderror = 1;
    } else {
      billstate.bill = store;
      first = LoadPages(store + kBillHeaderBytes, pagesize);
    }
  }
  if (first == nullptr || loaderror != 0) {
    billstate = BillState{};
    ResetPlayerPools();
    ClearStrings();
    return -1;
  }
  billstate.first = first;
  // A single page never changes.
  if (first->next == nullptr) WriteU32(first->header + pagefield::playtime, 0);
  billstate.rect = DestRect{0, 0, ledconfig.width, ledconfig.height};
  return 0;
}

void ResetLoader() { loadingarea = AreaFrame{}; }

const char* IntToText(int32_t value, uint32_t radix, int32_t* length) {
  static char text[40];
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (radix < 2 || radix > 16) radix = 10;
  char* p = text + sizeof text - 1;
  *p = '\0';
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = kDigits[magnitude % radix];
    magnitude /= radix;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  if (length != nullptr) *length = static_cast<int32_t>(text + sizeof text - 1 - p);
  return p;
}

}  // namespace ledview
