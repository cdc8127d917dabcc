// `ledview export-web`: a folder that plays a show in any browser from
// static files, with the engine as a WebAssembly module in the page.
#pragma once
#include <cstdint>
#include <string>

namespace ledview::tool {

struct ExportOptions {
  std::string input;   // a JSON description or a .bill
  std::string output;  // the folder to make
  std::string size;    // WIDTHxHEIGHT, or "" for the description's sign
  int32_t mode = 0;    // 0: the description's
  std::string font;    // "": the description's, else one with the show's characters
  int32_t tickms = 10;
};

// The folder holding the module the page plays with (ledview-engine.js and
// the package's index.js): $LEDVIEW_WEB_MODULE when set, else the install's
// share/ledview/web beside the command, else the build tree's package.
// False, with one line saying how to get it, when none holds it.
bool FindWebModule(std::string* dir, std::string* error);

// Writes the folder (under a temporary name, renamed once complete) and
// returns the exit status; one line on standard error when it fails.
int RunExportWeb(const ExportOptions& options);

}  // namespace ledview::tool
