// The engine playing a bill in simulated time, one tick at a time, as a
// host drives it: what render, the effects gallery and serve share.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ledview::tool {

enum class Look : int32_t { Led, Plain };

// A live string replacement: UpdateString(id, text) once `atms` of
// simulated time have passed. The text is in the engine's character codes.
struct StringUpdate {
  int32_t id = 0;
  std::string text;
  int64_t atms = 0;
};

struct RenderOptions {
  int32_t width = 128;
  int32_t height = 32;
  int32_t mode = 1;
  std::string font = "DejaVu Sans";  // a fontconfig name or a path
  int64_t durationms = 10000;
  int32_t tickms = 10;       // simulated time between two NotifyActtion calls
  int64_t start = 0;         // calendar time the clocks start from, in seconds
  int32_t scale = 4;
  Look look = Look::Led;
  std::vector<StringUpdate> strings;
  bool progress = false;     // a progress bar on standard error for long renders
};

struct Stepper;
void StepperStop(Stepper* s);

// The engine playing a bill in simulated time, one tick at a time. The
// engine is single-instance: one stepper runs at a time, and it must stay
// where it is while it runs (the engine writes into its leds).
struct Stepper {
  RenderOptions options;
  std::vector<uint8_t> leds;  // width x height colour values, the engine's buffer
  int64_t ms = 0;             // simulated time of the last tick
  int64_t nextsecond = 1000;
  std::vector<bool> applied;  // options.strings already given to the engine
  bool running = false;
  Stepper() = default;
  Stepper(const Stepper&) = delete;
  Stepper& operator=(const Stepper&) = delete;
  ~Stepper() { StepperStop(this); }
};
// Sets the engine up for the sign, loads the font and the bill and starts
// the simulated clock at options.start; a running stepper is stopped first.
bool StepperStart(Stepper* s, const std::vector<uint8_t>& bill, const RenderOptions& options,
                  std::string* error);
// One tick: a NotifySecond (and a clock second) for every second passed,
// the string updates now due, then NotifyActtion and RefreshBuffer.
void StepperTick(Stepper* s);
// Releases the engine and gives the clocks the machine's time again.
void StepperStop(Stepper* s);

// Drives the engine: one NotifyActtion and one RefreshBuffer every tick, a
// NotifySecond (and a clock second) every 1000 ms. `frame` gets the time
// and the LEDs (width x height bytes, a colour value each) after the first
// tick and after every tick that changed them; it returns false to stop.
bool PlayBill(const std::vector<uint8_t>& bill, const RenderOptions& options,
              const std::function<bool(int64_t ms, const std::vector<uint8_t>& leds)>& frame,
              std::string* error);

// Why the engine refused a playbill with SetPlayBill's code.
std::string SetPlayBillError(int32_t code, const std::vector<uint8_t>& bill);

}  // namespace ledview::tool
