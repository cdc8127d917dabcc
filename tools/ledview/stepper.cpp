#include "ledview/stepper.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "ledview.h"
#include "ledview/files.h"
#include "ledview/signals.h"
#include "ledview/fonts.h"
#include "ledview/quiet.h"
#include "ledview_internal.h"

namespace ledview::tool {

namespace {

// A progress bar that shows only on a terminal, and only once a render has
// taken more than a second.
struct Progress {
  bool enabled = false;
  std::chrono::steady_clock::time_point begun;
  bool shown = false;
  int32_t lastpercent = -1;
};

void ProgressUpdate(Progress* p, int64_t done, int64_t total) {
  if (!p->enabled || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!p->shown && now - p->begun < std::chrono::seconds(1)) return;
  const int32_t percent = static_cast<int32_t>(done * 100 / total);
  if (percent == p->lastpercent) return;
  p->shown = true;
  p->lastpercent = percent;
  char bar[41];
  const int32_t filled = percent * 40 / 100;
  for (int32_t i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
  bar[40] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%% %.1f/%.1f s", bar, percent, done / 1000.0, total / 1000.0);
  std::fflush(stderr);
}

void ProgressEnd(Progress* p) {
  if (p->shown) std::fprintf(stderr, "\n");
}

}  // namespace

std::string SetPlayBillError(int32_t code, const std::vector<uint8_t>& bill) {
  if (code == -2) {
    const int32_t why = TestPlayBillData(bill.data(), static_cast<int32_t>(bill.size()));
    return "the engine rejects the playbill (validation code " + std::to_string(why) +
           "; `ledview check` says more)";
  }
  if (code == -1) {
    return "the engine cannot load the playbill (too long, or a page holds more areas, "
           "components or elements than it plays)";
  }
  return "the engine refuses the playbill (code " + std::to_string(code) + ")";
}

bool StepperStart(Stepper* s, const std::vector<uint8_t>& bill, const RenderOptions& o,
                  std::string* error) {
  StepperStop(s);
  if (o.width < 1 || o.height < 1 || o.width > 8192 || o.height > 512) {
    *error = "sign size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
             " is outside 1x1..8192x512";
    return false;
  }
  if (o.tickms < 1) {
    *error = "the tick period must be at least 1 ms";
    return false;
  }
  std::string fontpath;
  if (!FindFont(o.font, &fontpath, error)) return false;
  if (bill.size() > 0x7FFFFFFF) {
    *error = "the playbill is too long";
    return false;
  }

  QuietStdout quiet;
  ReleasePreview();
  int32_t code = InitLedConfigure(o.width, o.height, o.mode);
  if (code != 0) {
    *error = "the engine refuses a " + std::to_string(o.width) + "x" + std::to_string(o.height) +
             " sign in colour mode " + std::to_string(o.mode) + " (code " + std::to_string(code) + ")";
    return false;
  }
  // The engine may clamp the height (colour mode 4 stops at 128 rows); the
  // buffer keeps the asked size and the rows beyond stay dark.
  s->leds.assign(static_cast<size_t>(o.width) * o.height, 0);
  code = SetFontPathname(fontpath.c_str());
  if (code != 0) {
    ReleasePreview();
    *error = "the engine cannot load the font \"" + fontpath + "\" (code " + std::to_string(code) + ")";
    return false;
  }
  SetBmpBuffer(o.width, o.height, o.width, s->leds.data());
  ClockSimulate(o.start);
  ResetActionCounter();
  code = SetPlayBill(bill.data(), static_cast<int32_t>(bill.size()));
  if (code != 0) {
    ReleasePreview();
    ClockUseReal();
    *error = SetPlayBillError(code, bill);
    return false;
  }
  s->options = o;
  s->ms = 0;
  s->nextsecond = 1000;
  s->applied.assign(o.strings.size(), false);
  s->running = true;
  return true;
}

void StepperTick(Stepper* s) {
  if (!s->running) return;
  s->ms += s->options.tickms;
  while (s->ms >= s->nextsecond) {
    ClockAdvance(1);
    NotifySecond();
    s->nextsecond += 1000;
  }
  for (size_t i = 0; i < s->options.strings.size(); ++i) {
    const StringUpdate& u = s->options.strings[i];
    if (!s->applied[i] && s->ms >= u.atms) {
      s->applied[i] = true;
      UpdateString(u.id, u.text.data(), static_cast<int32_t>(u.text.size()));
    }
  }
  NotifyActtion();
  RefreshBuffer();
}

void StepperStop(Stepper* s) {
  if (!s->running) return;
  s->running = false;
  ReleasePreview();
  ClockUseReal();
}

bool PlayBill(const std::vector<uint8_t>& bill, const RenderOptions& o,
              const std::function<bool(int64_t ms, const std::vector<uint8_t>& leds)>& frame,
              std::string* error) {
  Stepper s;
  if (!StepperStart(&s, bill, o, error)) return false;
  Progress progress;
  progress.enabled = o.progress && isatty(2) && o.durationms > 1000;
  progress.begun = std::chrono::steady_clock::now();
  std::vector<uint8_t> previous;
  bool ok = true;
  while (s.ms + o.tickms <= o.durationms) {
    if (stopsignal != 0) {
      *error = "interrupted";
      ok = false;
      break;
    }
    StepperTick(&s);
    if (previous.empty() || s.leds != previous) {
      previous = s.leds;
      if (!frame(s.ms, s.leds)) {
        ok = false;
        break;
      }
    }
    ProgressUpdate(&progress, s.ms, o.durationms);
  }
  ProgressEnd(&progress);
  StepperStop(&s);
  return ok;
}

}  // namespace ledview::tool
