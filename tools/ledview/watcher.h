// Hot reload: watches the show's description and every file it names, and
// sends the engine thread the outcome of each save, numbered in order.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "ledview/jsontext.h"
#include "ledview/showengine.h"

namespace ledview::tool {

struct ServeOptions;

// The files a description names (pictures, and fonts given as files), as
// paths beside the description. Iterative: any depth ParseJson takes.
std::set<std::string> NamedFiles(const Json& description, const std::string& basedir);

struct Watcher {
  const ServeOptions* options = nullptr;
  EngineQueue* queue = nullptr;
  int fd = -1;                         // inotify
  std::map<int, std::string> folders;  // watch descriptor to folder
  std::set<std::string> wanted;        // folders that hold files that matter
  std::set<std::string> files;         // normalised paths that matter
  std::string fingerprint;             // of the last build, good or bad
  uint64_t generation = 0;             // of the last save built
  bool gone = false;                   // a wanted folder went away; told the pages
  std::chrono::steady_clock::time_point nextlook;
  std::atomic<bool> stopping{false};
};

// Opens inotify and watches the files of the show; builds nothing. False
// with the reason.
bool StartWatcher(Watcher* w, std::string* error);
// What tells two builds apart: the playbill and the sign. The watcher sends
// a build only when it differs from the last; set w->fingerprint to the
// show the server starts with.
std::string Fingerprint(const Show& show);
// Watches and rebuilds until w->stopping; closes inotify at the end.
void WatchThread(Watcher* w);

}  // namespace ledview::tool
