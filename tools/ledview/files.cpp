#include "ledview/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ledview::tool {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec) && !ec) return true;
  const fs::path pa = fs::absolute(a, ec).lexically_normal();
  const fs::path pb = fs::absolute(b, ec).lexically_normal();
  return !ec && pa == pb;
}

std::string SystemReason(int err) { return err != 0 ? std::strerror(err) : "write error"; }

std::string FolderPath(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

bool ReadFile(const std::string& path, size_t limit, std::vector<uint8_t>* out, std::string* error) {
  out->clear();
  // Opened without blocking and read only when it is a regular file: a named
  // pipe or a device in its place must not hold the command up.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    *error = path + (S_ISDIR(st.st_mode) ? ": is a directory" : ": is not a regular file");
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* f = fdopen(fd, "rb");
  if (f == nullptr) {
    *error = path + ": " + std::strerror(errno);
    close(fd);
    return false;
  }
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (out->size() + n > limit) {
      *error = path + ": larger than " + std::to_string(limit) + " bytes";
      ok = false;
      break;
    }
    out->insert(out->end(), chunk, chunk + n);
    if (n < sizeof chunk) {
      if (std::ferror(f)) {
        *error = path + ": read error";
        ok = false;
      }
      break;
    }
  }
  std::fclose(f);
  if (!ok) out->clear();
  return ok;
}

std::string TempPathFor(const std::string& path) {
  static int serial = 0;
  const std::string dir = DirectoryOf(path);
  std::string name = ".";
  name += fs::path(path).filename().string();
  name += ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  return JoinPath(dir, name);
}

bool CommitTemp(const std::string& temp, const std::string& path, std::string* error) {
  // Temporary files may be made private; the result gets the usual modes.
  struct stat st {};
  if (stat(temp.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temp.c_str(), 0666 & ~mask);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    *error = path + ": " + std::strerror(errno);
    DiscardTemp(temp);
    return false;
  }
  return true;
}

void DiscardTemp(const std::string& temp) {
  std::error_code ec;
  fs::remove_all(temp, ec);
}

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data, std::string* error) {
  const std::string temp = TempPathFor(path);
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  errno = 0;
  const bool written = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  const int writeerror = errno;
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    *error = path + ": " + SystemReason(written ? errno : writeerror);
    DiscardTemp(temp);
    return false;
  }
  return CommitTemp(temp, path, error);
}

std::string DirectoryOf(const std::string& path) { return fs::path(path).parent_path().string(); }

std::string StemOf(const std::string& path) { return fs::path(path).stem().string(); }

std::string JoinPath(const std::string& dir, const std::string& path) {
  if (dir.empty() || fs::path(path).is_absolute()) return path;
  return (fs::path(dir) / path).string();
}

bool StartFolder(const std::string& dir, std::string* temp, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(dir, ec) && !(fs::is_directory(dir, ec) && fs::is_empty(dir, ec))) {
    *error = dir + ": exists and is not an empty folder; name a new folder, or remove this one first";
    return false;
  }
  *temp = TempPathFor(dir);
  if (!fs::create_directory(*temp, ec)) {
    *error = dir + ": cannot make the folder (" + ec.message() + ")";
    return false;
  }
  return true;
}

bool CommitFolder(const std::string& temp, const std::string& dir, std::string* error) {
  std::error_code ec;
  if (std::filesystem::exists(dir, ec)) std::filesystem::remove(dir, ec);  // the empty folder it replaces
  return CommitTemp(temp, dir, error);
}

}  // namespace ledview::tool
