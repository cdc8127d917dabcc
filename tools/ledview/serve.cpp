#include "ledview/serve.h"

#include <httplib.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "billfile/billreader.h"
#include "format/playbill.h"
#include "ledview.h"
#include "ledview/args.h"
#include "ledview/files.h"
#include "ledview/gbcode.h"
#include "ledview/jsontext.h"
#include "ledview/render.h"
#include "ledview/web_css.h"
#include "ledview/web_html.h"
#include "ledview/web_js.h"
#include "ledview_internal.h"

namespace ledview::tool {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Pages that may watch at once; each holds one of the server's threads.
constexpr int32_t kMaxStreams = 8;
constexpr size_t kMaxBody = 4096;
constexpr size_t kMaxStringBytes = 1024;
constexpr double kMaxSeekSeconds = 3600;
constexpr size_t kKeptEvents = 64;
// A save is built once the folder has been quiet this long, so that the
// several events of one save make one rebuild.
constexpr auto kSettle = std::chrono::milliseconds(100);
// A stream with nothing to say writes a comment this often, which finds
// pages that have gone.
constexpr auto kHeartbeat = std::chrono::seconds(2);

// ---- Frames on the wire ----

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t n = uint32_t{bytes[i]} << 16 | (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                       (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kBase64[n >> 18 & 63];
    out += kBase64[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

bool Unbase64(const std::string& text, std::vector<uint8_t>* out) {
  out->clear();
  if (text.size() % 4 != 0) return false;
  uint32_t n = 0;
  int32_t bits = 0;
  size_t pad = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    uint32_t v = 0;
    if (c == '=') {
      if (i + 2 < text.size()) return false;
      ++pad;
    } else {
      const char* at = std::strchr(kBase64, c);
      if (c == '\0' || at == nullptr || pad != 0) return false;
      v = static_cast<uint32_t>(at - kBase64);
    }
    n = n << 6 | v;
    bits += 6;
    if (bits == 24) {
      out->push_back(static_cast<uint8_t>(n >> 16));
      out->push_back(static_cast<uint8_t>(n >> 8));
      out->push_back(static_cast<uint8_t>(n));
      n = 0;
      bits = 0;
    }
  }
  out->resize(out->size() - pad);
  return true;
}

}  // namespace

std::string EncodeLeds(const std::vector<uint8_t>& leds) {
  std::vector<uint8_t> runs;
  for (size_t i = 0; i < leds.size();) {
    const uint8_t v = leds[i] & 7;
    size_t n = 1;
    while (n < 32 && i + n < leds.size() && (leds[i + n] & 7) == v) ++n;
    runs.push_back(static_cast<uint8_t>((n - 1) << 3 | v));
    i += n;
  }
  return Base64(runs);
}

bool DecodeLeds(const std::string& text, size_t count, std::vector<uint8_t>* leds) {
  std::vector<uint8_t> runs;
  if (!Unbase64(text, &runs)) return false;
  leds->clear();
  leds->reserve(count);
  for (uint8_t r : runs) leds->insert(leds->end(), (r >> 3) + 1u, static_cast<uint8_t>(r & 7));
  return leds->size() == count;
}

namespace {

// ---- What the pages are told: the hub ----

// A whole server-sent event.
std::string SseMessage(const char* name, const std::string& data) {
  std::string out = "event: ";
  out += name;
  out += '\n';
  size_t at = 0;
  for (;;) {
    const size_t end = data.find('\n', at);
    out += "data: " + data.substr(at, end == std::string::npos ? std::string::npos : end - at) + "\n";
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return out + "\n";
}

struct Message {
  uint64_t seq = 0;
  std::string text;
};

// Everything the engine and the watcher publish, numbered in one sequence.
// A page that falls behind skips frames (only the latest is kept) but not
// events, unless it falls more than kKeptEvents behind.
struct Hub {
  std::mutex m;
  std::condition_variable cv;
  uint64_t seq = 0;
  Message frame;
  std::deque<Message> events;
  std::string show;   // the current show, as a new page's first event
  std::string error;  // the build mistake a new page must see, or ""
  std::string state;  // the latest state event
  std::vector<int32_t> stringids;
  int32_t streams = 0;
  bool stopping = false;
};

void PublishLocked(Hub* hub, const char* name, const std::string& data) {
  Message msg{++hub->seq, SseMessage(name, data)};
  if (std::strcmp(name, "frame") == 0) {
    hub->frame = std::move(msg);
  } else {
    hub->events.push_back(std::move(msg));
    if (hub->events.size() > kKeptEvents) hub->events.pop_front();
  }
  hub->cv.notify_all();
}

void Publish(Hub* hub, const char* name, const std::string& data) {
  std::lock_guard<std::mutex> lock(hub->m);
  if (std::strcmp(name, "state") == 0) hub->state = data;
  PublishLocked(hub, name, data);
}

// ---- The engine's thread and its queue ----

// The command's own font lookup keeps caches that are not for two threads:
// the watcher's builds and the engine's starts take turns.
std::mutex fontlock;

struct Show {
  std::vector<uint8_t> bill;
  RenderOptions options;
  std::vector<int32_t> stringids;
};

enum class Command : int32_t { Play, Pause, Step, Restart, Speed, Seek, String, Load, Stop };

struct Request {
  Command command = Command::Play;
  double value = 0;
  int32_t id = 0;
  std::string text;
  Show show;
};

struct EngineQueue {
  std::mutex m;
  std::condition_variable cv;
  std::deque<Request> requests;
  // The first start's outcome, for RunServe to wait on.
  bool started = false;
  bool startfailed = false;
  std::string starterror;
};

void Enqueue(EngineQueue* q, Request r) {
  std::lock_guard<std::mutex> lock(q->m);
  q->requests.push_back(std::move(r));
  q->cv.notify_all();
}

// The live string ids of a bill, in order of first use.
std::vector<int32_t> StringIds(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> ids;
  bill::Bill b;
  std::string error;
  if (!bill::ReadBill(bytes, &b, &error)) return ids;
  for (const bill::Page& p : b.pages) {
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
  return ids;
}

std::string ShowJson(const Show& s, const std::string& name) {
  Json j;
  j["name"] = name;
  j["width"] = s.options.width;
  j["height"] = s.options.height;
  j["mode"] = s.options.mode;
  j["tickms"] = s.options.tickms;
  j["strings"] = s.stringids;
  // The look of the GIF output: Paint's palette and dot.
  Json palette = Json::array();
  for (uint8_t i = 0; i <= 8; ++i) palette.push_back(PaletteRgb(i));
  j["palette"] = palette;
  j["dot"] = kLedDotRadius;
  return j.dump();
}

struct Engine {
  Hub* hub = nullptr;
  EngineQueue* queue = nullptr;
  std::string name;
  Show show;
  Stepper stepper;
  bool playing = true;
  double speed = 1;
  std::vector<uint8_t> shown;  // the LEDs of the last frame event
  int64_t statesecond = -1;
};

void SendFrame(Engine* e, Clock::time_point refreshed) {
  const Stepper& s = e->stepper;
  e->shown = s.leds;
  Json j;
  j["t"] = s.ms;
  j["page"] = PlayingPage();
  j["w"] = s.options.width;
  j["h"] = s.options.height;
  j["sent"] = std::chrono::duration_cast<std::chrono::microseconds>(refreshed.time_since_epoch()).count();
  j["leds"] = EncodeLeds(s.leds);
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

// A new build from the watcher: it replaces the show only when the engine
// takes it; otherwise the last good show plays on and the pages see why.
void Load(Engine* e, Show next) {
  const int32_t valid = TestPlayBillData(next.bill.data(), static_cast<int32_t>(next.bill.size()));
  std::string error;
  if (valid != 0) {
    error = SetPlayBillError(-2, next.bill);
  } else {
    Show previous = std::move(e->show);
    e->show = std::move(next);
    if (!Restart(e, &error)) {
      e->show = std::move(previous);
      std::string again;
      Restart(e, &again);
    }
  }
  if (!error.empty()) {
    std::lock_guard<std::mutex> lock(e->hub->m);
    e->hub->error = "ledview: " + error;
    PublishLocked(e->hub, "error", e->hub->error);
    return;
  }
  const std::string show = ShowJson(e->show, e->name);
  std::lock_guard<std::mutex> lock(e->hub->m);
  e->hub->show = show;
  e->hub->error.clear();
  e->hub->stringids = e->show.stringids;
  PublishLocked(e->hub, "reload", show);
}

void Seek(Engine* e, double seconds) {
  const int64_t target = static_cast<int64_t>(seconds * 1000 + 0.5);
  std::string error;
  if (target < e->stepper.ms && !Restart(e, &error)) return;
  for (int64_t n = 0; e->stepper.ms + e->stepper.options.tickms <= target; ++n) {
    if (n % 4096 == 0 && stopsignal != 0) return;
    Tick(e, false);
  }
  SendFrame(e, Clock::now());
  SendState(e);
}

// Runs the show in real time: a tick every tickms / speed of wall time,
// and the requests in between. Ticks missed by more than a quarter second
// are dropped rather than caught up.
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
  Clock::time_point due = Clock::now();
  for (;;) {
    std::deque<Request> requests;
    {
      std::unique_lock<std::mutex> lock(e->queue->m);
      if (e->queue->requests.empty()) {
        if (e->playing) {
          e->queue->cv.wait_until(lock, due);
        } else {
          e->queue->cv.wait(lock);
        }
      }
      requests.swap(e->queue->requests);
    }
    for (Request& r : requests) {
      switch (r.command) {
        case Command::Stop: StepperStop(&e->stepper); return;
        case Command::Play: e->playing = true; due = Clock::now(); break;
        case Command::Pause: e->playing = false; break;
        case Command::Step: e->playing = false; Tick(e, true); break;
        case Command::Restart: Restart(e, &error); due = Clock::now(); break;
        case Command::Speed: e->speed = r.value; break;
        case Command::Seek: Seek(e, r.value); due = Clock::now(); break;
        case Command::String:
          UpdateString(r.id, r.text.data(), static_cast<int32_t>(r.text.size()));
          break;
        case Command::Load: Load(e, std::move(r.show)); due = Clock::now(); break;
      }
      SendState(e);
    }
    if (!e->playing) continue;
    const Clock::time_point now = Clock::now();
    if (now < due) continue;
    Tick(e, true);
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(e->stepper.options.tickms / e->speed));
    due += period;
    if (now - due > std::chrono::milliseconds(250)) due = now + period;
  }
}

// ---- Hot reload: the watcher ----

// The files a description names (pictures, and fonts given as files), as
// paths beside the description.
void NamedFiles(const Json& j, const std::string& basedir, std::set<std::string>* files) {
  if (j.is_object()) {
    for (const auto& [key, value] : j.items()) {
      if ((key == "png" || key == "font") && value.is_string()) {
        const std::string path = JoinPath(basedir, value.get<std::string>());
        std::error_code ec;
        if (key == "png" || fs::is_regular_file(path, ec)) files->insert(path);
      } else {
        NamedFiles(value, basedir, files);
      }
    }
  } else if (j.is_array()) {
    for (const Json& v : j) NamedFiles(v, basedir, files);
  }
}

std::string Normal(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::absolute(path, ec);
  return (ec ? fs::path(path) : p).lexically_normal().string();
}

struct Watcher {
  int fd = -1;
  std::map<int, std::string> folders;  // watch descriptor to folder
  std::set<std::string> files;         // normalised paths that matter
  std::string fingerprint;             // of the last build, good or bad
};

// Watches the folders of the description and of every file it names: an
// editor that saves by writing a new file and renaming it over the old one
// leaves a watch on the file itself behind.
void WatchFiles(Watcher* w, const std::string& input) {
  std::set<std::string> paths = {input};
  std::vector<uint8_t> bytes;
  std::string error;
  Json j;
  if (ReadFile(input, kMaxInputBytes, &bytes, &error) &&
      ParseJson(std::string(bytes.begin(), bytes.end()), &j, &error)) {
    NamedFiles(j, DirectoryOf(input), &paths);
  }
  w->files.clear();
  std::set<std::string> folders;
  for (const std::string& p : paths) {
    const std::string n = Normal(p);
    w->files.insert(n);
    folders.insert(fs::path(n).parent_path().string());
  }
  for (auto it = w->folders.begin(); it != w->folders.end();) {
    if (folders.count(it->second) == 0) {
      inotify_rm_watch(w->fd, it->first);
      it = w->folders.erase(it);
    } else {
      ++it;
    }
  }
  for (const std::string& f : folders) {
    const int wd = inotify_add_watch(w->fd, f.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    if (wd >= 0) w->folders[wd] = f;
  }
}

struct WatchContext {
  const ServeOptions* options = nullptr;
  Hub* hub = nullptr;
  EngineQueue* queue = nullptr;
  std::string fontname;
  std::atomic<bool> stopping{false};
};

void Rebuild(Watcher* w, WatchContext* c, const std::string& initial) {
  const std::string& input = c->options->input;
  std::error_code ec;
  // Between an editor's steps the description may be missing for a moment.
  if (!fs::exists(input, ec)) return;
  WatchFiles(w, input);
  Show show;
  SignSize sign;
  std::string error;
  bool built = false;
  {
    std::lock_guard<std::mutex> lock(fontlock);
    built = LoadInput(input, &show.bill, &sign, &error);
  }
  if (built) {
    ChooseSign(sign, c->options->size, c->options->mode, &show.options.width, &show.options.height,
               &show.options.mode);
  }
  const std::string fingerprint =
      built ? std::string(show.bill.begin(), show.bill.end()) + "@" + std::to_string(show.options.width) +
                  "x" + std::to_string(show.options.height) + "/" + std::to_string(show.options.mode)
            : "!" + error;
  if (fingerprint == w->fingerprint) return;
  w->fingerprint = fingerprint;
  if (!initial.empty()) return;
  if (!built) {
    std::lock_guard<std::mutex> lock(c->hub->m);
    c->hub->error = "ledview: " + error;
    PublishLocked(c->hub, "error", c->hub->error);
    return;
  }
  show.options.font = c->fontname;
  show.options.tickms = c->options->tickms;
  show.stringids = StringIds(show.bill);
  Request r;
  r.command = Command::Load;
  r.show = std::move(show);
  Enqueue(c->queue, std::move(r));
}

void WatchThread(Watcher* w, WatchContext* c) {
  bool pending = false;
  Clock::time_point due;
  alignas(inotify_event) char buffer[8192];
  while (!c->stopping) {
    pollfd p{w->fd, POLLIN, 0};
    const int ready = poll(&p, 1, 50);
    if (ready > 0) {
      const ssize_t n = read(w->fd, buffer, sizeof buffer);
      for (ssize_t at = 0; n > 0 && at < n;) {
        const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
        const auto folder = w->folders.find(ev->wd);
        if (folder == w->folders.end() || ev->len == 0) continue;
        if (w->files.count((fs::path(folder->second) / ev->name).string()) == 0) continue;
        pending = true;
        due = Clock::now() + kSettle;
      }
    }
    if (pending && Clock::now() >= due) {
      pending = false;
      Rebuild(w, c, "");
    }
  }
}

// ---- HTTP ----

struct Route {
  const char* path;
  const char* method;
};

constexpr Route kRoutes[] = {
    {"/", "GET"},         {"/ledview.css", "GET"}, {"/ledview.js", "GET"}, {"/events", "GET"},
    {"/show", "GET"},     {"/play", "POST"},       {"/pause", "POST"},     {"/step", "POST"},
    {"/restart", "POST"}, {"/speed", "POST"},      {"/seek", "POST"},      {"/string", "POST"},
};

void Answer(httplib::Response& res, int status, const std::string& line) {
  res.status = status;
  res.set_content(line + "\n", "text/plain; charset=utf-8");
}

// Bodies are small JSON objects; false with the answer given when the body
// is not one.
bool BodyObject(const httplib::Request& req, httplib::Response& res, Json* body) {
  std::string error;
  if (!ParseJson(req.body, body, &error)) {
    Answer(res, 400, "bad JSON: " + error);
    return false;
  }
  if (!body->is_object()) {
    Answer(res, 400, "bad JSON: expected an object");
    return false;
  }
  return true;
}

bool NumberField(const Json& body, const char* key, double low, double high, double* out,
                 httplib::Response& res) {
  const auto it = body.find(key);
  if (it == body.end() || !it->is_number() || !(it->get<double>() >= low && it->get<double>() <= high)) {
    char line[128];
    std::snprintf(line, sizeof line, "\"%s\": expected a number from %g to %g", key, low, high);
    Answer(res, 400, line);
    return false;
  }
  *out = it->get<double>();
  return true;
}

std::string EmbeddedText(const unsigned char* bytes, size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

void SetRoutes(httplib::Server* svr, Hub* hub, EngineQueue* queue) {
  svr->set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
    const Route* route = nullptr;
    for (const Route& r : kRoutes) {
      if (req.path == r.path) route = &r;
    }
    if (route == nullptr) {
      Answer(res, 404, "no such page");
      return httplib::Server::HandlerResponse::Handled;
    }
    const bool get = std::strcmp(route->method, "GET") == 0;
    if (req.method != route->method && !(get && req.method == "HEAD")) {
      res.set_header("Allow", get ? "GET, HEAD" : route->method);
      Answer(res, 405, std::string(req.path) + " takes " + route->method + " only");
      return httplib::Server::HandlerResponse::Handled;
    }
    // A chunked body's size is known only once it has been read whole.
    if (req.has_header("Transfer-Encoding")) {
      Answer(res, 411, "a request body needs a Content-Length (at most " + std::to_string(kMaxBody) + " bytes)");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  svr->set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) {
      const char* why = res.status == 413 ? "request body too large"
                        : res.status == 414 ? "request line too long"
                        : res.status == 404 ? "no such page"
                                            : "bad request";
      Answer(res, res.status, why);
    }
  });

  svr->Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(EmbeddedText(kIndexHtml, kIndexHtmlSize), "text/html; charset=utf-8");
  });
  svr->Get("/ledview.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(EmbeddedText(kPageCss, kPageCssSize), "text/css; charset=utf-8");
  });
  svr->Get("/ledview.js", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(EmbeddedText(kPageJs, kPageJsSize), "text/javascript; charset=utf-8");
  });
  svr->Get("/show", [hub](const httplib::Request&, httplib::Response& res) {
    std::lock_guard<std::mutex> lock(hub->m);
    res.set_content(hub->show, "application/json");
  });

  svr->Get("/events", [hub](const httplib::Request&, httplib::Response& res) {
    {
      std::lock_guard<std::mutex> lock(hub->m);
      if (hub->streams >= kMaxStreams) {
        Answer(res, 503, "too many pages watching (at most " + std::to_string(kMaxStreams) + ")");
        return;
      }
      ++hub->streams;
    }
    res.set_header("Cache-Control", "no-store");
    uint64_t cursor = 0;
    bool greeted = false;
    res.set_chunked_content_provider(
        "text/event-stream",
        [hub, cursor, greeted](size_t, httplib::DataSink& sink) mutable {
          std::string out;
          {
            std::unique_lock<std::mutex> lock(hub->m);
            if (!greeted) {
              // A new page first learns the show, any mistake, the state
              // and the picture as it is now.
              greeted = true;
              out = SseMessage("show", hub->show);
              if (!hub->error.empty()) out += SseMessage("error", hub->error);
              if (!hub->state.empty()) out += SseMessage("state", hub->state);
              out += hub->frame.text;
              cursor = hub->seq;
            } else {
              hub->cv.wait_for(lock, kHeartbeat, [&] { return hub->stopping || hub->seq != cursor; });
              if (hub->stopping) return false;
              bool framedone = hub->frame.seq <= cursor;
              for (const Message& m : hub->events) {
                if (m.seq <= cursor) continue;
                if (!framedone && hub->frame.seq < m.seq) {
                  out += hub->frame.text;
                  framedone = true;
                }
                out += m.text;
              }
              if (!framedone) out += hub->frame.text;
              cursor = hub->seq;
            }
          }
          if (out.empty()) out = ":\n\n";
          return sink.write(out.data(), out.size());
        },
        [hub](bool) {
          std::lock_guard<std::mutex> lock(hub->m);
          --hub->streams;
        });
  });

  const auto simple = [svr, queue](const char* path, Command command) {
    svr->Post(path, [queue, command](const httplib::Request&, httplib::Response& res) {
      Request r;
      r.command = command;
      Enqueue(queue, std::move(r));
      res.status = 204;
    });
  };
  simple("/play", Command::Play);
  simple("/pause", Command::Pause);
  simple("/step", Command::Step);
  simple("/restart", Command::Restart);
  svr->Post("/speed", [queue](const httplib::Request& req, httplib::Response& res) {
    Json body;
    Request r;
    if (!BodyObject(req, res, &body) || !NumberField(body, "speed", 0.25, 8, &r.value, res)) return;
    r.command = Command::Speed;
    Enqueue(queue, std::move(r));
    res.status = 204;
  });
  svr->Post("/seek", [queue](const httplib::Request& req, httplib::Response& res) {
    Json body;
    Request r;
    if (!BodyObject(req, res, &body) || !NumberField(body, "second", 0, kMaxSeekSeconds, &r.value, res)) return;
    r.command = Command::Seek;
    Enqueue(queue, std::move(r));
    res.status = 204;
  });
  svr->Post("/string", [hub, queue](const httplib::Request& req, httplib::Response& res) {
    Json body;
    double id = 0;
    if (!BodyObject(req, res, &body) || !NumberField(body, "id", 1, 65535, &id, res)) return;
    const auto text = body.find("text");
    if (text == body.end() || !text->is_string()) return Answer(res, 400, "\"text\": expected a string");
    if (text->get<std::string>().size() > kMaxStringBytes) {
      return Answer(res, 400, "\"text\": longer than " + std::to_string(kMaxStringBytes) + " bytes");
    }
    Request r;
    r.command = Command::String;
    r.id = static_cast<int32_t>(id);
    {
      std::lock_guard<std::mutex> lock(hub->m);
      if (id != r.id || std::find(hub->stringids.begin(), hub->stringids.end(), r.id) == hub->stringids.end()) {
        return Answer(res, 400, "\"id\": the show has no live string " + body["id"].dump());
      }
    }
    std::string why;
    if (!Utf8ToGb(text->get<std::string>(), &r.text, &why)) return Answer(res, 400, "\"text\": " + why);
    Enqueue(queue, std::move(r));
    res.status = 204;
  });
}

}  // namespace

int RunServe(const ServeOptions& o) {
  const auto fail = [](const std::string& message) {
    std::fprintf(stderr, "ledview: %s\n", message.c_str());
    return 1;
  };
  if (o.tickms < 1 || o.tickms > 10000) return fail("--tick must be 1..10000 milliseconds");
  if (o.port < 0 || o.port > 65535) return fail("--port must be 0..65535");

  Hub hub;
  EngineQueue queue;
  Engine engine;
  engine.hub = &hub;
  engine.queue = &queue;
  engine.name = fs::path(o.input).filename().string();
  SignSize sign;
  std::string error;
  if (!LoadInput(o.input, &engine.show.bill, &sign, &error)) return fail(error);
  RenderOptions& ro = engine.show.options;
  if (!ChooseSign(sign, o.size, o.mode, &ro.width, &ro.height, &ro.mode)) {
    return fail("--size \"" + o.size + "\": expected WIDTHxHEIGHT, e.g. 128x32");
  }
  ro.font = o.font;
  ro.tickms = o.tickms;
  engine.show.stringids = StringIds(engine.show.bill);
  hub.show = ShowJson(engine.show, engine.name);
  hub.stringids = engine.show.stringids;

  Watcher watcher;
  watcher.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watcher.fd < 0) return fail("cannot watch files (" + SystemReason(errno) + ")");
  WatchContext watch;
  watch.options = &o;
  watch.hub = &hub;
  watch.queue = &queue;
  watch.fontname = o.font;
  Rebuild(&watcher, &watch, "first");

  // A page that goes away mid-write must not end the server.
  std::signal(SIGPIPE, SIG_IGN);
  std::thread enginethread(EngineThread, &engine);
  {
    std::unique_lock<std::mutex> lock(queue.m);
    queue.cv.wait(lock, [&] { return queue.started; });
  }
  if (queue.startfailed) {
    enginethread.join();
    close(watcher.fd);
    return fail(queue.starterror);
  }
  const auto stopengine = [&] {
    Request r;
    r.command = Command::Stop;
    Enqueue(&queue, std::move(r));
    enginethread.join();
    close(watcher.fd);
  };

  httplib::Server svr;
  svr.new_task_queue = [] { return new httplib::ThreadPool(kMaxStreams + 8); };
  svr.set_payload_max_length(kMaxBody);
  svr.set_keep_alive_timeout(2);
  svr.set_tcp_nodelay(true);
  SetRoutes(&svr, &hub, &queue);
  const int port = o.port == 0 ? svr.bind_to_any_port(o.host) : (svr.bind_to_port(o.host, o.port) ? o.port : -1);
  if (port < 0) {
    stopengine();
    return fail("cannot listen on " + o.host + ":" + std::to_string(o.port) +
                " (the port is in use, or the host is not an address of this machine)");
  }
  const bool ipv6 = o.host.find(':') != std::string::npos;
  std::printf("ledview: serving %s at http://%s%s%s:%d/\n", engine.name.c_str(), ipv6 ? "[" : "",
              o.host.c_str(), ipv6 ? "]" : "", port);
  std::fflush(stdout);

  std::thread watchthread(WatchThread, &watcher, &watch);
  std::atomic<bool> listening{true};
  std::thread listenthread([&svr, &listening] {
    svr.listen_after_bind();
    listening = false;
  });
  while (stopsignal == 0 && listening) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  {
    std::lock_guard<std::mutex> lock(hub.m);
    hub.stopping = true;
    hub.cv.notify_all();
  }
  svr.stop();
  listenthread.join();
  watch.stopping = true;
  watchthread.join();
  stopengine();
  std::fprintf(stderr, "ledview: stopped\n");
  return 0;
}

}  // namespace ledview::tool
