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
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ledview/describe.h"
#include "ledview/picture.h"
#include "ledview/render.h"
#include "ledview/serve.h"
#include "ledview/wire.h"
#include "playbill/scheduler.h"

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

// `ledview serve` in its own process; the address comes from its first line.
struct Server {
  pid_t pid = -1;
  int port = 0;
  std::string firstline;

  bool Start(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return false;
    pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<std::string> all = {LEDVIEW_COMMAND, "serve"};
      all.insert(all.end(), args.begin(), args.end());
      all.insert(all.end(), {"--port", "0", "--font", LEDVIEW_TEST_FONT});
      std::vector<char*> argv;
      for (std::string& a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    // The sanitised build takes a while to start.
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(30);
    char c = 0;
    while (Clock::now() < limit) {
      pollfd p{out[0], POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      if (read(out[0], &c, 1) != 1 || c == '\n') break;
      firstline += c;
    }
    close(out[0]);
    const size_t colon = firstline.rfind(':');
    if (colon == std::string::npos) return false;
    port = std::atoi(firstline.c_str() + colon + 1);
    return port > 0;
  }

  // SIGTERM, and the exit status once it has stopped (-1 when it would not).
  int Stop() {
    if (pid <= 0) return -1;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    pid = -1;
    return -1;
  }

  ~Server() { Stop(); }
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
      auto res = client->Get("/events", [&](const char* data, size_t length) {
        const int64_t now = NowMicros();
        pending.append(data, length);
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
  // A fresh process starts the engine's action counter at 0, as the server's does.
  actioncounter = 0;
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

// The page and its files come from the binary; the frames a page receives
// are the engine's buffer at the moments they name.
TEST(Serve, PageAndFramesAreTheEngines) {
  const fs::path dir = Scratch("frames");
  WriteText(dir / "show.json", kHello);
  Server server;
  ASSERT_TRUE(server.Start({(dir / "show.json").string()})) << server.firstline;
  EXPECT_NE(server.firstline.find("http://127.0.0.1:"), std::string::npos) << server.firstline;

  httplib::Client client("127.0.0.1", server.port);
  const struct { const char* path; const char* type; const char* holds; } files[] = {
      {"/", "text/html", "ledview.js"},
      {"/ledview.js", "text/javascript", "EventSource"},
      {"/ledview.css", "text/css", "#sign"},
  };
  for (const auto& f : files) {
    auto res = client.Get(f.path);
    ASSERT_TRUE(res) << f.path;
    EXPECT_EQ(res->status, 200) << f.path;
    EXPECT_EQ(res->get_header_value("Content-Type").rfind(f.type, 0), 0u) << f.path;
    EXPECT_NE(res->body.find(f.holds), std::string::npos) << f.path;
  }
  auto show = client.Get("/show");
  ASSERT_TRUE(show);
  const Json j = Json::parse(show->body);
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
  const auto direct = Direct(dir / "show.json", frames.back().t);
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
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 1; }, 10000));
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
  ASSERT_TRUE(stream.WaitFor([](const std::vector<Event>& e) { return CountNamed(e, "frame") >= 1; }, 10000));

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

}  // namespace
}  // namespace ledview::tool
