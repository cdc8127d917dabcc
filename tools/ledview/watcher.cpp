#include "ledview/watcher.h"
#include "ledview/warnings.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "ledview/args.h"
#include "ledview/files.h"
#include "ledview/fonts.h"
#include "ledview/serve.h"

namespace ledview::tool {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A save is built once the folder has been quiet this long, so that the
// several events of one save make one rebuild.
constexpr auto kSettle = std::chrono::milliseconds(100);
// How often a folder that went away is looked for again.
constexpr auto kLookAgain = std::chrono::milliseconds(200);

constexpr uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

std::string Normal(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::absolute(path, ec);
  return (ec ? fs::path(path) : p).lexically_normal().string();
}

void Unwatch(Watcher* w, std::map<int, std::string>::iterator it) {
  inotify_rm_watch(w->fd, it->first);
  w->folders.erase(it);
}

// Adds the watches that are missing; true when every wanted folder is
// watched.
bool WatchWanted(Watcher* w) {
  bool all = true;
  for (const std::string& f : w->wanted) {
    bool watched = false;
    for (const auto& [wd, folder] : w->folders) watched = watched || folder == f;
    if (watched) continue;
    const int wd = inotify_add_watch(w->fd, f.c_str(), kFolderEvents | IN_ONLYDIR);
    if (wd >= 0) {
      w->folders[wd] = f;
    } else {
      all = false;
    }
  }
  return all;
}

// Watches the folders of the description and of every file it names: an
// editor that saves by writing a new file and renaming it over the old one
// leaves a watch on the file itself behind.
void WatchFiles(Watcher* w) {
  const std::string& input = w->options->input;
  std::set<std::string> paths = {input};
  std::vector<uint8_t> bytes;
  std::string error;
  Json j;
  if (ReadFile(input, kMaxInputBytes, &bytes, &error) &&
      ParseJson(std::string(bytes.begin(), bytes.end()), &j, &error)) {
    const std::set<std::string> named = NamedFiles(j, DirectoryOf(input));
    paths.insert(named.begin(), named.end());
  }
  w->files.clear();
  w->wanted.clear();
  for (const std::string& p : paths) {
    const std::string n = Normal(p);
    w->files.insert(n);
    w->wanted.insert(fs::path(n).parent_path().string());
  }
  for (auto it = w->folders.begin(); it != w->folders.end();) {
    const auto next = std::next(it);
    if (w->wanted.count(it->second) == 0) Unwatch(w, it);
    it = next;
  }
  WatchWanted(w);
}

void Send(Watcher* w, Request r) {
  r.command = Command::Outcome;
  r.generation = ++w->generation;
  // A newer outcome replaces one still waiting, so this finds room.
  Enqueue(w->queue, std::move(r));
}

// Builds the show again; sends the outcome when it differs from the last.
void Rebuild(Watcher* w) {
  const std::string& input = w->options->input;
  std::error_code ec;
  // Between an editor's steps the description may be missing for a moment.
  if (!fs::exists(input, ec)) return;
  WatchFiles(w);
  Show show;
  std::string error;
  bool built = false;
  {
    std::lock_guard<std::mutex> lock(fontlock);
    built = PrepareShow(input, w->options->font, w->options->size, w->options->mode, w->options->tickms, &show,
                        &error);
  }
  const std::string fingerprint = built ? Fingerprint(show) : "!" + error;
  if (fingerprint == w->fingerprint) return;
  w->fingerprint = fingerprint;
  Request r;
  if (!built) {
    r.text = "ledview: " + error;
    Send(w, std::move(r));
    return;
  }
  // A new show's warnings, once, as at the start, and in the pages.
  PrintWarnings(show.warnings, stderr);
  r.show = std::move(show);
  Send(w, std::move(r));
}

// A watched folder went away (deleted, moved, unmounted): the pages learn
// it once, and the folder is looked for again until it is back.
void FolderGone(Watcher* w, const std::string& folder) {
  if (w->gone) return;
  w->gone = true;
  // Whatever comes back is built and shown, even the same show again.
  w->fingerprint.clear();
  Request r;
  r.text = "ledview: the show's folder is gone (" + folder + ")";
  Send(w, std::move(r));
}

}  // namespace

std::set<std::string> NamedFiles(const Json& description, const std::string& basedir) {
  std::set<std::string> files;
  std::vector<const Json*> todo = {&description};
  while (!todo.empty()) {
    const Json* j = todo.back();
    todo.pop_back();
    if (j->is_object()) {
      for (const auto& [key, value] : j->items()) {
        if ((key == "png" || key == "font") && value.is_string()) {
          const std::string path = JoinPath(basedir, value.get<std::string>());
          std::error_code ec;
          if (key == "png" || fs::is_regular_file(path, ec)) files.insert(path);
        } else {
          todo.push_back(&value);
        }
      }
    } else if (j->is_array()) {
      for (const Json& v : *j) todo.push_back(&v);
    }
  }
  return files;
}

bool StartWatcher(Watcher* w, std::string* error) {
  w->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (w->fd < 0) {
    *error = "cannot watch files (" + SystemReason(errno) + ")";
    return false;
  }
  WatchFiles(w);
  return true;
}

std::string Fingerprint(const Show& show) {
  return std::string(show.bill.begin(), show.bill.end()) + "@" + std::to_string(show.options.width) + "x" +
         std::to_string(show.options.height) + "/" + std::to_string(show.options.mode) + "/" + show.options.font;
}

void WatchThread(Watcher* w) {
  bool pending = false;
  Clock::time_point due;
  alignas(inotify_event) char buffer[8192];
  while (!w->stopping) {
    pollfd p{w->fd, POLLIN, 0};
    const int ready = poll(&p, 1, 50);
    const Clock::time_point now = Clock::now();
    if (ready > 0) {
      const ssize_t n = read(w->fd, buffer, sizeof buffer);
      for (ssize_t at = 0; n > 0 && at < n;) {
        const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
        const auto folder = w->folders.find(ev->wd);
        if (folder == w->folders.end()) continue;
        if (ev->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
          const std::string gone = folder->second;
          Unwatch(w, folder);
          FolderGone(w, gone);
          w->nextlook = now + kLookAgain;
          continue;
        }
        if (ev->len == 0) continue;
        if (w->files.count((fs::path(folder->second) / ev->name).string()) == 0) continue;
        pending = true;
        due = now + kSettle;
      }
    }
    // A folder that is not watched yet (gone, or not there at the last
    // build): once every one is back, the show is built again.
    if (w->folders.size() < w->wanted.size() && now >= w->nextlook) {
      w->nextlook = now + kLookAgain;
      if (WatchWanted(w) && w->gone) {
        w->gone = false;
        pending = true;
        due = now + kSettle;
      }
    }
    if (pending && now >= due) {
      pending = false;
      Rebuild(w);
    }
  }
  close(w->fd);
  w->fd = -1;
}

}  // namespace ledview::tool
