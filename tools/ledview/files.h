// Reading input files whole and writing output files so that a failure never
// leaves half a file behind: everything goes to a temporary name beside the
// target and is renamed over it once complete.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::tool {

// Reads at most `limit` bytes; a longer file is an error that says so.
bool ReadFile(const std::string& path, size_t limit, std::vector<uint8_t>* out, std::string* error);

bool WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& data, std::string* error);

// A fresh name in the target's directory for building the target under.
std::string TempPathFor(const std::string& path);
// Renames a finished temporary file or directory over the target.
bool CommitTemp(const std::string& temp, const std::string& path, std::string* error);
// Removes a temporary file or directory after a failure.
void DiscardTemp(const std::string& temp);
// A new output folder, built under a temporary name: `dir` must not exist
// yet or be an empty folder. *temp is the folder to fill; CommitFolder puts
// it in place of `dir`, DiscardTemp drops it.
bool StartFolder(const std::string& dir, std::string* temp, std::string* error);
bool CommitFolder(const std::string& temp, const std::string& dir, std::string* error);

// True when both paths name one file: the same existing file (links
// included), or the same path once made absolute and normal.
bool SameFile(const std::string& a, const std::string& b);

// The system's reason for the last failure (errno), for error messages.
std::string SystemReason(int err);

// A folder's path without trailing slashes ("frames/" is "frames").
std::string FolderPath(const std::string& path);

// The directory part of a path ("" for a bare name) and the name without
// directory and extension.
std::string DirectoryOf(const std::string& path);
std::string StemOf(const std::string& path);
// Joins a relative path to a directory; absolute paths are kept.
std::string JoinPath(const std::string& dir, const std::string& path);

}  // namespace ledview::tool
