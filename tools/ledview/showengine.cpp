#include "ledview/showengine.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "billfile/billreader.h"
#include "format/playbill.h"
#include "ledview.h"
#include "ledview/args.h"
#include "ledview/fonts.h"
#include "ledview/hostclock.h"
#include "ledview/jsontext.h"
#include "ledview/render.h"
#include "ledview/signals.h"
#include "ledview/warnings.h"
#include "ledview/wire.h"
#include "ledview_internal.h"

namespace ledview::tool {

namespace {

using Clock = std::chrono::steady_clock;

bool Supersedes(Command c) {
  return c == Command::Seek || c == Command::Restart || c == Command::Outcome || c == Command::Stop;
}

// Requests of which only the newest counts.
bool Replaces(Command c) { return c == Command::Seek || c == Command::Speed || c == Command::Outcome; }

}  // namespace

bool Enqueue(EngineQueue* q, Request r) {
  std::lock_guard<std::mutex> lock(q->m);
  if (Replaces(r.command)) {
    const auto waiting = std::find_if(q->requests.begin(), q->requests.end(),
                                      [&](const Request& x) { return x.command == r.command; });
    // An outcome of a later save than this one is already waiting.
    if (waiting != q->requests.end() && waiting->generation > r.generation) return true;
    if (waiting != q->requests.end()) q->requests.erase(waiting);
  }
  if (r.command != Command::Stop && q->requests.size() >= kMaxQueued) return false;
  if (Supersedes(r.command)) ++q->superseding;
  q->requests.push_back(std::move(r));
  q->cv.notify_all();
  return true;
}

std::vector<std::vector<int32_t>> PageStringIds(const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<int32_t>> pages;
  bill::Bill b;
  std::string error;
  if (!bill::ReadBill(bytes, &b, &error)) return pages;
  for (const bill::Page& p : b.pages) {
    std::vector<int32_t>& ids = pages.emplace_back();
    for (const bill::Area& a : p.areas) {
      for (const bill::Component& c : a.components) {
        for (const bill::Element& e : c.elements) {
          bill::StringText t;
          if (e.elemtype != kElemString || !bill::DecodeStringText(e.payload, &t) || t.id == 0) continue;
          if (std::find(ids.begin(), ids.end(), t.id) == ids.end()) ids.push_back(t.id);
        }
      }
    }
  }
  return pages;
}

std::vector<int32_t> StringIds(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> ids;
  for (const std::vector<int32_t>& page : PageStringIds(bytes)) {
    for (int32_t id : page) {
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
  }
  return ids;
}

bool PrepareShow(const std::string& input, const std::string& font, const std::string& size, int32_t mode,
                 int32_t tickms, Show* show, std::string* error) {
  SignSize sign;
  RenderOptions& ro = show->options;
  if (!LoadInput(input, &show->bill, &sign, error, &show->warnings)) return false;
  if (!ChooseSign(sign, size, mode, &ro.width, &ro.height, &ro.mode)) {
    *error = SizeMistake(size);
    return false;
  }
  if (!ChooseFont(font, sign, show->bill, &ro.font, error)) return false;
  ro.tickms = tickms;
  for (std::string& line : ShowWarnings(show->bill, ShowFacts{ro.width, ro.height, ro.mode, {}, ro.font})) {
    show->warnings.push_back(std::move(line));
  }
  show->stringids = StringIds(show->bill);
  show->pagestrings = PageStringIds(show->bill);
  return true;
}

Json ShowJson(const Show& s, const std::string& name) {
  Json j;
  j["name"] = name;
  j["width"] = s.options.width;
  j["height"] = s.options.height;
  j["mode"] = s.options.mode;
  j["tickms"] = s.options.tickms;
  j["strings"] = s.stringids;
  j["warnings"] = s.warnings;
  // The look of the GIF output: Paint's palette and dot.
  Json palette = Json::array();
  for (uint8_t i = 0; i <= 8; ++i) palette.push_back(PaletteRgb(i));
  j["palette"] = palette;
  j["dot"] = kLedDotRadius;
  return j;
}

namespace {

void SendFrame(Engine* e, Clock::time_point refreshed) {
  const Stepper& s = e->stepper;
  e->shown = s.leds;
  Json j;
  j["t"] = s.ms;
  const int32_t page = PlayingPage();
  j["page"] = page;
  SetPage(e->hub, page);
  j["w"] = s.options.width;
  j["h"] = s.options.height;
  j["sent"] = std::chrono::duration_cast<std::chrono::microseconds>(refreshed.time_since_epoch()).count();
  // What the sign's LEDs show: no blue on a mode-2 sign.
  j["leds"] = EncodeLeds(SignLeds(s.leds, s.options.mode));
  Publish(e->hub, "frame", j.dump());
}

void SendState(Engine* e) {
  e->statesecond = e->stepper.ms / 1000;
  Json j;
  j["playing"] = e->playing;
  j["speed"] = e->speed;
  j["t"] = e->stepper.ms;
  j["page"] = PlayingPage();
  Publish(e->hub, "state", j.dump());
}

void Tick(Engine* e, bool send) {
  StepperTick(&e->stepper);
  const Clock::time_point refreshed = Clock::now();
  if (!send) return;
  if (e->stepper.leds != e->shown) SendFrame(e, refreshed);
  if (e->stepper.ms / 1000 != e->statesecond) SendState(e);
}

// Starts the show from its beginning, its clocks from the machine's time.
// A new start is a new show to the engine too: its action count starts
// from 0, as `render` starts it.
bool Restart(Engine* e, std::string* error) {
  e->show.options.start = std::time(nullptr);
  {
    std::lock_guard<std::mutex> lock(fontlock);
    if (!StepperStart(&e->stepper, e->show.bill, e->show.options, error)) return false;
  }
  SendFrame(e, Clock::now());
  SendState(e);
  return true;
}

// What a save came to. A new show replaces the old one only when the
// engine takes it; otherwise the last good show plays on and the pages see
// why. Outcomes come in the order of their saves, and an older one than the
// pages show is dropped.
void Outcome(Engine* e, Request r) {
  if (r.generation < e->generation) return;
  std::string error = r.text;
  if (error.empty()) {
    const int32_t valid = TestPlayBillData(r.show.bill.data(), static_cast<int32_t>(r.show.bill.size()));
    if (valid != 0) {
      error = "ledview: " + SetPlayBillError(-2, r.show.bill);
    } else {
      Show previous = std::move(e->show);
      e->show = std::move(r.show);
      if (!Restart(e, &error)) {
        error = "ledview: " + error;
        e->show = std::move(previous);
        std::string again;
        Restart(e, &again);
      }
    }
  }
  e->generation = r.generation;
  if (!error.empty()) {
    PublishError(e->hub, r.generation, error);
    return;
  }
  PublishReload(e->hub, r.generation, ShowJson(e->show, e->name).dump(), e->show.stringids, e->show.pagestrings);
}

// Plays on to `seconds` without sending frames, from the start when that is
// behind. Gives up when a newer request makes it pointless or the command
// stops.
void Seek(Engine* e, double seconds) {
  const uint64_t superseding = e->queue->superseding;
  const int64_t target = static_cast<int64_t>(seconds * 1000 + 0.5);
  std::string error;
  if (target < e->stepper.ms && !Restart(e, &error)) return;
  for (int64_t n = 0; e->stepper.ms + e->stepper.options.tickms <= target; ++n) {
    if (n % 256 == 0 && (stopsignal != 0 || e->queue->superseding != superseding)) return;
    Tick(e, false);
  }
  SendFrame(e, Clock::now());
  SendState(e);
}

// Real time per tick at the current speed.
double TickMs(const Engine* e) { return e->stepper.options.tickms / e->speed; }

}  // namespace

// Runs the show in real time: a tick every tickms / speed of wall time,
// and the requests in between. Play time missed beyond a quarter second is
// dropped rather than caught up.
void EngineThread(Engine* e) {
  std::string error;
  const bool ok = Restart(e, &error);
  {
    std::lock_guard<std::mutex> lock(e->queue->m);
    e->queue->started = true;
    e->queue->startfailed = !ok;
    e->queue->starterror = error;
    e->queue->cv.notify_all();
  }
  if (!ok) return;
  // The first tick is due at once, and again after every jump in the show.
  HostClock clock;
  HostClockReset(&clock, TickMs(e));
  for (;;) {
    std::deque<Request> requests;
    {
      std::unique_lock<std::mutex> lock(e->queue->m);
      if (e->queue->requests.empty()) {
        if (e->playing) {
          const double waitms = HostClockWaitMs(clock, TickMs(e));
          e->queue->cv.wait_for(lock, std::chrono::duration<double, std::milli>(waitms));
        } else {
          e->queue->cv.wait(lock);
        }
      }
      // One at a time, so that a newer request can still replace a waiting one.
      if (!e->queue->requests.empty()) {
        requests.push_back(std::move(e->queue->requests.front()));
        e->queue->requests.pop_front();
      }
    }
    for (Request& r : requests) {
      switch (r.command) {
        case Command::Stop: StepperStop(&e->stepper); return;
        case Command::Play: e->playing = true; HostClockReset(&clock, TickMs(e)); break;
        case Command::Pause: e->playing = false; break;
        case Command::Step: e->playing = false; Tick(e, true); break;
        case Command::Restart: Restart(e, &error); HostClockReset(&clock, TickMs(e)); break;
        case Command::Speed: e->speed = r.value; break;
        case Command::Seek: Seek(e, r.value); HostClockReset(&clock, TickMs(e)); break;
        case Command::String:
          UpdateString(r.id, r.text.data(), static_cast<int32_t>(r.text.size()));
          break;
        case Command::Outcome: Outcome(e, std::move(r)); HostClockReset(&clock, TickMs(e)); break;
      }
      SendState(e);
    }
    if (!e->playing) continue;
    HostClockRead(&clock, TickMs(e), false);
    if (HostClockTakeTick(&clock, TickMs(e))) Tick(e, true);
  }
}

}  // namespace ledview::tool
