#include "ledview/play.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ledview.h"
#include "ledview/fonts.h"
#include "ledview/hostclock.h"
#include "ledview/quiet.h"
#include "ledview/render.h"

namespace ledview::tool {

namespace {

// The window family paints this far inside the drawing area.
constexpr int32_t kInset = 10;
constexpr int32_t kFitWidth = 1200;
constexpr int32_t kFitHeight = 800;
constexpr int32_t kMaxScale = 16;
constexpr int64_t kMaxPicture = 8192;

struct Player {
  SDL_Window* window = nullptr;
  const std::vector<uint8_t>* bill = nullptr;
  const PlayOptions* options = nullptr;
  std::string fontpath;
  PlayStats* stats = nullptr;
  bool paused = false;
  int64_t played = 0;  // play time given to the engine as ticks, ms
  HostClock clock;     // real time owed to the engine
  int64_t nextsecond = 0;
};

bool HeadlessDriver(const char* driver) {
  return SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
}

void ClearWindow(SDL_Window* window) {
  SDL_Surface* s = SDL_GetWindowSurface(window);
  if (s == nullptr) return;
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
  SDL_UpdateWindowSurface(window);
}

std::string InitError(int32_t code, const PlayOptions& o, const std::string& fontpath) {
  const std::string sign = std::to_string(o.width) + "x" + std::to_string(o.height);
  switch (code) {
    case -1:
    case -3:
      return "the engine cannot load the font \"" + fontpath + "\" (code " + std::to_string(code) + ")";
    case -2:
      return "no " + sign + " picture can be made for the window";
    default:
      return "the engine refuses a " + sign + " sign in colour mode " + std::to_string(o.mode) +
             " (code " + std::to_string(code) + ")";
  }
}

// (Re)starts the playbill from its beginning on a dark window.
bool Start(Player* p, std::string* error) {
  const PlayOptions& o = *p->options;
  const std::vector<uint8_t>& bill = *p->bill;
  const auto length = static_cast<int32_t>(bill.size());
  LEDPreview_ReleasePreview();
  ClearWindow(p->window);
  QuietStdout quiet;
  int32_t code = LEDPreview_InitLedConfigure(p->window, o.width, o.height, o.mode, p->fontpath.c_str());
  if (code != 0) {
    *error = InitError(code, o, p->fontpath);
    return false;
  }
  // Checked here to name the fault; the window family only says it failed.
  if (TestPlayBillData(bill.data(), length) != 0) {
    LEDPreview_ReleasePreview();
    *error = SetPlayBillError(-2, bill);
    return false;
  }
  if (LEDPreview_SetPlayBill(bill.data(), length) != 0) {
    LEDPreview_ReleasePreview();
    *error = SetPlayBillError(-1, bill);
    return false;
  }
  p->played = 0;
  HostClockReset(&p->clock, 0);
  p->nextsecond = o.secondms;
  return true;
}

void Tick(Player* p) {
  p->played += p->options->tickms;
  while (p->played >= p->nextsecond) {
    LEDPreview_NotifySecond();
    ++p->stats->seconds;
    p->nextsecond += p->options->secondms;
  }
  LEDPreview_NotifyActtion();
  ++p->stats->ticks;
}

void ShowPaused(Player* p, bool paused) {
  p->paused = paused;
  const std::string title = p->options->title + (paused ? " (paused)" : "");
  SDL_SetWindowTitle(p->window, title.c_str());
}

enum class Outcome { Carry, Quit, Failed };

Outcome HandleEvent(Player* p, const SDL_Event& e, std::string* error) {
  if (e.type == SDL_QUIT) return Outcome::Quit;
  if (e.type == SDL_WINDOWEVENT) {
    if (e.window.event == SDL_WINDOWEVENT_CLOSE) return Outcome::Quit;
    // Paused, nothing else repaints it.
    if (e.window.event == SDL_WINDOWEVENT_EXPOSED) SDL_UpdateWindowSurface(p->window);
    return Outcome::Carry;
  }
  if (e.type != SDL_KEYDOWN) return Outcome::Carry;
  switch (e.key.keysym.sym) {
    case SDLK_q:
    case SDLK_ESCAPE:
      return Outcome::Quit;
    case SDLK_SPACE:
      ShowPaused(p, !p->paused);
      return Outcome::Carry;
    case SDLK_RIGHT:
    case SDLK_PERIOD:
      ShowPaused(p, true);
      Tick(p);
      HostClockReset(&p->clock, 0);  // resuming goes on from the step
      return Outcome::Carry;
    case SDLK_r:
      ++p->stats->restarts;
      return Start(p, error) ? Outcome::Carry : Outcome::Failed;
    default:
      return Outcome::Carry;
  }
}

Outcome Run(Player* p, std::string* error) {
  const PlayOptions& o = *p->options;
  const double tickms = static_cast<double>(o.tickms);
  for (;;) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      const Outcome outcome = HandleEvent(p, e, error);
      if (outcome != Outcome::Carry) return outcome;
    }
    HostClockRead(&p->clock, tickms, p->paused);
    if (!p->paused) {
      while ((o.durationms == 0 || p->played < o.durationms) && HostClockTakeTick(&p->clock, tickms)) {
        Tick(p);
      }
    }
    if (o.durationms > 0 && p->played >= o.durationms) return Outcome::Quit;
    const double wait = p->paused ? 100 : std::ceil(HostClockWaitMs(p->clock, tickms));
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::clamp(wait, 1.0, 100.0)));
  }
}

}  // namespace

void PlayWindowSize(int32_t width, int32_t height, int32_t scale, int32_t* windowwidth,
                    int32_t* windowheight) {
  const int64_t w = std::max(width, 1);
  const int64_t h = std::max(height, 1);
  int64_t pw = 0;
  int64_t ph = 0;
  if (scale >= 1) {
    pw = w * scale;
    ph = h * scale;
  } else {
    int64_t s = kMaxScale;
    while (s > 1 && (w * s > kFitWidth || h * s > kFitHeight)) --s;
    pw = w * s;
    ph = h * s;
    if (pw > kFitWidth || ph > kFitHeight) {
      const double f = std::min(static_cast<double>(kFitWidth) / w, static_cast<double>(kFitHeight) / h);
      pw = std::max<int64_t>(1, std::llround(w * f));
      ph = std::max<int64_t>(1, std::llround(h * f));
    }
  }
  pw = std::min(pw, kMaxPicture + 1);
  ph = std::min(ph, kMaxPicture + 1);
  *windowwidth = static_cast<int32_t>(pw + 2 * kInset);
  *windowheight = static_cast<int32_t>(ph + 2 * kInset);
}

// play shows a window and nothing else; without a desktop the other
// commands show the show.
constexpr const char* kNoDisplay =
    "no display to open a window on: play needs a desktop; use ledview render for a GIF or "
    "ledview serve for a browser page";

bool PlayWindow(const std::vector<uint8_t>& bill, const PlayOptions& o, PlayStats* stats,
                std::string* error) {
  if (o.width < 1 || o.height < 1 || o.width > 8192 || o.height > 512) {
    *error = "sign size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
             " is outside 1x1..8192x512";
    return false;
  }
  if (o.mode < 1 || o.mode > 5) {
    *error = "colour mode " + std::to_string(o.mode) + " is not 1, 2 or 4";
    return false;
  }
  if (o.tickms < 1 || o.tickms > 10000 || o.secondms < 1 || o.secondms > 3600000) {
    *error = "the tick must be 1..10000 ms and the second 1..3600000 ms";
    return false;
  }
  if (bill.size() > 0x7FFFFFFF) {
    *error = "the playbill is too long";
    return false;
  }
  int32_t windowwidth = 0;
  int32_t windowheight = 0;
  PlayWindowSize(o.width, o.height, o.scale, &windowwidth, &windowheight);
  if (windowwidth > kMaxPicture + 2 * kInset || windowheight > kMaxPicture + 2 * kInset) {
    *error = "a window of " + std::to_string(o.scale) + " pixels a LED would be larger than " +
             std::to_string(kMaxPicture) + " pixels a side";
    return false;
  }
  // Said before SDL is asked, which would only name its drivers.
  const auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && v[0] != '\0';
  };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) {
    *error = std::string(kNoDisplay) + " (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return false;
  }
  Player p;
  p.bill = &bill;
  p.options = &o;
  p.stats = stats;
  if (!FindFont(o.font, &p.fontpath, error)) return false;

  const bool sdlrunning = SDL_WasInit(SDL_INIT_EVERYTHING) != 0;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("cannot open a window: ") + SDL_GetError();
    if (!sdlrunning) SDL_Quit();
    return false;
  }
  // Without a display SDL falls back to drivers that show nothing; a window
  // nobody sees is only wanted when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  if (driver != nullptr && HeadlessDriver(driver) &&
      (wanted == nullptr || SDL_strcasecmp(wanted, driver) != 0)) {
    *error = std::string(kNoDisplay) + " (SDL chose its \"" + std::string(driver) +
             "\" video driver; set DISPLAY or WAYLAND_DISPLAY)";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!sdlrunning) SDL_Quit();
    return false;
  }
  p.window = SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              windowwidth, windowheight, SDL_WINDOW_SHOWN);
  Outcome outcome = Outcome::Failed;
  if (p.window == nullptr) {
    *error = std::string("cannot open a window: ") + SDL_GetError();
  } else if (Start(&p, error)) {
    outcome = Run(&p, error);
  }
  LEDPreview_ReleasePreview();
  if (p.window != nullptr) SDL_DestroyWindow(p.window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (!sdlrunning) SDL_Quit();
  return outcome == Outcome::Quit;
}

}  // namespace ledview::tool
