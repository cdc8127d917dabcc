#include "playbill/scheduler.h"

#include <algorithm>
#include <cstring>

#include "content/strings.h"
#include "display/border.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "memory/arena.h"
#include "format/playbill.h"
#include "playbill/loader.h"
#include "playbill/player.h"

namespace ledview {

uint32_t pendingflags = 0;
uint32_t refreshflags = 0;
TimerSlot ticktimers[kTickTimers];
TimerSlot secondtimers[kSecondTimers];
int32_t actioncounter = 0;
int32_t actionlimit = 8;

namespace {

void AdvanceTimers(TimerSlot* slots, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    TimerSlot& t = slots[i];
    if (t.count == 0) continue;
    if (++t.elapsed < t.count) continue;
    t.count = 0;
    if (t.target != nullptr) *t.target |= t.flag;
    pendingflags |= t.flag;
    t.target = nullptr;
  }
}

int32_t AddTimer(TimerSlot* slots, uint32_t n, uint32_t count, uint32_t flag, uint32_t* target) {
  for (uint32_t i = 0; i < n; ++i) {
    if (slots[i].count != 0) continue;
    slots[i] = TimerSlot{count, 0, flag, count != 0 ? target : nullptr};
    return 1;
  }
  return 0;
}

bool CancelFirst(TimerSlot* slots, uint32_t n, const uint32_t* target) {
  for (uint32_t i = 0; i < n; ++i) {
    if (slots[i].target == target) {
      slots[i].count = 0;
      slots[i].target = nullptr;
      return true;
    }
  }
  return false;
}

// Darkens a rectangle of the framebuffer. Stands in for the FillRect drawing
// slot with colour 0 until the drawing operations exist. The rectangle is
// cut to the framebuffer.
// Clears r, cut to the framebuffer.
void ClearRect(DestRect r) {
  const FrameBuffer& fb = framebuffer;
  if (r.x >= fb.fbwidth || r.y >= fb.fbheight) return;
  r.width = static_cast<uint16_t>(std::min<uint32_t>(r.width, fb.fbwidth - r.x));
  r.height = static_cast<uint16_t>(std::min<uint32_t>(r.height, fb.fbheight - r.y));
  if (r.width == 0 || r.height == 0) return;
  drawops.FillRect(&r, 0);
}

// The page border applies to the whole sign's rectangle.
void ApplyPageBorder(const PageNode* page) {
  const BorderType border = BorderFor(ReadU32(page->header + pagefield::bordertype));
  if (border.width == 0 && border.painter == nullptr) return;
  billstate.painter = border.painter;
  billstate.rect = InsetRect(billstate.rect, border.width);
}

void ArmPageTimer(const PageNode* page) {
  const int32_t playtime = ReadI32(page->header + pagefield::playtime);
  if (playtime > 0) AddSecondTimer(static_cast<uint32_t>(playtime), kRefreshPage, &billstate.flags);
}

void Release(ElementNode* e) {
  if (e->render != nullptr) e->render(e, nullptr);
}

// What a page leaves behind when it stops playing: its started elements,
// text images and component borders.
void ReleasePage(PageNode* page) {
  for (AreaNode* a = page->areas; a != nullptr; a = a->next) {
    for (ComponentNode* c = a->components; c != nullptr; c = c->next) {
      if (c->current != nullptr) Release(c->current);
      for (ElementNode* e = c->first; e != nullptr; e = e->next) {
        if (e->curtxtimg != nullptr) {
          ArenaFree(e->curtxtimg);
          e->curtxtimg = nullptr;
        }
      }
      if (c->painter != nullptr) c->painter(0, 0, 0, 0, &c->phase);
    }
  }
}

void ReleasePageBorder() {
  if (billstate.painter != nullptr) {
    billstate.painter(0, 0, 0, 0, &billstate.phase);
    billstate.phase = 0;
  }
}

void ChangePage() {
  PageNode* current = billstate.current;
  billstate.flags = 0;
  current->flags = 0;
  PageNode* next = current->next;
  if (next == nullptr && current == billstate.first) return;
  if (next == nullptr) next = billstate.first;

  ClearTimers();
  ClearStrings();
  ReleasePage(current);
  ReleasePageBorder();
  PoolReset(playerpools.areas);
  PoolReset(playerpools.components);
  PoolReset(playerpools.elements);
  // The records of the page left behind are gone with the reset.
  current->areas = nullptr;

  loaderror = 0;
  const int32_t areasize = ReadI32(next->header + pagefield::areasize);
  if (areasize > 0) {
    AreaNode* areas = LoadAreas(next->header + kPageHeaderBytes, areasize);
    next->areas = loaderror != 0 ? nullptr : areas;
  }
  ArmPageTimer(next);

  billstate.current = next;
  billstate.rect = DestRect{0, 0, ledconfig.width, ledconfig.height};
  billstate.painter = nullptr;
  ClearRect(billstate.rect);
  ApplyPageBorder(next);
}

}  // namespace

void OnActionTick() {
  if (++actioncounter > actionlimit) {
    pendingflags |= kRefreshAction;
    actioncounter = 0;
  }
  AdvanceTimers(ticktimers, kTickTimers);
}

void OnSecondTick() {
  pendingflags |= kRefreshSecond;
  AdvanceTimers(secondtimers, kSecondTimers);
}

int32_t AddTickTimer(uint32_t count, uint32_t flag, uint32_t* target) {
  return AddTimer(ticktimers, kTickTimers, count, flag, target);
}

int32_t AddSecondTimer(uint32_t count, uint32_t flag, uint32_t* target) {
  return AddTimer(secondtimers, kSecondTimers, count, flag, target);
}

void CancelTimers(const uint32_t* target) {
  CancelFirst(secondtimers, kSecondTimers, target);
  CancelFirst(ticktimers, kTickTimers, target);
}

void ClearTimers() {
  std::memset(ticktimers, 0, sizeof ticktimers);
  std::memset(secondtimers, 0, sizeof secondtimers);
  pendingflags = 0;
}

uint32_t TakeRefreshFlags() {
  const uint32_t bits = pendingflags;
  pendingflags = 0;
  return bits;
}

void RaiseRefresh(uint32_t bits) {
  if (billstate.current != nullptr) pendingflags |= bits;
}

void BindPlayServices() {
  playservices = PlayServices{AddTickTimer, AddSecondTimer, RaiseRefresh, &refreshflags};
}

void PlayComponent(ComponentNode* c, uint32_t staticflag) {
  if (c->current == nullptr) {
    if (c->first == nullptr) return;
    c->current = c->first;
    c->flags = 0;
    c->current->flags |= kRefreshElement;
  } else if (c->flags & kRefreshComponent) {
    c->flags = 0;
    ElementNode* current = c->current;
    ElementNode* next = current->next;
    // A component's only element just starts over, keeping its state.
    if (next != nullptr || current != c->first) {
      if (current->timerstate != 0) {
        CancelTimers(&current->flags);
        current->timerstate = 0;
      }
      if (next == nullptr) next = c->first;
      Release(current);
      current->flags = 0;
      c->current = next;
    }
    c->current->flags |= kRefreshElement;
  }

  ElementNode* e = c->current;
  // Renderers get their own copy: the component's rectangle stays as loaded.
  DestRect inner = c->inner;
  const int32_t result = e->render != nullptr ? e->render(e, &inner) : 0;
  if (staticflag != 0) return;
  if (c->painter != nullptr && (refreshflags & kRefreshAction)) {
    c->painter(c->outer.x, c->outer.y, c->outer.x + c->outer.width, c->outer.y + c->outer.height,
               &c->phase);
  }
  if (result > 0) {
    AddSecondTimer(static_cast<uint32_t>(result), kRefreshComponent, &c->flags);
  } else if (result < 0) {
    AddTickTimer(0u - static_cast<uint32_t>(result), kRefreshComponent, &c->flags);
  }
}

void PlayArea(AreaNode* area) {
  const uint8_t* h = area->header;
  const uint32_t staticflag = ReadU32(h + areafield::staticflag);
  if (staticflag != 0 && (refreshflags & kRefreshSecond)) {
    ClearRect(DestRect{ReadU16(h + rectfield::x), ReadU16(h + rectfield::y),
                       ReadU16(h + rectfield::width), ReadU16(h + rectfield::height)});
  }
  for (ComponentNode* c = area->components; c != nullptr; c = c->next) PlayComponent(c, staticflag);
}

void PlayStep() {
  if (billstate.first == nullptr) return;
  if (billstate.current == nullptr) {
    billstate.current = billstate.first;
    ApplyPageBorder(billstate.current);
    ArmPageTimer(billstate.current);
  } else if ((billstate.flags | refreshflags) & kRefreshPage) {
    ChangePage();
  }
  for (AreaNode* a = billstate.current->areas; a != nullptr; a = a->next) {
    if (a->components != nullptr) PlayArea(a);
  }
  if (billstate.painter != nullptr && (refreshflags & kRefreshAction)) {
    billstate.painter(0, 0, ledconfig.width, ledconfig.height, &billstate.phase);
  }
}

void StopPlay() {
  ClearTimers();
  if (billstate.current != nullptr) ReleasePage(billstate.current);
  ReleasePageBorder();
  ResetPlayerPools();
  ClearStrings();
  // The records are gone; nothing may reach them through the bill any more.
  billstate = BillState{};
}

}  // namespace ledview
