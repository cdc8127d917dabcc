// `ledview serve` over HTTP, as pages and careless clients meet it: the
// command runs as its own process on a free loopback port, and what it
// streams is compared with the engine driven directly.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ledview/describe.h"
#include "ledview/picture.h"
#include "ledview/render.h"
#include "ledview/hub.h"
#include "ledview/routes.h"
#include "ledview/serve.h"
#include "ledview/showengine.h"
#include "ledview/watcher.h"
#include "ledview/wire.h"

namespace ledview::tool {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

fs::path ScratchRoot() { return fs::temp_directory_path() / ("ledview-serve-" + std::to_string(getpid())); }

// Removes the tests' files when the tests end.
struct ScratchCleaner {
  ~ScratchCleaner() {
    std::error_code ec;
    fs::remove_all(ScratchRoot(), ec);
  }
} scratchcleaner;

fs::path Scratch(const std::string& name) {
  const fs::path dir = ScratchRoot() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// An editor that saves by writing a new file and renaming it over the old.
void WriteAndRename(const fs::path& path, const std::string& text) {
  const fs::path temp = path.parent_path() / (".#" + path.filename().string());
  WriteText(temp, text);
  fs::rename(temp, path);
}

// `ledview serve` in its own process; the address comes from its first line,
// what it says on standard error goes to a file.
struct Server {
  pid_t pid = -1;
  int port = 0;
  std::string firstline;
  fs::path errors = ScratchRoot() / ("stderr-" + std::to_string(serial++));
  int out = -1;
  static inline int serial = 0;

  // Starts the command without waiting for it: `port` "0" picks a free one.
  bool Spawn(const std::vector<std::string>& args, const std::string& portarg = "0") {
    int pipes[2];
    if (pipe(pipes) != 0) return false;
    fs::create_directories(errors.parent_path());
    pid = fork();
    if (pid == 0) {
      dup2(pipes[1], STDOUT_FILENO);
      const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, STDERR_FILENO);
      close(pipes[0]);
      close(pipes[1]);
      std::vector<std::string> all = {LEDVIEW_COMMAND, "serve"};
      all.insert(all.end(), args.begin(), args.end());
      all.insert(all.end(), {"--port", portarg, "--font", LEDVIEW_TEST_FONT});
      std::vector<char*> argv;
      for (std::string& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipes[1]);
    out = pipes[0];
    return pid > 0;
  }

  bool Start(const std::vector<std::string>& args, const std::string& portarg = "0") {
    if (!Spawn(args, portarg)) return false;
    // The sanitised build takes a while to start.
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(30);
    char c = 0;
    while (Clock::now() < limit) {
      pollfd p{out, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      if (read(out, &c, 1) != 1 || c == '\n') break;
      firstline += c;
    }
    const size_t colon = firstline.rfind(':');
    if (colon == std::string::npos) return false;
    port = std::atoi(firstline.c_str() + colon + 1);
    return port > 0;
  }

  // The exit status once the process has ended (128 + the signal that
  // ended it), or -1 when it is still running after `ms`.
  int Wait(int ms) {
    int status = 0;
    const Clock::time_point limit = Clock::now() + std::chrono::milliseconds(ms);
    do {
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        if (out >= 0) close(out);
        out = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (Clock::now() < limit);
    return -1;
  }

  // SIGTERM, and the exit status once it has stopped (-1 when it would not
  // within 10 s); *took gets the time from the signal to the end.
  int Stop(std::chrono::milliseconds* took = nullptr) {
    if (pid <= 0) return -1;
    kill(pid, SIGTERM);
    const Clock::time_point sent = Clock::now();
    const int status = Wait(10000);
    if (took != nullptr) *took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
    if (status >= 0) return status;
    kill(pid, SIGKILL);
    Wait(10000);
    return -1;
  }

  std::string Errors() const {
    std::ifstream in(errors);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  ~Server() {
    if (pid > 0) Stop();
    if (out >= 0) close(out);
  }
};

struct Event {
  std::string name;
  std::string data;
  int64_t received = 0;  // steady clock, microseconds
};

// A page's stream: reads /events on its own thread and keeps every event.
struct Stream {
  std::unique_ptr<httplib::Client> client;
  std::thread reader;
  std::mutex m;
  std::condition_variable cv;
  std::vector<Event> events;
  std::atomic<bool> stop{false};
  int status = 0;

  explicit Stream(int port) : client(std::make_unique<httplib::Client>("127.0.0.1", port)) {
    client->set_read_timeout(5, 0);
    reader = std::thread([this] {
      std::string pending;
      bool cr = false;  // the last chunk ended in a carriage return
      auto res = client->Get("/events", [&](const char* data, size_t length) {
        const int64_t now = NowMicros();
        // As a browser reads an event stream: CR LF, CR and LF each end a line.
        for (size_t i = 0; i < length; ++i) {
          if (cr && data[i] == '\n') {
            cr = false;
            continue;
          }
          cr = data[i] == '\r';
          pending += cr ? '\n' : data[i];
        }
        for (size_t end; (end = pending.find("\n\n")) != std::string::npos;) {
          Event e;
          e.received = now;
          size_t at = 0;
          const std::string block = pending.substr(0, end + 1);
          pending.erase(0, end + 2);
          while (at < block.size()) {
            const size_t eol = block.find('\n', at);
            const std::string line = block.substr(at, eol - at);
            at = eol + 1;
            if (line.rfind("event: ", 0) == 0) e.name = line.substr(7);
            if (line.rfind("data: ", 0) == 0) e.data += (e.data.empty() ? "" : "\n") + line.substr(6);
          }
          if (e.name.empty()) continue;
          std::lock_guard<std::mutex> lock(m);
          events.push_back(std::move(e));
          cv.notify_all();
        }
        return !stop;
      });
      std::lock_guard<std::mutex> lock(m);
      status = res ? res->status : -1;
      cv.notify_all();
    });
  }

  ~Stream() {
    stop = true;
    reader.join();
  }

  // Waits until `done` holds for the events so far, or the time is up.
  bool WaitFor(const std::function<bool(const std::vector<Event>&)>& done, int ms) {
    std::unique_lock<std::mutex> lock(m);
    return cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return done(events); });
  }

  size_t Count(const std::string& name) {
    std::lock_guard<std::mutex> lock(m);
    return std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.name == name; });
  }

  std::vector<Event> Take() {
    std::lock_guard<std::mutex> lock(m);
    return events;
  }
};

size_t CountNamed(const std::vector<Event>& events, const std::string& name) {
  return std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.name == name; });
}

struct Frame {
  int64_t t = 0;
  int64_t sent = 0;
  int64_t received = 0;
  std::vector<uint8_t> leds;
};

std::vector<Frame> Frames(const std::vector<Event>& events, int32_t width, int32_t height) {
  std::vector<Frame> frames;
  for (const Event& e : events) {
    if (e.name != "frame") continue;
    const Json j = Json::parse(e.data);
    EXPECT_EQ(j["w"], width);
    EXPECT_EQ(j["h"], height);
    Frame f;
    f.t = j["t"];
    f.sent = j["sent"];
    f.received = e.received;
    EXPECT_TRUE(DecodeLeds(j["leds"], static_cast<size_t>(width) * height, &f.leds)) << e.data;
    frames.push_back(std::move(f));
  }
  return frames;
}

// The engine played directly: the LEDs after every tick that changed them.
std::map<int64_t, std::vector<uint8_t>> Direct(const fs::path& description, int64_t ms,
                                               const std::vector<StringUpdate>& strings = {}) {
  std::vector<uint8_t> bill;
  SignSize sign;
  std::string error;
  EXPECT_TRUE(BuildFile(description.string(), &bill, &sign, &error)) << error;
  RenderOptions o;
  o.width = sign.width;
  o.height = sign.height;
  o.mode = sign.mode;
  o.font = LEDVIEW_TEST_FONT;
  o.durationms = ms;
  o.strings = strings;
  // Before the first tick the sign is dark.
  std::map<int64_t, std::vector<uint8_t>> frames = {{0, std::vector<uint8_t>(static_cast<size_t>(o.width) * o.height, 0)}};
  EXPECT_TRUE(PlayBill(bill, o, [&](int64_t t, const std::vector<uint8_t>& leds) {
    frames[t] = leds;
    return true;
  }, &error)) << error;
  return frames;
}

const std::vector<uint8_t>& At(const std::map<int64_t, std::vector<uint8_t>>& frames, int64_t t) {
  auto it = frames.upper_bound(t);
  EXPECT_NE(it, frames.begin());
  return std::prev(it)->second;
}

std::string Ascii(const std::vector<uint8_t>& leds, int32_t width) {
  std::string out;
  for (size_t i = 0; i < leds.size(); ++i) {
    out += leds[i] != 0 ? static_cast<char>('0' + leds[i]) : '.';
    if ((i + 1) % width == 0) out += '\n';
  }
  return out;
}

// A raw request on its own connection; the status code of the answer, or
// -1 when none came.
int RawStatus(int port, const std::string& request, std::string* answer = nullptr) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  timeval tv{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string got;
  char buffer[4096];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    got.append(buffer, static_cast<size_t>(n));
    if (got.find("\r\n\r\n") != std::string::npos) break;
  }
  close(fd);
  if (answer != nullptr) *answer = got;
  int status = -1;
  return std::sscanf(got.c_str(), "HTTP/1.%*d %d", &status) == 1 ? status : -1;
}

constexpr const char* kHello = R"({
  "sign": {"width": 32, "height": 8, "mode": 1},
  "pages": [{"areas": [{"components": [{"elements": [
    {"type": "picture", "text": "Hi there", "size": 8, "entry": "ScrollLoopLeft", "speed": 6, "stay": 2,
     "exit": "EraseDown"}
  ]}]}]}]
})";

// kHello in a scratch folder of its own; the description's path.
fs::path HelloShow(const std::string& name) {
  const fs::path dir = Scratch(name);
  WriteText(dir / "show.json", kHello);
  return dir / "show.json";
}

// Waits for a page's first frame.
bool FirstFrame(Stream* stream) {
  return stream->WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 1; }, 10000);
}

// The page and its files come from the binary; the frames a page receives
// are the engine's buffer at the moments they name.
TEST(Serve, PageAndFramesAreTheEngines) {
  const fs::path show = HelloShow("frames");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  EXPECT_NE(server.firstline.find("http://127.0.0.1:"), std::string::npos) << server.firstline;

  httplib::Client client("127.0.0.1", server.port);
  const struct { const char* path; const char* type; const char* holds; } files[] = {
      {"/", "text/html", "ledview.js"},
      {"/ledview.js", "text/javascript", "EventSource"},
      {"/ledview.css", "text/css", "#sign"},
      // The page's show.js describes no show: the frames are the server's.
      {"/show.js", "text/javascript", "server's events"},
  };
  for (const auto& f : files) {
    auto res = client.Get(f.path);
    ASSERT_TRUE(res) << f.path;
    EXPECT_EQ(res->status, 200) << f.path;
    EXPECT_EQ(res->get_header_value("Content-Type").rfind(f.type, 0), 0u) << f.path;
    EXPECT_NE(res->body.find(f.holds), std::string::npos) << f.path;
  }
  auto shown = client.Get("/show");
  ASSERT_TRUE(shown);
  const Json j = Json::parse(shown->body);
  EXPECT_EQ(j["width"], 32);
  EXPECT_EQ(j["height"], 8);
  EXPECT_EQ(j["palette"][1], PaletteRgb(1));
  EXPECT_EQ(j["palette"][8], PaletteRgb(8));

  Stream stream(server.port);
  // Seconds of a picture that moves every few ticks.
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 300; }, 20000));
  const std::vector<Event> events = stream.Take();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0].name, "show");
  const std::vector<Frame> frames = Frames(events, 32, 8);
  const auto direct = Direct(show, frames.back().t);
  std::vector<int64_t> latency;
  for (const Frame& f : frames) {
    EXPECT_EQ(Ascii(f.leds, 32), Ascii(At(direct, f.t), 32)) << "at " << f.t << " ms";
    latency.push_back(f.received - f.sent);
  }
  // Different pictures along the way, not one picture many times.
  std::set<std::vector<uint8_t>> distinct;
  for (const Frame& f : frames) distinct.insert(f.leds);
  EXPECT_GE(distinct.size(), 10u);
  std::sort(latency.begin(), latency.end());
  std::printf("RefreshBuffer to receipt: median %.3f ms over %zu frames (%.2f of a 10 ms tick)\n",
              latency[latency.size() / 2] / 1000.0, latency.size(), latency[latency.size() / 2] / 10000.0);
  EXPECT_EQ(server.Stop(), 0);
}

// The controls: pause holds the picture and the time, a step moves one tick,
// a live string set through the page shows as the engine draws it.
TEST(Serve, ControlsAndLiveStrings) {
  const fs::path dir = Scratch("controls");
  WriteText(dir / "show.json", R"({
    "sign": {"width": 48, "height": 16, "mode": 1},
    "pages": [{"areas": [{"components": [{"elements": [
      {"type": "string", "text": "one", "size": 16, "id": 7, "stay": 600}
    ]}]}]}]
  })");
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  httplib::Client client("127.0.0.1", server.port);
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  EXPECT_NE(stream.Take()[0].data.find("\"strings\":[7]"), std::string::npos);

  auto res = client.Post("/pause");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 204);
  // The time in the last state event that says playing or paused.
  const auto statetime = [](const std::vector<Event>& e, bool playing) -> int64_t {
    for (auto it = e.rbegin(); it != e.rend(); ++it) {
      if (it->name != "state") continue;
      const Json j = Json::parse(it->data);
      if (j["playing"] == playing) return j["t"];
    }
    return -1;
  };
  ASSERT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return statetime(e, false) >= 0; }, 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::vector<Event> held = stream.Take();
  const int64_t pausedat = statetime(held, false);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(stream.Take().size(), held.size()) << "a paused show sends nothing";
  ASSERT_EQ(client.Post("/step")->status, 204);
  EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return statetime(e, false) == pausedat + 10; }, 5000))
      << "one step is one tick of 10 ms after " << pausedat;

  const std::string text = "Go";
  res = client.Post("/string", Json{{"id", 7}, {"text", text}}.dump(), "application/json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 204) << res->body;
  ASSERT_EQ(client.Post("/play")->status, 204);
  const auto expected = Direct(dir / "show.json", 1000, {{7, text, 0}});
  const std::string want = Ascii(expected.rbegin()->second, 48);
  const bool seen = stream.WaitFor([&](const std::vector<Event>& e) {
    const std::vector<Frame> frames = Frames(e, 48, 16);
    return !frames.empty() && Ascii(frames.back().leds, 48) == want;
  }, 5000);
  const std::vector<Frame> frames = Frames(stream.Take(), 48, 16);
  EXPECT_TRUE(seen) << "wanted\n" << want << "last frame\n" << Ascii(frames.back().leds, 48);
  EXPECT_NE(want, Ascii(frames.front().leds, 48));

  // Speed, a jump in simulated time and a restart show in the state.
  const auto state = [&](const char* key, double value) {
    return stream.WaitFor([&](const std::vector<Event>& e) {
      return std::any_of(e.begin(), e.end(), [&](const Event& x) {
        return x.name == "state" && Json::parse(x.data)[key].get<double>() == value;
      });
    }, 5000);
  };
  EXPECT_EQ(client.Post("/speed", R"({"speed": 0.25})", "application/json")->status, 204);
  EXPECT_TRUE(state("speed", 0.25));
  EXPECT_EQ(client.Post("/seek", R"({"second": 95.5})", "application/json")->status, 204);
  EXPECT_TRUE(state("t", 95500));
  EXPECT_EQ(client.Post("/restart")->status, 204);
  EXPECT_TRUE(state("t", 0));

  // Bad values get a 400 naming the field, and nothing changes.
  const struct { const char* path; std::string body; const char* names; } bad[] = {
      {"/string", Json{{"id", 8}, {"text", "x"}}.dump(), "\"id\""},
      {"/string", Json{{"id", 7}}.dump(), "\"text\""},
      {"/string", "{\"id\": 7, \"text\": \"\xff\"}", "bad JSON"},
      {"/string", Json{{"id", 7}, {"text", "\xF0\x9F\x98\x80"}}.dump(), "\"text\""},
      {"/string", Json{{"id", 7}, {"text", std::string(1025, 'a')}}.dump(), "longer than 1024 bytes"},
      {"/speed", Json{{"speed", 16}}.dump(), "\"speed\""},
      {"/speed", "[1]", "object"},
      {"/seek", Json{{"second", -1}}.dump(), "\"second\""},
      {"/seek", "{\"second\": ", "bad JSON"},
  };
  for (const auto& b : bad) {
    res = client.Post(b.path, b.body, "application/json");
    ASSERT_TRUE(res) << b.path;
    EXPECT_EQ(res->status, 400) << b.path << " " << b.body;
    EXPECT_NE(res->body.find(b.names), std::string::npos) << res->body;
    EXPECT_EQ(std::count(res->body.begin(), res->body.end(), '\n'), 1) << res->body;
  }
  res = client.Post("/string", Json{{"id", 7}, {"text", std::string(1024, 'a')}}.dump(), "application/json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 204) << "1024 bytes are taken: " << res->body;
  EXPECT_EQ(server.Stop(), 0);
}

// Saving the description, in place or by renaming a new file over it, or a
// picture it names, restarts the show once; a mistake keeps the last show
// playing and says what `build` would say.
TEST(Serve, HotReload) {
  const fs::path dir = Scratch("reload");
  const fs::path description = dir / "show.json";
  const std::string withpicture = R"({
    "sign": {"width": 32, "height": 8, "mode": 1},
    "pages": [{"areas": [{"components": [{"elements": [
      {"type": "picture", "text": "Hi", "size": 8, "entry": "ScrollLoopLeft", "speed": 6, "stay": 2, "exit": "EraseDown"},
      {"type": "picture", "png": "dot.png", "stay": 1}
    ]}]}]}]
  })";
  const auto png = [](uint8_t level) {
    std::vector<uint8_t> rgb(4 * 4 * 3, 0);
    for (size_t i = 0; i < rgb.size(); i += 6) rgb[i] = level;
    return RgbToPng(4, 4, rgb);
  };
  const auto writepng = [&](uint8_t level) {
    const std::vector<uint8_t> bytes = png(level);
    WriteAndRename(dir / "dot.png", std::string(bytes.begin(), bytes.end()));
  };
  writepng(255);
  WriteText(description, withpicture);
  Server server;
  ASSERT_TRUE(server.Start({description.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));

  // Each save, then a second for a second reload that must not come.
  const auto reloads = [&](const char* what, const std::function<void()>& save) {
    const size_t before = stream.Count("reload");
    save();
    const Clock::time_point saved = Clock::now();
    EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "reload") > before; }, 5000))
        << what;
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - saved).count();
    std::printf("%s: reload after %lld ms\n", what, static_cast<long long>(took));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(stream.Count("reload"), before + 1) << what;
  };
  std::string text = withpicture;
  text.replace(text.find("\"Hi\""), 4, "\"Ho\"");
  reloads("in place", [&] { WriteText(description, text); });
  text.replace(text.find("\"Ho\""), 4, "\"Hu\"");
  reloads("write and rename", [&] { WriteAndRename(description, text); });
  reloads("picture", [&] { writepng(0); });
  // The reload restarts the show: its frames begin again from the start.
  const std::vector<Event> events = stream.Take();
  const auto last = std::find_if(events.rbegin(), events.rend(), [](const Event& e) { return e.name == "reload"; });
  ASSERT_NE(last, events.rend());
  const auto next = std::find_if(last.base(), events.end(), [](const Event& e) { return e.name == "frame"; });
  ASSERT_NE(next, events.end());
  EXPECT_LE(Json::parse(next->data)["t"].get<int64_t>(), 1000);

  // A mistake: the build's own message, and the old show goes on.
  std::string wrong = text;
  wrong.replace(wrong.find("EraseDown"), 9, "EraseSideways");
  std::vector<uint8_t> bytes;
  SignSize sign;
  std::string error;
  WriteText(dir / "wrong.json", wrong);
  ASSERT_FALSE(BuildFile((dir / "wrong.json").string(), &bytes, &sign, &error));
  const size_t framesbefore = stream.Count("frame");
  WriteAndRename(description, wrong);
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "error") == 1; }, 5000));
  const auto errorevent = stream.Take();
  const auto found = std::find_if(errorevent.begin(), errorevent.end(), [](const Event& e) { return e.name == "error"; });
  std::string expected = "ledview: " + error;
  const size_t name = expected.find("wrong.json");
  ASSERT_NE(name, std::string::npos) << expected;
  expected.replace(name, 10, "show.json");
  EXPECT_EQ(found->data, expected);
  EXPECT_NE(found->data.find("pages[0].areas[0].components[0].elements[0].exit"), std::string::npos) << found->data;
  EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "frame") > framesbefore + 20; }, 5000))
      << "frames go on after a mistake";
  EXPECT_EQ(stream.Count("reload"), 3u);
  // A page that comes now learns of the mistake at once.
  {
    Stream late(server.port);
    ASSERT_TRUE(late.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 1; }, 5000));
    EXPECT_EQ(late.Count("error"), 1u);
  }
  reloads("mended", [&] { WriteText(description, text); });
  EXPECT_EQ(server.Stop(), 0);
}

// Careless and hostile requests get a 4xx with one line, and the server
// goes on serving.
TEST(Serve, BadRequestsAreAnsweredAndServingGoesOn) {
  const fs::path dir = Scratch("bad");
  WriteText(dir / "show.json", kHello);
  WriteText(dir / "secret.txt", "not for the web");
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  const std::string big(100000, 'x');
  const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port) + "\r\n";
  const std::string json = "Content-Type: application/json\r\n";
  const struct { std::string request; int status; } cases[] = {
      {"GET /nothing HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /../secret.txt HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /%2e%2e/secret.txt HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /show.json HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /ledview.js/../show HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /play HTTP/1.1\r\n" + host + "\r\n", 405},
      {"POST / HTTP/1.1\r\n" + host + "Content-Length: 0\r\n\r\n", 405},
      {"DELETE /events HTTP/1.1\r\n" + host + "\r\n", 405},
      {"POST /speed HTTP/1.1\r\n" + host + json + "Content-Length: 5\r\n\r\n{bad}", 400},
      {"POST /speed HTTP/1.1\r\n" + host + json + "Content-Length: " + std::to_string(big.size()) + "\r\n\r\n" + big, 413},
      {"POST /string HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n186a0\r\n" + big + "\r\n0\r\n\r\n", 411},
      {"HELLO\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n" + std::string(20000, 'a') + "\r\n\r\n", 431},
  };
  for (const auto& c : cases) {
    std::string answer;
    EXPECT_EQ(RawStatus(server.port, c.request, &answer), c.status) << c.request.substr(0, 60) << "\n" << answer;
    EXPECT_EQ(answer.find("not for the web"), std::string::npos);
    EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\r\n" + host + "\r\n"), 200) << "after " << c.request.substr(0, 40);
  }

  // Pages beyond the limit are turned away, and served again once others go.
  {
    std::vector<std::unique_ptr<Stream>> pages;
    for (int i = 0; i < 8; ++i) pages.push_back(std::make_unique<Stream>(server.port));
    for (auto& p : pages) {
      EXPECT_TRUE(p->WaitFor([](const std::vector<Event>& e) { return !e.empty(); }, 5000));
    }
    EXPECT_EQ(RawStatus(server.port, "GET /events HTTP/1.1\r\n" + host + "\r\n"), 503);
    EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\r\n" + host + "\r\n"), 200);
  }
  Stream again(server.port);
  EXPECT_TRUE(again.WaitFor([](const std::vector<Event>& e) { return !e.empty(); }, 8000));
  EXPECT_EQ(server.Stop(), 0);
}

// ---- Holding up: hostile pages, careless saves, busy machines ----

std::string OwnHost(int port) { return "127.0.0.1:" + std::to_string(port); }

// A raw connection to the server on loopback; -1 when refused.
int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A field of /proc/PID/status in kB (VmRSS, VmHWM).
int64_t StatusKb(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atoll(line.c_str() + field.size() + 1);
  }
  return -1;
}

// The latest state event's value of `key`.
Json LastState(Stream* stream) {
  const std::vector<Event> events = stream->Take();
  for (auto it = events.rbegin(); it != events.rend(); ++it) {
    if (it->name == "state") return Json::parse(it->data);
  }
  return Json();
}

bool StateHolds(Stream* stream, const std::function<bool(const Json&)>& holds, int ms) {
  return stream->WaitFor([&](const std::vector<Event>& e) {
    for (auto it = e.rbegin(); it != e.rend(); ++it) {
      if (it->name == "state") return holds(Json::parse(it->data));
    }
    return false;
  }, ms);
}

bool HasEvent(const std::vector<Event>& events, const std::string& name, const std::string& holds) {
  return std::any_of(events.begin(), events.end(),
                     [&](const Event& e) { return e.name == name && e.data.find(holds) != std::string::npos; });
}

// The show's warnings reach the page with the show, and a live string set
// while no page showing it is up is taken with a warning.
TEST(Serve, WarningsReachThePage) {
  const fs::path dir = Scratch("warnings");
  WriteText(dir / "show.json", R"({
    "sign": {"width": 96, "height": 24, "mode": 1},
    "pages": [
      {"playtime": 2, "areas": [{"components": [{"elements": [{"type": "string", "text": "one", "id": 7}]}]}]},
      {"playtime": 2, "areas": [{"static": false, "components": [{"elements": [{"type": "digitalclock"}]}]}]}
    ]
  })");
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  httplib::Client client("127.0.0.1", server.port);
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  const Json show = Json::parse(stream.Take()[0].data);
  ASSERT_TRUE(show["warnings"].is_array()) << show.dump();
  ASSERT_EQ(show["warnings"].size(), 1u) << show.dump();
  EXPECT_NE(show["warnings"][0].get<std::string>().find("pages[1].areas[0]"), std::string::npos) << show.dump();
  EXPECT_NE(server.Errors().find(show["warnings"][0].get<std::string>()), std::string::npos) << server.Errors();

  ASSERT_TRUE(StateHolds(&stream, [](const Json& j) { return j["page"] == 0; }, 5000)) << LastState(&stream).dump();
  auto res = client.Post("/string", Json{{"id", 7}, {"text", "shown"}}.dump(), "application/json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 204) << "page 0 shows string 7: " << res->body;

  ASSERT_EQ(client.Post("/pause")->status, 204);
  ASSERT_EQ(client.Post("/seek", R"({"second": 2.5})", "application/json")->status, 204);
  ASSERT_TRUE(StateHolds(&stream, [](const Json& j) { return j["page"] == 1; }, 5000));
  res = client.Post("/string", Json{{"id", 7}, {"text", "lost"}}.dump(), "application/json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(res->body,
            "warning: string 7: pages[1] is up now and shows no string 7; the sign empties its live "
            "strings at every page change, so the text is lost; set it while a page that shows it is up\n");
  EXPECT_EQ(server.Stop(), 0);
}

// Which Host and which sites the server answers, as functions.
TEST(Serve, HostAndSiteRules) {
  EXPECT_TRUE(HostAllowed("127.0.0.1:8080", "127.0.0.1", 8080));
  EXPECT_TRUE(HostAllowed("LocalHost:8080", "127.0.0.1", 8080));
  EXPECT_TRUE(HostAllowed("[::1]:8080", "127.0.0.1", 8080));
  EXPECT_TRUE(HostAllowed("sign.lan:8080", "sign.lan", 8080));
  EXPECT_TRUE(HostAllowed("[fe80::1]:8080", "[fe80::1]", 8080));
  EXPECT_TRUE(HostAllowed("192.168.1.20:8080", "0.0.0.0", 8080)) << "any address of a wildcard";
  EXPECT_TRUE(HostAllowed("127.0.0.1", "127.0.0.1", 80)) << "port 80 goes unsaid";
  EXPECT_FALSE(HostAllowed("rebound.example:8080", "0.0.0.0", 8080)) << "a name is never a wildcard's";
  EXPECT_FALSE(HostAllowed("rebound.example:8080", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("192.168.1.20:8080", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("127.0.0.1:8081", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("127.0.0.1", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("127.0.0.1:8080:1", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("127.0.0.1:99999999999", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("[::1:8080", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed("", "127.0.0.1", 8080));
  EXPECT_FALSE(HostAllowed(":8080", "0.0.0.0", 8080));

  EXPECT_TRUE(SameSite("", "", "127.0.0.1:8080")) << "a program, not a page";
  EXPECT_TRUE(SameSite("http://127.0.0.1:8080", "same-origin", "127.0.0.1:8080"));
  EXPECT_TRUE(SameSite("", "none", "127.0.0.1:8080"));
  EXPECT_FALSE(SameSite("http://127.0.0.1:9999", "", "127.0.0.1:8080"));
  EXPECT_FALSE(SameSite("null", "", "127.0.0.1:8080"));
  EXPECT_FALSE(SameSite("", "cross-site", "127.0.0.1:8080"));
  EXPECT_FALSE(SameSite("", "same-site", "127.0.0.1:8080"));
  EXPECT_FALSE(SameSite("http://127.0.0.1:8080", "cross-site", "127.0.0.1:8080"));
}

// Another site's page can neither read the show nor drive it; the page
// itself, and a program that is no page, still can. A control without a
// body is carried out at once.
TEST(Serve, OnlyItsOwnPagesReadAndControl) {
  const fs::path show = HelloShow("sites");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "state") >= 1; }, 10000));
  const std::string own = OwnHost(server.port);
  const std::string port = std::to_string(server.port);
  const std::string refused[] = {
      // A page whose own name points here (DNS rebinding) reads nothing.
      "GET /show HTTP/1.1\r\nHost: rebound.example:" + port + "\r\n\r\n",
      "GET /events HTTP/1.1\r\nHost: rebound.example:" + port + "\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: 127.0.0.1:1\r\n\r\n",
      "GET / HTTP/1.1\r\n\r\n",
      // Another site's fetch with a simple type, which needs no preflight.
      "POST /pause HTTP/1.1\r\nHost: " + own + "\r\nOrigin: http://evil.example\r\nContent-Type: text/plain\r\n"
      "Content-Length: 2\r\n\r\n{}",
      // Another site's plain form, enctype text/plain.
      "POST /seek HTTP/1.1\r\nHost: " + own + "\r\nOrigin: null\r\nSec-Fetch-Site: cross-site\r\n"
      "Content-Type: text/plain\r\nContent-Length: 14\r\n\r\n{\"second\":9}=\r\n",
      "POST /pause HTTP/1.1\r\nHost: " + own + "\r\nSec-Fetch-Site: same-site\r\nContent-Length: 0\r\n\r\n",
      // No page at all, but a body that is not JSON.
      "POST /speed HTTP/1.1\r\nHost: " + own + "\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n\r\n{\"speed\": 2}",
      "POST /speed HTTP/1.1\r\nHost: " + own + "\r\nContent-Length: 12\r\n\r\n{\"speed\": 2}",
  };
  const int expected[] = {403, 403, 403, 403, 403, 403, 403, 415, 415};
  for (size_t i = 0; i < std::size(refused); ++i) {
    std::string answer;
    EXPECT_EQ(RawStatus(server.port, refused[i], &answer), expected[i]) << refused[i];
    EXPECT_EQ(answer.find("\"width\""), std::string::npos) << "the show leaked to " << refused[i];
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const Json still = LastState(&stream);
  EXPECT_EQ(still["playing"], true);
  EXPECT_EQ(still["speed"], 1);

  // The page, as a browser sends its controls, and curl's bodiless POST.
  const struct { std::string request; const char* key; Json value; } allowed[] = {
      {"POST /speed HTTP/1.1\r\nHost: " + own + "\r\nOrigin: http://" + own +
           "\r\nSec-Fetch-Site: same-origin\r\nContent-Type: application/json\r\nContent-Length: 12\r\n\r\n"
           "{\"speed\": 2}", "speed", 2},
      {"POST /pause HTTP/1.1\r\nHost: localhost:" + port + "\r\nOrigin: http://localhost:" + port +
           "\r\nSec-Fetch-Site: same-origin\r\n\r\n", "playing", false},
      {"POST /play HTTP/1.1\r\nHost: " + own + "\r\nUser-Agent: curl/7.88.1\r\nAccept: */*\r\n\r\n", "playing", true},
  };
  for (const auto& a : allowed) {
    const Clock::time_point sent = Clock::now();
    EXPECT_EQ(RawStatus(server.port, a.request), 204) << a.request;
    EXPECT_LT(Clock::now() - sent, std::chrono::seconds(1)) << "answered at once: " << a.request;
    EXPECT_TRUE(StateHolds(&stream, [&](const Json& j) { return j[a.key] == a.value; }, 5000)) << a.request;
  }
  EXPECT_EQ(RawStatus(server.port, "GET /show HTTP/1.1\r\nHost: [::1]:" + port + "\r\n\r\n"), 200);
  EXPECT_EQ(server.Stop(), 0);
}

// A port that another server listens on is refused with one line, and the
// first server keeps every request.
TEST(Serve, APortInUseIsRefused) {
  const fs::path show = HelloShow("port");
  Server first;
  ASSERT_TRUE(first.Start({show.string()})) << first.firstline;
  Server second;
  ASSERT_TRUE(second.Spawn({show.string()}, std::to_string(first.port)));
  EXPECT_EQ(second.Wait(30000), 1);
  const std::string said = second.Errors();
  EXPECT_EQ(said, "ledview: cannot listen on 127.0.0.1:" + std::to_string(first.port) + ": the port is in use\n");
  httplib::Client client("127.0.0.1", first.port);
  for (int i = 0; i < 10; ++i) {
    auto res = client.Get("/show");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
  }
  EXPECT_EQ(first.Stop(), 0);
}

// A description nested 20,000 deep, saved while serving: the page shows
// the build's own error and the last good show plays on.
TEST(Serve, DeepDescriptionSavedWhileServing) {
  const fs::path dir = Scratch("deep");
  const fs::path description = dir / "show.json";
  WriteText(description, kHello);
  Server server;
  ASSERT_TRUE(server.Start({description.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  const std::string deep = "{\"pages\": " + std::string(20000, '[') + std::string(20000, ']') + "}";
  WriteText(dir / "deep.json", deep);
  std::vector<uint8_t> bytes;
  SignSize sign;
  std::string error;
  ASSERT_FALSE(BuildFile((dir / "deep.json").string(), &bytes, &sign, &error));
  WriteAndRename(description, deep);
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "error") == 1; }, 5000));
  const std::vector<Event> events = stream.Take();
  std::string expected = "ledview: " + error;
  expected.replace(expected.find("deep.json"), 9, "show.json");
  EXPECT_TRUE(HasEvent(events, "error", expected)) << expected;
  const size_t frames = stream.Count("frame");
  EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "frame") > frames + 20; }, 5000))
      << "the last good show plays on";
  EXPECT_EQ(server.Stop(), 0);
}

// The show's folder deleted or moved away, then back: the page is told,
// and saves reload again once it is back.
TEST(Serve, FolderGoneAndBack) {
  const fs::path root = Scratch("gone");
  const fs::path dir = root / "show";
  fs::create_directories(dir);
  WriteText(dir / "show.json", kHello);
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  const auto gone = [&](const char* how, const std::function<void()>& act) {
    const size_t errors = stream.Count("error");
    act();
    EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "error") > errors; }, 5000))
        << how;
    EXPECT_TRUE(HasEvent(stream.Take(), "error", "the show's folder is gone")) << how;
  };
  const auto reloads = [&](const char* how, const std::function<void()>& act) {
    const size_t before = stream.Count("reload");
    act();
    EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "reload") > before; }, 5000))
        << how;
  };
  std::string text = kHello;
  gone("deleted", [&] { fs::remove_all(dir); });
  reloads("made again", [&] {
    fs::create_directories(dir);
    text.replace(text.find("Hi there"), 8, "Hi again");
    WriteAndRename(dir / "show.json", text);
  });
  reloads("saved after", [&] {
    text.replace(text.find("Hi again"), 8, "Hi thrice");
    WriteText(dir / "show.json", text);
  });
  gone("moved away", [&] { fs::rename(dir, root / "elsewhere"); });
  reloads("moved back, the same show", [&] { fs::rename(root / "elsewhere", dir); });
  EXPECT_EQ(server.Stop(), 0);
}

// A named pipe in the description's place is refused at once; the server
// neither blocks on it nor stops playing, and stops in time.
TEST(Serve, ANamedPipeIsRefusedWithoutBlocking) {
  const fs::path dir = Scratch("fifo");
  WriteText(dir / "show.json", kHello);
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
  fs::rename(dir / "pipe", dir / "show.json");
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return HasEvent(e, "error", "is not a regular file"); },
                             5000));
  const size_t frames = stream.Count("frame");
  EXPECT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "frame") > frames + 20; }, 5000));
  std::chrono::milliseconds took{};
  EXPECT_EQ(server.Stop(&took), 0);
  EXPECT_LE(took.count(), 1000);
}

// SIGTERM at any moment from start-up on ends the server within a second.
TEST(Serve, StopsWithinASecondFromStartUpOn) {
  const fs::path show = HelloShow("startup");
  std::string seen;
  for (const int delay : {0, 10, 30, 60, 100, 150, 200, 300, 500, 800}) {
    Server server;
    ASSERT_TRUE(server.Spawn({show.string()}));
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    std::chrono::milliseconds took{};
    const int status = server.Stop(&took);
    seen += " " + std::to_string(delay) + " ms: status " + std::to_string(status) + " in " + std::to_string(took.count()) + " ms;";
    EXPECT_LE(took.count(), 1000) << "SIGTERM " << delay << " ms after start";
    // Before the command's first line runs, the signal's default still ends it.
    EXPECT_TRUE(status == 0 || status == 128 + SIGTERM) << status << " after " << delay << " ms";
    if (delay >= 100) {
      EXPECT_EQ(status, 0) << "after " << delay << " ms";
    }
  }
  std::printf("SIGTERM after%s\n", seen.c_str());
}

// Neither a client that trickles its request, nor one that stops half way
// through a body, nor an open page holds the stop up.
TEST(Serve, StopsWithinASecondWhateverClientsDo) {
  const fs::path show = HelloShow("stop");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  std::atomic<bool> done{false};
  const std::string own = OwnHost(server.port);
  std::thread trickler([&] {
    const int fd = Connect(server.port);
    const std::string head = "GET / HTTP/1.1\r\nHost: " + own + "\r\nX-Slow: ";
    send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    for (int i = 0; i < 100 && !done; ++i) {
      send(fd, "a", 1, MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    close(fd);
  });
  const int halfbody = Connect(server.port);
  const std::string partial = "POST /speed HTTP/1.1\r\nHost: " + own +
                              "\r\nContent-Type: application/json\r\nContent-Length: 100\r\n\r\n{\"speed\"";
  send(halfbody, partial.data(), partial.size(), MSG_NOSIGNAL);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::chrono::milliseconds took{};
  EXPECT_EQ(server.Stop(&took), 0);
  EXPECT_LE(took.count(), 1000);
  done = true;
  trickler.join();
  close(halfbody);
}

// The outcome of a save reaches the pages only when no later save's has.
TEST(Serve, OnlyTheNewestSaveDecides) {
  Hub hub;
  EXPECT_TRUE(PublishReload(&hub, 1, "{\"name\": \"one\"}", {}));
  EXPECT_TRUE(PublishError(&hub, 3, "ledview: the newest save's mistake"));
  EXPECT_FALSE(PublishReload(&hub, 2, "{\"name\": \"two\"}", {7})) << "a stale good build";
  EXPECT_EQ(hub.error, "ledview: the newest save's mistake");
  EXPECT_EQ(hub.show, "{\"name\": \"one\"}");
  EXPECT_TRUE(hub.stringids.empty());
  EXPECT_EQ(hub.events.size(), 2u);
  EXPECT_TRUE(PublishReload(&hub, 4, "{\"name\": \"four\"}", {}));
  EXPECT_EQ(hub.error, "");

  // Waiting outcomes: the newest save's stays, whatever order they come in.
  EngineQueue queue;
  const auto outcome = [](uint64_t generation, const std::string& text) {
    Request r;
    r.command = Command::Outcome;
    r.generation = generation;
    r.text = text;
    return r;
  };
  EXPECT_TRUE(Enqueue(&queue, outcome(5, "")));
  EXPECT_TRUE(Enqueue(&queue, outcome(6, "ledview: mistake")));
  EXPECT_TRUE(Enqueue(&queue, outcome(5, "")));
  ASSERT_EQ(queue.requests.size(), 1u);
  EXPECT_EQ(queue.requests.front().generation, 6u);
}

// The engine's queue is short: a newer seek or speed takes a waiting one's
// place, other controls past the limit are answered 503.
TEST(Serve, TheQueueIsShortAndMergesSeeks) {
  EngineQueue queue;
  const auto request = [](Command c, double value) {
    Request r;
    r.command = c;
    r.value = value;
    return r;
  };
  for (int i = 0; i < 40; ++i) EXPECT_TRUE(Enqueue(&queue, request(Command::Seek, i)));
  EXPECT_TRUE(Enqueue(&queue, request(Command::Speed, 2)));
  EXPECT_TRUE(Enqueue(&queue, request(Command::Speed, 4)));
  ASSERT_EQ(queue.requests.size(), 2u);
  EXPECT_EQ(queue.requests.front().value, 39);
  EXPECT_EQ(queue.requests.back().value, 4);
  size_t taken = queue.requests.size();
  while (Enqueue(&queue, request(Command::Step, 0))) ++taken;
  EXPECT_EQ(taken, kMaxQueued);
  EXPECT_TRUE(Enqueue(&queue, request(Command::Seek, 1))) << "a seek replaces the waiting one";
  EXPECT_TRUE(Enqueue(&queue, request(Command::Stop, 0))) << "a stop is always taken";
}

// Forty seeks as fast as a client sends them cost about one seek, and a
// newer seek cuts one under way short.
TEST(Serve, QueuedSeeksAreAnsweredInTime) {
  const fs::path show = HelloShow("seeks");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  httplib::Client client("127.0.0.1", server.port);
  const auto seek = [&](double second) {
    auto res = client.Post("/seek", Json{{"second", second}}.dump(), "application/json");
    return res ? res->status : -1;
  };
  const auto reached = [&](double second, int ms) {
    const int64_t t = static_cast<int64_t>(second * 1000 + 0.5) / 10 * 10;
    return StateHolds(&stream, [&](const Json& j) { return j["t"] == t; }, ms);
  };
  const auto since = [](Clock::time_point begun) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begun);
  };
  // One seek across the hour, for scale.
  Clock::time_point begun = Clock::now();
  ASSERT_EQ(seek(3600), 204);
  ASSERT_TRUE(reached(3600, 60000));
  const auto one = since(begun);
  ASSERT_EQ(seek(0), 204);
  ASSERT_TRUE(reached(0, 60000));

  // A seek across the hour, and soon after one to a moment near the start.
  ASSERT_EQ(seek(3600), 204);
  std::this_thread::sleep_for(one / 8);
  begun = Clock::now();
  ASSERT_EQ(seek(2), 204);
  ASSERT_TRUE(reached(2, 60000));
  const auto short_ = since(begun);

  uint32_t random = 12345;
  double last = 0;
  for (int i = 0; i < 40; ++i) {
    random = random * 1103515245u + 12345u;
    last = 1800 + (random >> 8) % 18000 / 10.0;
    EXPECT_EQ(seek(last), 204);
  }
  begun = Clock::now();
  EXPECT_TRUE(reached(last, 60000));
  const auto forty = since(begun);
  std::printf("one seek across the hour: %lld ms; a near one sent while it ran: %lld ms; the last of forty: %lld ms "
              "after it was sent\n",
              static_cast<long long>(one.count()), static_cast<long long>(short_.count()),
              static_cast<long long>(forty.count()));
  EXPECT_LT(short_, one / 2) << "the seek under way was not cut short";
  EXPECT_LE(forty, one + std::chrono::seconds(1));
  EXPECT_EQ(server.Stop(), 0);
}

// Heads are refused once they pass the limit, not buffered whole: 100 MB
// of headers, or four 128 MB lines at once, leave the server's memory as it
// was, and it goes on serving.
TEST(Serve, HugeHeadsAreRefusedEarly) {
  const fs::path show = HelloShow("heads");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  const int64_t before = StatusKb(server.pid, "VmRSS");
  const std::string own = OwnHost(server.port);
  // Sends `head` and then `filler` until the answer comes or `total` bytes
  // went; the answer's status.
  const auto flood = [&](const std::string& head, const std::string& filler, size_t total) {
    const int fd = Connect(server.port);
    send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    for (size_t sent = 0; sent < total;) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 0) > 0) break;
      const ssize_t n = send(fd, filler.data(), filler.size(), MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char answer[512] = {};
    const ssize_t n = recv(fd, answer, sizeof answer - 1, 0);
    close(fd);
    int status = -1;
    return n > 0 && std::sscanf(answer, "HTTP/1.1 %d", &status) == 1 ? status : -1;
  };
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += "X-Field-" + std::to_string(i) + ": " + std::string(50, 'v') + "\r\n";
  EXPECT_EQ(flood("GET / HTTP/1.1\r\nHost: " + own + "\r\n", lines, 100u << 20), 431) << "100 MB of fields";
  std::string few;
  for (int i = 0; i < 101; ++i) few += "X-" + std::to_string(i) + ": 1\r\n";
  EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\r\nHost: " + own + "\r\n" + few + "\r\n"), 431) << "101 fields";
  // Lines ended by a line feed alone count the same: 101 fields are too many.
  std::string bare;
  for (int i = 0; i < 100; ++i) bare += "X-" + std::to_string(i) + ": 1\n";
  EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\nHost: " + own + "\n" + bare + "\n"), 431) << "101 fields, bare line feeds";
  std::vector<std::thread> parallel;
  std::atomic<int> refused{0};
  for (int i = 0; i < 4; ++i) {
    parallel.emplace_back([&] {
      if (flood("GET / HTTP/1.1\r\nHost: " + own + "\r\nX-Long: ", std::string(65536, 'w'), 128u << 20) == 431) ++refused;
    });
  }
  for (std::thread& t : parallel) t.join();
  EXPECT_EQ(refused, 4);
  const int64_t peak = StatusKb(server.pid, "VmHWM");
  std::printf("server memory: %lld kB before, peak %lld kB\n", static_cast<long long>(before),
              static_cast<long long>(peak));
  EXPECT_LT(peak - before, 16 * 1024) << "kB more at the peak than before";
  EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\r\nHost: " + own + "\r\n\r\n"), 200);
  EXPECT_EQ(server.Stop(), 0);
}

// Two dozen connections that send a byte now and then hold no page load up,
// and are closed once their head's time is up.
TEST(Serve, SlowClientsDoNotHoldThePage) {
  const fs::path show = HelloShow("slow");
  Server server;
  ASSERT_TRUE(server.Start({show.string()})) << server.firstline;
  const std::string own = OwnHost(server.port);
  std::vector<int> slow;
  for (int i = 0; i < 24; ++i) {
    const int fd = Connect(server.port);
    ASSERT_GE(fd, 0);
    const std::string head = "GET / HTTP/1.1\r\nHost: " + own + "\r\nX-Slow: a";
    send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    slow.push_back(fd);
  }
  std::atomic<bool> done{false};
  std::thread trickle([&] {
    for (int i = 0; i < 16 && !done; ++i) {
      for (int fd : slow) send(fd, "a", 1, MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (const char* path : {"/", "/ledview.css", "/ledview.js", "/show"}) {
    const Clock::time_point sent = Clock::now();
    EXPECT_EQ(RawStatus(server.port, std::string("GET ") + path + " HTTP/1.1\r\nHost: " + own + "\r\n\r\n"), 200) << path;
    EXPECT_LT(Clock::now() - sent, std::chrono::seconds(1)) << path;
  }
  // Within a few seconds of its first byte, each slow one is answered and
  // closed.
  int closed = 0;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
  for (int fd : slow) {
    ssize_t n = 1;
    char answer[256];
    while (n > 0 && Clock::now() < deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
      timeval tv{static_cast<time_t>(left / 1000000), static_cast<suseconds_t>(std::max<int64_t>(left % 1000000, 1000))};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
      n = recv(fd, answer, sizeof answer, 0);
    }
    closed += n == 0 || (n < 0 && errno == ECONNRESET);
  }
  done = true;
  trickle.join();
  for (int fd : slow) close(fd);
  EXPECT_EQ(closed, 24);
  EXPECT_EQ(server.Stop(), 0);
}

// Each line of an event's text is a data line of its own, whatever ends it.
TEST(Serve, EventTextCannotBeBrokenOut) {
  EXPECT_EQ(EventText("error", "a\rb\r\nc\nd"), "event: error\ndata: a\ndata: b\ndata: c\ndata: d\n\n");
  EXPECT_EQ(EventText("state", ""), "event: state\ndata: \n\n");
  EXPECT_EQ(EventText("error", "x\r\r\nevent: reload"), "event: error\ndata: x\ndata: \ndata: event: reload\n\n");
}

// A page that falls behind gets every event it missed, up to the last
// kKeptEvents, with only the latest frame, in its place among them; a page
// that is up to date gets nothing.
TEST(Serve, APageBehindGetsTheKeptEventsAndTheLatestFrame) {
  Hub hub;
  const auto next = [&hub](uint64_t* cursor) {
    std::string out;
    EXPECT_TRUE(NextForPage(&hub, cursor, true, std::chrono::milliseconds(0), &out));
    return out;
  };
  uint64_t early = 0;
  std::string out;
  ASSERT_TRUE(NextForPage(&hub, &early, false, std::chrono::milliseconds(0), &out));
  std::string states;
  for (size_t i = 0; i + 1 < kKeptEvents; ++i) {
    Publish(&hub, "state", std::to_string(i));
    states += EventText("state", std::to_string(i));
  }
  Publish(&hub, "frame", "old");
  Publish(&hub, "frame", "new");
  Publish(&hub, "error", "e");
  uint64_t late = early;
  EXPECT_EQ(next(&early), states + EventText("frame", "new") + EventText("error", "e"));
  EXPECT_EQ(next(&early), "") << "nothing new";
  Publish(&hub, "state", "last");  // one more than is kept: the oldest goes
  EXPECT_EQ(next(&late), states.substr(EventText("state", "0").size()) + EventText("frame", "new") +
                             EventText("error", "e") + EventText("state", "last"));
  Publish(&hub, "frame", "newest");
  EXPECT_EQ(next(&early), EventText("state", "last") + EventText("frame", "newest"));
  EXPECT_EQ(next(&late), EventText("frame", "newest"));
  EXPECT_EQ(next(&late), "") << "the frame it has is not sent again";
}

// The files a show is rebuilt for: its pictures, named or not yet there,
// and its fonts when they are files, not installed families.
TEST(Serve, TheWatchedFilesAreThePicturesAndFontFilesNamed) {
  const fs::path dir = Scratch("named");
  WriteText(dir / "face.ttf", "not really a font");
  const Json description = Json::parse(R"({"sign": {"width": 8, "height": 8, "font": "face.ttf"},
      "pages": [{"areas": [{"components": [{"elements": [
        {"type": "picture", "png": "a.png"},
        {"type": "string", "text": "x", "font": "DejaVu Sans"},
        {"type": "string", "text": "y", "font": "sub/missing.ttf"}]}]}]}]})");
  const std::set<std::string> want = {(dir / "a.png").string(), (dir / "face.ttf").string()};
  EXPECT_EQ(NamedFiles(description, dir.string()), want);
}

// A carriage return in a picture's name reaches the page inside its error
// event, and forges no event of its own.
TEST(Serve, ACarriageReturnForgesNoEvent) {
  const fs::path dir = Scratch("cr");
  const fs::path description = dir / "show.json";
  WriteText(description, kHello);
  Server server;
  ASSERT_TRUE(server.Start({description.string()})) << server.firstline;
  Stream stream(server.port);
  ASSERT_TRUE(FirstFrame(&stream));
  WriteAndRename(description, R"({
    "sign": {"width": 32, "height": 8, "mode": 1},
    "pages": [{"areas": [{"components": [{"elements": [
      {"type": "picture", "png": "x.png\r\revent: reload\rdata: {}\r\revent: state\rdata: {\"playing\": false}\r\r"}
    ]}]}]}]
  })");
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "error") == 1; }, 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::vector<Event> events = stream.Take();
  EXPECT_EQ(CountNamed(events, "reload"), 0u);
  EXPECT_TRUE(HasEvent(events, "error", "x.png\n\nevent: reload\ndata: {}")) << "the name, whole, in the error";
  for (const Event& e : events) {
    if (e.name == "state") {
      EXPECT_EQ(Json::parse(e.data)["playing"], true) << e.data;
    }
  }
  EXPECT_EQ(server.Stop(), 0);
}

// After a restart the page sees what `render` shows at the same moments,
// however long the show played before.
TEST(Serve, ARestartPlaysAsRenderDoes) {
  const fs::path dir = Scratch("restart");
  const fs::path description = dir / "show.json";
  WriteText(description, R"({
    "sign": {"width": 48, "height": 16, "mode": 2},
    "pages": [{"areas": [{"components": [{"border": 5, "elements": [
      {"type": "string", "text": "border", "size": 12, "colour": "red", "entry": "ScrollLoopLeft", "speed": 5, "stay": 30}
    ]}]}]}]
  })");
  Server server;
  ASSERT_TRUE(server.Start({description.string()})) << server.firstline;
  Stream stream(server.port);
  // Played for a while, an odd number of ticks.
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 37; }, 20000));
  httplib::Client client("127.0.0.1", server.port);
  ASSERT_EQ(client.Post("/pause")->status, 204);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(client.Post("/step")->status, 204);
  ASSERT_EQ(client.Post("/restart")->status, 204);
  ASSERT_EQ(client.Post("/play")->status, 204);
  const auto afterrestart = [](const std::vector<Event>& events) {
    std::vector<Event> after;
    for (const Event& e : events) {
      if (e.name == "frame" && Json::parse(e.data)["t"] == 0) after.clear();
      if (e.name == "frame") after.push_back(e);
    }
    return after;
  };
  ASSERT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return afterrestart(e).size() >= 150; }, 20000));
  const std::vector<Frame> frames = Frames(afterrestart(stream.Take()), 48, 16);
  const auto direct = Direct(description, frames.back().t);
  int differ = 0;
  for (const Frame& f : frames) differ += Ascii(f.leds, 48) != Ascii(At(direct, f.t), 48);
  EXPECT_EQ(differ, 0) << "of " << frames.size() << " frames after the restart";
  EXPECT_EQ(server.Stop(), 0);
}

// A host beyond this machine is said on start, with the addresses that
// reach it; the loopback default says nothing.
TEST(Serve, AnOpenHostIsSaid) {
  const fs::path dir = Scratch("open");
  WriteText(dir / "show.json", kHello);
  {
    Server server;
    ASSERT_TRUE(server.Start({(dir / "show.json").string(), "--host", "0.0.0.0"})) << server.firstline;
    EXPECT_EQ(RawStatus(server.port, "GET / HTTP/1.1\r\nHost: " + OwnHost(server.port) + "\r\n\r\n"), 200);
    EXPECT_EQ(server.Stop(), 0);
    const std::string said = server.Errors();
    EXPECT_EQ(said.rfind("ledview: warning: --host 0.0.0.0 opens the page and its controls to that network; "
                         "anyone who reaches http://", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << "the warning and the stop:\n" << said;
  }
  Server quiet;
  ASSERT_TRUE(quiet.Start({(dir / "show.json").string()})) << quiet.firstline;
  EXPECT_EQ(quiet.Stop(), 0);
  EXPECT_EQ(quiet.Errors(), "ledview: stopped\n");
}

// ---- The page in a real browser ----

struct Png {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

bool ReadPng(const fs::path& path, Png* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  out->width = static_cast<int32_t>(image.width);
  out->height = static_cast<int32_t>(image.height);
  out->rgb.assign(PNG_IMAGE_SIZE(image), 0);
  return png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr) != 0;
}

// Headless Chromium's screenshot of the page, after it has had time to
// connect and draw.
bool Screenshot(const std::string& url, const fs::path& png, const fs::path& profile) {
  fs::remove(png);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<std::string> args = {"/usr/bin/chromium", "--headless", "--no-sandbox", "--disable-gpu",
                                     "--hide-scrollbars", "--window-size=900,500", "--timeout=3000",
                                     "--user-data-dir=" + profile.string(), "--screenshot=" + png.string(), url};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  for (int i = 0; i < 1200 && waitpid(pid, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  return fs::exists(png);
}

// The sign as the screenshot shows it: the canvas is the one place of pure
// black (the gaps between the dots); each LED's centre pixel is mapped back
// to the palette: '.' unlit, '1'..'7' a lit colour, '?' anything else.
std::string SignInShot(const Png& shot, int32_t width, int32_t height, std::string* why) {
  int32_t x0 = shot.width, y0 = shot.height, x1 = -1, y1 = -1;
  for (int32_t y = 0; y < shot.height; ++y) {
    for (int32_t x = 0; x < shot.width; ++x) {
      const uint8_t* p = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
    }
  }
  const int32_t scale = (x1 - x0 + 1) / width;
  if (x1 < 0 || scale < 3 || x1 - x0 + 1 != scale * width || y1 - y0 + 1 != scale * height) {
    *why = "no sign of " + std::to_string(width) + "x" + std::to_string(height) + " LEDs found (black at " +
           std::to_string(x0) + "," + std::to_string(y0) + " to " + std::to_string(x1) + "," + std::to_string(y1) + ")";
    return "";
  }
  std::string out;
  for (int32_t ly = 0; ly < height; ++ly) {
    for (int32_t lx = 0; lx < width; ++lx) {
      const int32_t x = x0 + lx * scale + scale / 2;
      const int32_t y = y0 + ly * scale + scale / 2;
      const uint8_t* p = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
      const uint32_t rgb = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
      char c = '?';
      for (uint8_t i = 1; i <= 8; ++i) {
        if (PaletteRgb(i) == rgb) c = i == 8 ? '.' : static_cast<char>('0' + i);
      }
      out += c;
    }
    out += '\n';
  }
  return out;
}

std::string StillShow(const char* left, const char* leftcolour, const char* right, const char* rightcolour) {
  const auto area = [](int x, const char* text, const char* colour) {
    return "{\"rect\": [" + std::to_string(x) + ", 0, 24, 16], \"components\": [{\"elements\": [" +
           "{\"type\": \"picture\", \"text\": \"" + text + "\", \"size\": 16, \"colour\": \"" + colour +
           "\", \"entry\": \"Instant\", \"stay\": 600}]}]}";
  };
  return "{\"sign\": {\"width\": 48, \"height\": 16, \"mode\": 4}, \"pages\": [{\"areas\": [" +
         area(0, left, leftcolour) + ", " + area(24, right, rightcolour) + "]}]}";
}

// Chromium opens the page: the LEDs' centres have the engine's colours at
// the engine's places, and after a save the new show's.
TEST(ServeBrowser, ScreenshotShowsTheSign) {
  if (access("/usr/bin/chromium", X_OK) != 0) {
    GTEST_SKIP() << "chromium is not installed (scripts/deps installs it): no browser test";
  }
  const fs::path dir = Scratch("browser");
  const fs::path description = dir / "show.json";
  WriteText(description, StillShow("Hi", "red", "ok", "cyan"));
  Server server;
  ASSERT_TRUE(server.Start({description.string()})) << server.firstline;
  const std::string url = "http://127.0.0.1:" + std::to_string(server.port) + "/";
  Stream stream(server.port);

  const auto look = [&](const char* what, std::string* got) {
    const std::string want = Ascii(Direct(description, 1000).rbegin()->second, 48);
    std::string why;
    // A slow start may take the picture before the first frame arrives.
    for (int attempt = 0; attempt < 3 && *got != want; ++attempt) {
      Png shot;
      ASSERT_TRUE(Screenshot(url, dir / "shot.png", dir / "profile")) << what;
      ASSERT_TRUE(ReadPng(dir / "shot.png", &shot)) << what;
      *got = SignInShot(shot, 48, 16, &why);
    }
    // Unlit LEDs are '.' in both.
    EXPECT_EQ(*got, want) << what << ": " << why;
  };
  std::string first, second;
  look("the first show", &first);
  EXPECT_NE(first.find('1'), std::string::npos);  // red
  EXPECT_NE(first.find('6'), std::string::npos);  // cyan

  const size_t before = stream.Count("reload");
  WriteText(description, StillShow("Yo", "green", "42", "yellow"));
  ASSERT_TRUE(stream.WaitFor([&](const std::vector<Event>& e) { return CountNamed(e, "reload") > before; }, 5000));
  look("after the save", &second);
  EXPECT_NE(second, first);
  EXPECT_EQ(server.Stop(), 0);
}

// The page's own controls, clicked in Chromium, still reach the show: a
// same-origin page passes the checks that refuse other sites.
TEST(ServeBrowser, ThePageControlsTheShow) {
  if (access("/usr/bin/chromium", X_OK) != 0 || access(LEDVIEW_NODE, X_OK) != 0) {
    GTEST_SKIP() << "chromium or node is not installed (scripts/deps installs them): no browser test";
  }
  const fs::path dir = Scratch("clicks");
  // kHello's picture on a second page; the first shows live string 3 in a
  // size that warns.
  WriteText(dir / "show.json", R"({
    "sign": {"width": 32, "height": 8, "mode": 1},
    "pages": [
      {"playtime": 2, "areas": [{"components": [{"elements": [
        {"type": "string", "text": "Gate", "id": 3, "size": 8}]}]}]},
      {"playtime": 100, "areas": [{"components": [{"elements": [
        {"type": "picture", "text": "Hi there", "size": 8, "entry": "ScrollLoopLeft", "speed": 6, "stay": 2,
         "exit": "EraseDown"}]}]}]}
    ]
  })");
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  const std::string command = std::string(LEDVIEW_NODE) + " --experimental-websocket " + LEDVIEW_PAGE_CONTROLS +
                              " http://127.0.0.1:" + std::to_string(server.port) + "/ " + (dir / "profile").string();
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
}  // namespace ledview::tool
