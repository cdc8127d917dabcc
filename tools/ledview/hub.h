// What the pages are told: everything the engine thread publishes, as
// server-sent events numbered in one sequence, and what a new page must
// learn first.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace ledview::tool {

// A whole server-sent event. Every line of `data` (a line feed, a carriage
// return or both end one) is a data line of its own, so that no text can
// end the event early or start a field of its own.
std::string EventText(const char* name, const std::string& data);

struct Message {
  uint64_t seq = 0;
  std::string text;
};

// A page that falls behind skips frames (only the latest is kept) but not
// events, unless it falls more than kKeptEvents behind.
inline constexpr size_t kKeptEvents = 64;

struct Hub {
  std::mutex m;
  std::condition_variable cv;
  uint64_t seq = 0;
  Message frame;
  std::deque<Message> events;
  std::string show;   // the current show, as a new page's first event
  std::string error;  // the mistake of the newest save a new page must see, or ""
  std::string state;  // the latest state event
  uint64_t generation = 0;  // of the save whose outcome the pages show
  std::vector<int32_t> stringids;
  std::vector<std::vector<int32_t>> pagestrings;  // the live string ids each page shows
  int32_t page = -1;                              // the page up in the latest frame
  int32_t streams = 0;
  bool stopping = false;
};

// "frame" replaces the frame kept; any other name is kept as an event.
void Publish(Hub* hub, const char* name, const std::string& data);
// The outcome of the save numbered `generation`: the mistake it had, or the
// show it started. An outcome older than the one the pages show is dropped
// (false): only the newest save decides.
bool PublishError(Hub* hub, uint64_t generation, const std::string& text);
bool PublishReload(Hub* hub, uint64_t generation, const std::string& show, const std::vector<int32_t>& stringids,
                   const std::vector<std::vector<int32_t>>& pagestrings = {});
// The page the engine has up now.
void SetPage(Hub* hub, int32_t page);

// What a page gets next, from where *cursor stands: on the first call (the
// cursor at 0) the show, any mistake, the state and the picture as they are
// now; after it, every event since, with the latest frame in its place. Waits
// up to `wait` for something new; "" when nothing came. False once stopping.
bool NextForPage(Hub* hub, uint64_t* cursor, bool greeted, std::chrono::milliseconds wait, std::string* out);

// Wakes every page's stream to end it.
void StopHub(Hub* hub);

}  // namespace ledview::tool
