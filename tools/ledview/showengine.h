// The engine's thread: plays the show in real time and carries out the
// pages' controls and the watcher's builds, one request at a time, from a
// short queue.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "ledview/hub.h"
#include "ledview/jsontext.h"
#include "ledview/stepper.h"

namespace ledview::tool {

struct Show {
  std::vector<uint8_t> bill;
  RenderOptions options;
  std::vector<int32_t> stringids;
  std::vector<std::vector<int32_t>> pagestrings;  // the live string ids each page shows
  std::vector<std::string> warnings;              // what the author is warned of, a line each
};

// Outcome: what a save came to, a new show to play or the mistake to show.
enum class Command : int32_t { Play, Pause, Step, Restart, Speed, Seek, String, Outcome, Stop };

struct Request {
  Command command = Command::Play;
  double value = 0;
  int32_t id = 0;
  std::string text;      // a live string in the engine's codes, or an outcome's mistake
  uint64_t generation = 0;  // an outcome's save
  Show show;             // an outcome's show, when text is ""
};

// Requests waiting at most; a newer seek, speed or outcome takes the place
// of one waiting, so only controls of other kinds fill the queue.
inline constexpr size_t kMaxQueued = 16;

struct EngineQueue {
  std::mutex m;
  std::condition_variable cv;
  std::deque<Request> requests;
  // Counts requests that make a seek under way pointless (a newer seek, a
  // restart, an outcome, stop): a seek gives up when it changes.
  std::atomic<uint64_t> superseding{0};
  // The first start's outcome, for the server to wait on.
  bool started = false;
  bool startfailed = false;
  std::string starterror;
};

// False when the queue is full; a stop is always taken.
bool Enqueue(EngineQueue* q, Request r);

struct Engine {
  Hub* hub = nullptr;
  EngineQueue* queue = nullptr;
  std::string name;
  Show show;
  Stepper stepper;
  bool playing = true;
  double speed = 1;
  uint64_t generation = 0;     // of the save that made the show
  std::vector<uint8_t> shown;  // the LEDs of the last frame event
  int64_t statesecond = -1;
};

// Starts the show, then plays it until a Stop request.
void EngineThread(Engine* e);

// The live string ids of a bill, in order of first use.
std::vector<int32_t> StringIds(const std::vector<uint8_t>& bill);
// The same for each page.
std::vector<std::vector<int32_t>> PageStringIds(const std::vector<uint8_t>& bill);
// Loads a show as serve and export-web play it: the description or
// playbill at `input` on the sign `size`/`mode` chose (or the show's own),
// with the font `font` names (or one the show chooses), its live strings
// and its warnings. False with the one-line mistake in *error.
bool PrepareShow(const std::string& input, const std::string& font, const std::string& size, int32_t mode,
                 int32_t tickms, Show* show, std::string* error);

// The show as a page learns it: name, size, mode, tick, live strings,
// warnings and the LED look of the GIF output.
Json ShowJson(const Show& s, const std::string& name);

}  // namespace ledview::tool
