#include "playbill/loader.h"

#include <cstring>

#include "content/analogclock.h"
#include "content/playservices.h"
#include "content/strings.h"
#include "content/textelement.h"
#include "content/timeelements.h"
#include "display/border.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "effects/random.h"
#include "format/playbill.h"
#include "playbill/player.h"

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

bool Fail(int32_t code) {
  loaderror = code;
  return false;
}

// Analog clock colours follow what the colour mode can show. Full colour
// keeps the colour bits only: a damaged word must not reach the host as a
// byte that is no colour value.
void AdaptClockColours(uint8_t* payload) {
  const uint8_t depth = ledconfig.depth;
  for (uint32_t i = 0; i < kClockColours; ++i) {
    uint8_t* word = payload + clockfield::mainmarks + 4 * i;
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
  // Paged pictures have no use for the endless scrolls but the first.
  if (elemtype == kElemPagedPicture && entry >= kEntryScrollThroughLeft && entry <= kEntryLastScroll) {
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
    e->exitIndex = RandomNext() % kRandomExitChoices;
    WriteU32(h + elementfield::exiteffect, kExitEffectRandom);
  }
}

void BindElement(ElementNode* e, uint16_t elemtype, bool inStatic) {
  uint8_t* p = e->payload;
  const bool hasstatic = elemtype == kElemPicture || elemtype == kElemString;
  e->render = hasstatic && inStatic ? staticrenderers[elemtype] : normalrenderers[elemtype];
  switch (elemtype) {
    case kElemPicture:
      if (!inStatic) ChooseEffects(e, elemtype);
      break;
    case kElemString: {
      if (!inStatic) ChooseEffects(e, elemtype);
      const uint32_t textlength = ReadU32(p + stringfield::length);
      const uint16_t id = ReadU16(p + stringfield::id);
      if (textlength > 0 && id != 0) {
        e->state.string.strversion = static_cast<uint32_t>(
            PutString(id, p + stringfield::text, static_cast<int32_t>(textlength)));
      }
      break;
    }
    case kElemAnalogClock:
      AdaptClockColours(p);
      e->flags |= kRefreshElement;
      break;
    case kElemTimer:
    case kElemDigitalClock:
      e->flags |= kRefreshElement;
      break;
    case kElemAnimation:
      e->flags |= kRefreshElement;
      e->timerstate = 0;
      break;
    case kElemPagedPicture:
      ChooseEffects(e, elemtype);
      break;
  }
}

// The component's rectangle inside its area and the framebuffer. Computed
// wide so that no sum wraps into a rectangle outside the framebuffer.
DestRect ClipComponent(const uint8_t* h, const AreaFrame& a) {
  const int32_t fbwidth = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbheight = static_cast<int32_t>(framebuffer.fbheight);
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

// One level of the object tree as the list loader walks it.
struct ObjectLevel {
  uint32_t magic;
  uint32_t headerbytes;
  uint32_t sizefield;  // the header field that declares the children's bytes
  int32_t notthisobject;
  int32_t badsize;
  int32_t poolempty;
};
constexpr ObjectLevel kPageLevel{kPageMagic, kPageHeaderBytes, pagefield::areasize,
                                 kLoadNotAPage, kLoadBadAreas, kLoadPagePoolEmpty};
constexpr ObjectLevel kAreaLevel{kAreaMagic, kAreaHeaderBytes, areafield::componentsize,
                                 kLoadNotAnArea, kLoadBadComponents, kLoadAreaPoolEmpty};
constexpr ObjectLevel kComponentLevel{kComponentMagic, kComponentHeaderBytes,
                                      componentfield::componentsize, kLoadNotAComponent,
                                      kLoadBadComponents, kLoadBadComponents};
constexpr ObjectLevel kElementLevel{kElementMagic, kElementHeaderBytes, elementfield::vsobjsize,
                                    kLoadNotAnElement, kLoadBadObjectSize, kLoadElementPoolEmpty};

// Walks the objects of one level in length bytes at `at`: each is checked,
// given a zeroed record from the pool with its header set, and handed to
// fill(node, children, childbytes), which returns false to stop the load.
// The records are linked in document order; null on failure, with loaderror
// set.
template <class Node, class Fill>
Node* LoadList(const ObjectLevel& level, Pool* pool, uint8_t* at, int32_t length, Fill fill) {
  Node* first = nullptr;
  Node* last = nullptr;
  int64_t remaining = length;
  while (remaining >= 1) {
    if (ReadU32(at) != level.magic) return Fail(level.notthisobject), nullptr;
    const int32_t size = ReadI32(at + level.sizefield);
    if (size < 1 || size > remaining - level.headerbytes) return Fail(level.badsize), nullptr;
    auto* node = static_cast<Node*>(PoolTake(pool));
    if (node == nullptr) return Fail(level.poolempty), nullptr;
    *node = Node{};
    node->header = at;
    if (!fill(node, at + level.headerbytes, size)) return nullptr;
    (first == nullptr ? first : last->next) = node;
    last = node;
    remaining -= level.headerbytes + static_cast<int64_t>(size);
    at += level.headerbytes + size;
  }
  return first;
}

PageNode* LoadPages(uint8_t* pages, int32_t length) {
  ShuffleEffectOrder();
  // Only the first page's areas load now; the scheduler loads each next
  // page's when its turn comes.
  bool firstpage = true;
  return LoadList<PageNode>(kPageLevel, playerpools.pages, pages, length,
                            [&firstpage](PageNode* page, uint8_t* areas, int32_t size) {
                              if (!firstpage) return true;
                              firstpage = false;
                              page->areas = LoadAreas(areas, size);
                              return loaderror == 0;
                            });
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

ElementNode* LoadElements(uint8_t* elements, int32_t length, bool instatic) {
  return LoadList<ElementNode>(kElementLevel, playerpools.elements, elements, length,
                               [instatic](ElementNode* e, uint8_t* payload, int32_t) {
                                 e->payload = payload;
                                 e->timerstate = -1;
                                 const uint16_t elemtype = ReadU16(e->header + elementfield::elemtype);
                                 if (elemtype < kFirstElemType || elemtype > kLastElemType) {
                                   return Fail(kLoadNotAnElement);
                                 }
                                 BindElement(e, elemtype, instatic);
                                 return true;
                               });
}

ComponentNode* LoadComponents(uint8_t* components, int32_t length, const AreaFrame& area) {
  if (ReadU16(components + rectfield::x) > area.width || ReadU16(components + rectfield::y) > area.height) {
    return Fail(kLoadComponentOutside), nullptr;
  }
  return LoadList<ComponentNode>(
      kComponentLevel, playerpools.components, components, length,
      [&area](ComponentNode* c, uint8_t* elements, int32_t size) {
        c->outer = ClipComponent(c->header, area);
        const BorderType border = BorderFor(ReadU32(c->header + componentfield::bordertype));
        c->painter = border.painter;
        c->inner = InsetRect(c->outer, border.width);
        c->first = LoadElements(elements, size, area.staticflag != 0);
        return loaderror == 0;
      });
}

AreaNode* LoadAreas(uint8_t* areas, int32_t length) {
  if (ReadU16(areas + rectfield::x) >= framebuffer.fbwidth ||
      ReadU16(areas + rectfield::y) >= framebuffer.fbheight) {
    return Fail(kLoadBadAreas), nullptr;
  }
  return LoadList<AreaNode>(kAreaLevel, playerpools.areas, areas, length,
                            [](AreaNode* area, uint8_t* components, int32_t size) {
                              const uint8_t* h = area->header;
                              const AreaFrame frame{ReadU16(h + rectfield::x), ReadU16(h + rectfield::y),
                                                    ReadU16(h + rectfield::width),
                                                    ReadU16(h + rectfield::height),
                                                    ReadU32(h + areafield::staticflag)};
                              area->components = LoadComponents(components, size, frame);
                              return loaderror == 0;
                            });
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
      loaderror = kLoadBadPageSize;
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

}  // namespace ledview
