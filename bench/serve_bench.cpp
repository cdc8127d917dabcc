// `ledview serve` under load: a 256 x 64 sign whose picture changes every
// tick, 100 ticks a second, watched by four pages. Counters, each a ratio
// against its baseline in the same run:
//   cpu_over_wall     the server's CPU time (user + system) over the wall
//                     time it was watched
//   latency_over_tick the median time from the server's RefreshBuffer to a
//                     page's receipt of that frame, over one 10 ms tick
//   frames_over_ticks frames a page received over the ticks played
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// User plus system time of a process, in seconds.
double ProcessCpu(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::vector<std::string> fields;
  std::string field;
  for (char c : stat.substr(close + 2)) {
    if (c == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  // utime and stime are fields 14 and 15 of the whole line.
  if (fields.size() < 13) return 0;
  return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

pid_t StartServer(const fs::path& description, int* port) {
  int out[2];
  if (pipe(out) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl(LEDVIEW_COMMAND, LEDVIEW_COMMAND, "serve", description.c_str(), "--port", "0", "--font",
          LEDVIEW_BENCH_LATIN_FONT, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string line;
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  const size_t colon = line.rfind(':');
  *port = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
  return pid;
}

void BM_ServeFourPages(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("ledview-serve-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path description = dir / "wide.json";
  std::ofstream(description) << R"({
    "sign": {"width": 256, "height": 64, "mode": 4},
    "pages": [{"areas": [{"components": [{"elements": [
      {"type": "string", "text": "Departures  12:05 Gate 3  12:10 Gate 7  ", "size": 32,
       "colour": "yellow", "entry": "ScrollLoopLeft", "speed": 8}
    ]}]}]}]
  })";
  int port = 0;
  const pid_t pid = StartServer(description, &port);
  if (pid <= 0 || port <= 0) {
    state.SkipWithError("ledview serve did not start");
    return;
  }
  constexpr int kPages = 4;
  constexpr auto kWatch = std::chrono::seconds(5);
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::mutex m;
    std::vector<int64_t> latency;
    std::vector<int64_t> frames(kPages, 0);
    std::vector<std::thread> pages;
    for (int p = 0; p < kPages; ++p) {
      pages.emplace_back([&, p] {
        httplib::Client client("127.0.0.1", port);
        std::string pending;
        client.Get("/events", [&](const char* data, size_t length) {
          const int64_t now = NowMicros();
          pending.append(data, length);
          for (size_t end; (end = pending.find("\n\n")) != std::string::npos; pending.erase(0, end + 2)) {
            const size_t sent = pending.find("\"sent\":");
            if (pending.rfind("event: frame", 0) != 0 || sent > end) continue;
            std::lock_guard<std::mutex> lock(m);
            latency.push_back(now - std::atoll(pending.c_str() + sent + 7));
            ++frames[p];
          }
          return !stop;
        });
      });
    }
    // Let the pages connect and the first frames pass before measuring.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    {
      std::lock_guard<std::mutex> lock(m);
      latency.clear();
      std::fill(frames.begin(), frames.end(), 0);
    }
    const double cpu0 = ProcessCpu(pid);
    const Clock::time_point wall0 = Clock::now();
    std::this_thread::sleep_for(kWatch);
    const double cpu = ProcessCpu(pid) - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    std::vector<int64_t> seen;
    int64_t fewest = 0;
    {
      std::lock_guard<std::mutex> lock(m);
      seen = latency;
      fewest = *std::min_element(frames.begin(), frames.end());
    }
    stop = true;
    for (std::thread& t : pages) t.join();
    std::sort(seen.begin(), seen.end());
    state.counters["cpu_over_wall"] = cpu / wall;
    state.counters["latency_over_tick"] = seen.empty() ? 0 : seen[seen.size() / 2] / 10000.0;
    state.counters["frames_over_ticks"] = static_cast<double>(fewest) / (wall * 100);
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  fs::remove_all(dir);
}
BENCHMARK(BM_ServeFourPages)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
