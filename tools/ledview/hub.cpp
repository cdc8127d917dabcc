#include "ledview/hub.h"

#include <cstring>

namespace ledview::tool {

std::string EventText(const char* name, const std::string& data) {
  std::string out = "event: ";
  out += name;
  out += "\ndata: ";
  for (size_t i = 0; i < data.size(); ++i) {
    const char c = data[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
      out += "\ndata: ";
    } else {
      out += c;
    }
  }
  return out + "\n\n";
}

namespace {

void PublishLocked(Hub* hub, const char* name, const std::string& data) {
  Message msg{++hub->seq, EventText(name, data)};
  if (std::strcmp(name, "frame") == 0) {
    hub->frame = std::move(msg);
  } else {
    hub->events.push_back(std::move(msg));
    if (hub->events.size() > kKeptEvents) hub->events.pop_front();
  }
  hub->cv.notify_all();
}

}  // namespace

void Publish(Hub* hub, const char* name, const std::string& data) {
  std::lock_guard<std::mutex> lock(hub->m);
  if (std::strcmp(name, "state") == 0) hub->state = data;
  PublishLocked(hub, name, data);
}

bool PublishError(Hub* hub, uint64_t generation, const std::string& text) {
  std::lock_guard<std::mutex> lock(hub->m);
  if (generation < hub->generation) return false;
  hub->generation = generation;
  hub->error = text;
  PublishLocked(hub, "error", text);
  return true;
}

bool PublishReload(Hub* hub, uint64_t generation, const std::string& show, const std::vector<int32_t>& stringids,
                   const std::vector<std::vector<int32_t>>& pagestrings) {
  std::lock_guard<std::mutex> lock(hub->m);
  if (generation < hub->generation) return false;
  hub->generation = generation;
  hub->show = show;
  hub->error.clear();
  hub->stringids = stringids;
  hub->pagestrings = pagestrings;
  hub->page = -1;
  PublishLocked(hub, "reload", show);
  return true;
}

void SetPage(Hub* hub, int32_t page) {
  std::lock_guard<std::mutex> lock(hub->m);
  hub->page = page;
}

bool NextForPage(Hub* hub, uint64_t* cursor, bool greeted, std::chrono::milliseconds wait, std::string* out) {
  out->clear();
  std::unique_lock<std::mutex> lock(hub->m);
  if (hub->stopping) return false;
  if (!greeted) {
    *out = EventText("show", hub->show);
    if (!hub->error.empty()) *out += EventText("error", hub->error);
    if (!hub->state.empty()) *out += EventText("state", hub->state);
    *out += hub->frame.text;
    *cursor = hub->seq;
    return true;
  }
  hub->cv.wait_for(lock, wait, [&] { return hub->stopping || hub->seq != *cursor; });
  if (hub->stopping) return false;
  bool framedone = hub->frame.seq <= *cursor;
  for (const Message& m : hub->events) {
    if (m.seq <= *cursor) continue;
    if (!framedone && hub->frame.seq < m.seq) {
      *out += hub->frame.text;
      framedone = true;
    }
    *out += m.text;
  }
  if (!framedone) *out += hub->frame.text;
  *cursor = hub->seq;
  return true;
}

void StopHub(Hub* hub) {
  std::lock_guard<std::mutex> lock(hub->m);
  hub->stopping = true;
  hub->cv.notify_all();
}

}  // namespace ledview::tool
