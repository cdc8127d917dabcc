#include "content/textelement.h"

#include <algorithm>
#include <cstring>

#include "content/layout.h"
#include "content/playservices.h"
#include "content/strings.h"
#include "display/drawops.h"
#include "effects/effects.h"
#include "memory/arena.h"
#include "format/playbill.h"
#include "effects/random.h"

namespace ledview {

namespace {

enum class TextKind { kBitmap, kString, kPaged };

constexpr uint32_t kStepDue = 1;
constexpr int32_t kNotStarted = -1;

uint16_t EntryValue(const ElementNode* e) { return ReadU16(e->header + elementfield::entryeffect); }
uint32_t ExitValue(const ElementNode* e) { return ReadU32(e->header + elementfield::exiteffect); }
uint32_t StayTime(const ElementNode* e) { return ReadU32(e->header + elementfield::staytime); }
uint16_t StartDelay(const ElementNode* e) { return ReadU16(e->header + elementfield::delaytime); }

// A Bitmap holds its sizes in 16 signed bits; larger sizes would turn
// negative, so they are cut to what the record can hold.
int16_t Size16(uint32_t v) { return static_cast<int16_t>(std::min<uint32_t>(v, kBitmapPitchLimit)); }

// The picture of a stored block (payload or text image): 12-byte header,
// then the rows.
Bitmap BlockImage(const uint8_t* block) {
  Bitmap b;
  b.width = Size16(ReadU16(block + bmpfield::width));
  b.height = Size16(ReadU16(block + bmpfield::height));
  b.format = static_cast<uint16_t>(ReadU32(block + bmpfield::format));
  b.pitch = Size16(ReadU32(block + bmpfield::pitch) & 0xFFFF);
  b.pixels = block + kBmpHeaderBytes;
  return b;
}

// Strips that declare no pages still show their first one.
uint32_t PageCount(const ElementNode* e) {
  return std::max<uint32_t>(ReadU32(e->payload + stripfield::count), 1);
}

Bitmap PageImage(const ElementNode* e, uint32_t page) {
  const uint8_t* s = e->payload;
  Bitmap b;
  b.width = Size16(ReadU16(s + stripfield::width));
  b.height = Size16(ReadU16(s + stripfield::height));
  b.format = static_cast<uint16_t>(ReadU32(s + stripfield::format));
  b.pitch = Size16(ReadU32(s + stripfield::pitch) & 0xFFFF);
  b.pixels = s + stripfield::pages + static_cast<size_t>(page) * e->state.paged.pagebytes;
  return b;
}

// Moves to the next page: true when there is one, false (back on page 0)
// after the last.
bool NextPage(ElementNode* e) {
  uint32_t& page = e->state.paged.page;
  if (page + 1 < PageCount(e)) {
    ++page;
    e->image.pixels = PageImage(e, page).pixels;
    return true;
  }
  page = 0;
  e->image.pixels = PageImage(e, 0).pixels;
  return false;
}

// The string element's layout: on lines broken only at line feeds, or also
// wrapped at the component's width.
BmpBlock* MakeTextImage(const ElementNode* e, const DestRect* r, const char* text, int32_t length) {
  const uint8_t* p = e->payload;
  const int32_t size = static_cast<int32_t>(ReadU32(p + stringfield::size));
  const uint32_t colour = ReadU32(p + stringfield::colour);
  const int32_t width = ReadU16(p + stringfield::singleline) != 0 ? 0 : r->width;
  return GetStringBmp(size, text, length, colour, width, 0);
}

BmpBlock* MakePayloadTextImage(const ElementNode* e, const DestRect* r) {
  const uint8_t* p = e->payload;
  const uint32_t length = ReadU32(p + stringfield::length);
  const int32_t n = static_cast<int32_t>(std::min<uint32_t>(length, 0x7FFFFFFF));
  return MakeTextImage(e, r, reinterpret_cast<const char*>(p + stringfield::text), n);
}

void KeepTextImage(ElementNode* e, BmpBlock* image) {
  e->curtxtimg = image;
  e->image = BlockImage(reinterpret_cast<const uint8_t*>(image));
}

void DropTextImage(ElementNode* e) {
  if (e->curtxtimg != nullptr) ArenaFree(e->curtxtimg);
  e->curtxtimg = nullptr;
  // Nothing may read the freed rows through the picture record.
  e->image = Bitmap{};
}

// An element left at Instant that cannot show its whole picture at once is
// slid in instead: from the right when too wide, from below when too tall.
// The choice stays in the header for the rest of the page.
void DefaultEntryEffect(ElementNode* e, const DestRect* r) {
  if (EntryValue(e) != 0) return;
  uint16_t slot = kEntryInstant;
  if (e->image.width > r->width) {
    slot = kEntrySlideLeft;
  } else if (e->image.height > r->height) {
    slot = kEntrySlideUp;
  }
  if (slot == kEntryInstant) return;
  WriteU16(e->header + elementfield::entryeffect, slot);
  e->entryIndex = slot;
}

// A picture much smaller than the component would leave the previous
// element's remains around it.
void ClearWhenSmall(const DestRect* r, const Bitmap& image) {
  if (image.width < r->width / 2 || image.height < r->height / 2) drawops.FillRect(r, 0);
}

// The live string's newer text, laid out anew. False when the layout failed
// (the element then has no picture until the next update).
bool ReadLiveString(ElementNode* e, const DestRect* r, bool* changed) {
  *changed = false;
  const uint16_t id = ReadU16(e->payload + stringfield::id);
  if (id == 0) return true;
  const char* text = nullptr;
  const uint32_t version = FindString(id, &text);
  // An id the table does not hold (version 0) has nothing newer to show,
  // even for an element whose own registration found the table full.
  if (version == 0 || text == nullptr) return true;
  if (static_cast<int32_t>(version) <= static_cast<int32_t>(e->state.string.strversion)) return true;
  *changed = true;
  e->state.string.strversion = version;
  e->flags |= kStepDue;
  DropTextImage(e);
  BmpBlock* image = MakeTextImage(e, r, text, static_cast<int32_t>(std::strlen(text)));
  if (image == nullptr) return false;
  KeepTextImage(e, image);
  return true;
}

EffectFunction EntryEffectOf(const ElementNode* e) {
  uint32_t slot = e->entryIndex;
  if (EntryValue(e) == kEntryEffectRandom) slot = entryorder[slot % kEntryOrderCount];
  return slot < kEntryEffectCount ? EntryEffects[slot] : nullptr;
}

EffectFunction ExitEffectOf(const ElementNode* e) {
  const uint32_t value = ExitValue(e);
  if (value == 0) return nullptr;
  uint32_t slot = e->exitIndex;
  if (value == kExitEffectRandom) slot = exitorder[slot % kExitOrderCount];
  return slot < kExitEffectCount ? ExitEffects[slot] : nullptr;
}

void AdvanceRandomEntry(ElementNode* e) {
  if (++e->entryIndex >= kEntryOrderCount) e->entryIndex = 0;
}

void EndEffect(ElementNode* e) {
  if (e->workBuffer != nullptr) ArenaFree(e->workBuffer);
  e->workBuffer = nullptr;
  e->timerstate = 0;
  e->step = 0;
  e->extent = 0;
}

// Ticks to wait between two effects when no stay time applies.
uint32_t PauseTicks(const ElementNode* e) {
  return e->stepDelay < 1 ? 2 : static_cast<uint32_t>(e->stepDelay);
}

int32_t HandBackTicks(const ElementNode* e) { return e->stepDelay > 0 ? -e->stepDelay : -1; }

int32_t HandBackStay(const ElementNode* e) {
  const uint32_t stay = StayTime(e);
  if (stay == 0) return HandBackTicks(e);
  return static_cast<int32_t>(std::min<uint32_t>(stay, 0x7FFFFFFF));
}

int32_t WaitStay(ElementNode* e) {
  const uint32_t stay = StayTime(e);
  return stay != 0 ? playservices.addsecondtimer(stay, kStepDue, &e->flags)
                   : playservices.addticktimer(PauseTicks(e), kStepDue, &e->flags);
}

void ResetText(ElementNode* e, TextKind kind) {
  if (e->workBuffer != nullptr) ArenaFree(e->workBuffer);
  e->workBuffer = nullptr;
  e->timerstate = kNotStarted;
  e->step = 0;
  e->extent = 0;
  e->exitPhase = 0;
  if (kind == TextKind::kPaged) e->state.paged.page = 0;
}

// The first call with a rectangle: takes the picture and starts the element
// (or its start delay). False when the call ends here with *result.
bool StartText(ElementNode* e, DestRect* r, TextKind kind, int32_t* result) {
  *result = 0;
  if (r->width == 0 || r->height == 0) {
    // A stored picture with nowhere to show hands its component back after
    // a second, once per showing; the others wait unstarted.
    if (kind == TextKind::kBitmap && (e->flags & kStepDue)) {
      e->flags = 0;
      *result = 1;
    }
    return false;
  }
  bool fresh = false;
  switch (kind) {
    case TextKind::kBitmap:
      e->image = BlockImage(e->payload);
      fresh = true;
      break;
    case TextKind::kPaged: {
      const uint8_t* s = e->payload;
      e->state.paged = PagedState{ReadU32(s + stripfield::pitch) * ReadU16(s + stripfield::height), 0};
      e->image = PageImage(e, 0);
      break;
    }
    case TextKind::kString:
      if (e->curtxtimg == nullptr) {
        BmpBlock* image = MakePayloadTextImage(e, r);
        if (image == nullptr) return false;
        KeepTextImage(e, image);
        fresh = true;
      }
      break;
  }
  if (fresh) DefaultEntryEffect(e, r);
  if (kind == TextKind::kPaged) {
    e->exitPhase = 0;
  } else {
    e->timerstate = 0;
    const uint16_t delay = StartDelay(e);
    if (delay > 0) {
      e->timerstate = playservices.addsecondtimer(delay, kStepDue, &e->flags);
      e->flags = 0;
      return false;
    }
  }
  e->flags |= kStepDue;
  if (kind != TextKind::kPaged) ClearWhenSmall(r, e->image);
  return true;
}

// After the exit effect: the next entry's slot, then the next page or the
// hand-back.
int32_t AfterExit(ElementNode* e, TextKind kind) {
  const uint16_t entry = EntryValue(e);
  if (entry == kEntryEffectRandom) {
    AdvanceRandomEntry(e);
  } else {
    e->entryIndex = entry;
  }
  e->exitPhase = 0;
  if (kind == TextKind::kPaged && NextPage(e)) {
    e->timerstate = playservices.addticktimer(PauseTicks(e), kStepDue, &e->flags);
    return 0;
  }
  return HandBackTicks(e);
}

// After the entry effect: the stay before the exit, or, with no exit, the
// next page or the hand-back.
int32_t AfterEntry(ElementNode* e, TextKind kind) {
  const uint32_t exit = ExitValue(e);
  if (exit != 0) {
    e->timerstate = WaitStay(e);
    if (exit == kExitEffectRandom) {
      if (++e->exitIndex >= kExitOrderCount) e->exitIndex = 0;
    } else {
      e->exitIndex = exit - 1;
    }
    e->exitPhase = 1;
    return 0;
  }
  if (EntryValue(e) == kEntryEffectRandom) AdvanceRandomEntry(e);
  if (kind == TextKind::kPaged) {
    if (NextPage(e)) {
      e->timerstate = WaitStay(e);
      return 0;
    }
    e->exitPhase = 0;
  }
  return HandBackStay(e);
}

int32_t PlayText(ElementNode* e, DestRect* r, TextKind kind) {
  if (r == nullptr) {
    ResetText(e, kind);
    return 0;
  }
  if (e->timerstate == kNotStarted) {
    int32_t result = 0;
    if (!StartText(e, r, kind, &result)) return result;
  }
  if (kind == TextKind::kString) {
    bool changed = false;
    if (!ReadLiveString(e, r, &changed)) return 1;
    if (changed) {
      DefaultEntryEffect(e, r);
      ClearWhenSmall(r, e->image);
    }
  }
  if (!(e->flags & kStepDue)) return 0;
  // A string without a picture (its last update could not be laid out)
  // plays its showing empty; the step bit is taken all the same so that the
  // hand-back happens once, not on every pass.
  e->flags = 0;
  const bool haspicture = kind != TextKind::kString || e->curtxtimg != nullptr;
  if (haspicture && r->width != 0 && r->height != 0) {
    const EffectFunction effect = e->exitPhase != 0 ? ExitEffectOf(e) : EntryEffectOf(e);
    if (effect != nullptr) {
      const int32_t n = effect(e, r);
      if (n > 0) {
        e->timerstate = playservices.addticktimer(static_cast<uint32_t>(n), kStepDue, &e->flags);
        return 0;
      }
    }
  }
  const bool wasexit = e->exitPhase != 0;
  EndEffect(e);
  return wasexit ? AfterExit(e, kind) : AfterEntry(e, kind);
}

void ResetStatic(ElementNode* e) {
  if (e->workBuffer != nullptr) ArenaFree(e->workBuffer);
  e->workBuffer = nullptr;
  e->timerstate = kNotStarted;
  e->flags = 0;
  e->exitPhase = 0;
  e->step = 0;
  e->extent = 0;
  e->stepDelay = 0;
  e->entryIndex = 0;
  e->exitIndex = 0;
  e->state = {};
}

int32_t PlayStatic(ElementNode* e, DestRect* r, TextKind kind) {
  if (r == nullptr) {
    ResetStatic(e);
    return 0;
  }
  if (e->timerstate == kNotStarted) {
    if (r->width == 0 || r->height == 0) return 0;
    if (kind == TextKind::kBitmap) {
      e->image = BlockImage(e->payload);
    } else if (e->curtxtimg == nullptr) {
      BmpBlock* image = MakePayloadTextImage(e, r);
      if (image == nullptr) return 0;
      KeepTextImage(e, image);
    }
    e->timerstate = 0;
    e->flags |= kStepDue;
  }
  if (kind == TextKind::kString) {
    bool changed = false;
    ReadLiveString(e, r, &changed);  // a failed layout just leaves nothing to draw
  }
  if (StepFlags() & kRefreshSecond) e->flags |= kStepDue;
  if (e->flags & kStepDue) {
    if (kind == TextKind::kBitmap || e->curtxtimg != nullptr) {
      const BlitRect b{0, 0, static_cast<int16_t>(r->x), static_cast<int16_t>(r->y),
                       Size16(r->width), Size16(r->height)};
      drawops.BlitBitmapOver(&b, &e->image);
    }
    e->flags = 0;
  }
  return 0;
}

}  // namespace

int32_t RenderBitmapText(ElementNode* element, DestRect* rect) {
  return PlayText(element, rect, TextKind::kBitmap);
}

int32_t RenderStringText(ElementNode* element, DestRect* rect) {
  return PlayText(element, rect, TextKind::kString);
}

int32_t RenderPagedBitmap(ElementNode* element, DestRect* rect) {
  return PlayText(element, rect, TextKind::kPaged);
}

int32_t RenderStaticBitmap(ElementNode* element, DestRect* rect) {
  return PlayStatic(element, rect, TextKind::kBitmap);
}

int32_t RenderStaticString(ElementNode* element, DestRect* rect) {
  return PlayStatic(element, rect, TextKind::kString);
}

}  // namespace ledview
