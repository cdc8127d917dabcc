#include "ledview/exportweb.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "ledview/args.h"
#include "ledview/files.h"
#include "ledview/jsontext.h"
#include "ledview/showengine.h"
#include "ledview/stepper.h"
#include "ledview/warnings.h"
#include "ledview/web_css.h"
#include "ledview/web_html.h"
#include "ledview/web_js.h"
#include "ledview/wire.h"

namespace ledview::tool {

namespace {

namespace fs = std::filesystem;

// The module's two files, and the names the page loads them by.
constexpr const char* kEngineFile = "ledview-engine.js";
constexpr const char* kModuleFile = "index.js";
constexpr const char* kPageModuleFile = "ledview-module.js";

bool HoldsModule(const std::string& dir) {
  std::error_code ec;
  return !dir.empty() && fs::is_regular_file(fs::path(dir) / kEngineFile, ec) &&
         fs::is_regular_file(fs::path(dir) / kModuleFile, ec);
}

std::vector<uint8_t> Bytes(const unsigned char* data, size_t size) { return std::vector<uint8_t>(data, data + size); }

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// What the page reads before it starts: the show as serve describes it,
// with its warnings, and the playbill and the font as base64.
std::string ShowScript(const Show& show, const std::string& name, const std::string& fontname,
                       const std::vector<uint8_t>& font) {
  Json j = ShowJson(show, name);
  j["bill"] = Base64(show.bill);
  j["fontfile"] = fontname;
  j["font"] = Base64(font);
  return "// The show this folder plays, for the engine in the page: its sign, look,\n"
         "// live strings and warnings, with the playbill and the font as base64 (a\n"
         "// page opened from the file system may not fetch files beside it).\n"
         "var ledviewShow = " +
         j.dump() + ";\n";
}

}  // namespace

bool FindWebModule(std::string* dir, std::string* error) {
  const char* env = std::getenv("LEDVIEW_WEB_MODULE");
  if (env != nullptr && env[0] != '\0') {
    if (HoldsModule(env)) {
      *dir = env;
      return true;
    }
    *error = std::string("LEDVIEW_WEB_MODULE=") + env + ": holds no " + kEngineFile + " and " + kModuleFile;
    return false;
  }
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  std::vector<std::string> tried;
  if (!ec) tried.push_back((exe.parent_path() / LEDVIEW_WEB_INSTALLED).lexically_normal().string());
  tried.push_back(LEDVIEW_WEB_PACKAGE);
  for (const std::string& d : tried) {
    if (HoldsModule(d)) {
      *dir = d;
      return true;
    }
  }
  *error = std::string("the WebAssembly module (") + kEngineFile + ") is not built: none in " + tried.front() +
           (tried.size() > 1 ? " or " + tried.back() : "") +
           "; build it with scripts/build-web, or name its folder in LEDVIEW_WEB_MODULE";
  return false;
}

int RunExportWeb(const ExportOptions& o) {
  const auto fail = [](const std::string& message) {
    std::fprintf(stderr, "ledview: %s\n", message.c_str());
    return 1;
  };
  if (o.tickms < 1 || o.tickms > 10000) return fail("--tick must be 1..10000 milliseconds");
  std::string moduledir;
  std::string error;
  if (!FindWebModule(&moduledir, &error)) return fail(error);
  // The folder is claimed first, so that a full one is said before anything
  // else (the show's warnings); every failure from here on drops it.
  const std::string dir = FolderPath(o.output);
  std::string temp;
  if (!StartFolder(dir, &temp, &error)) return fail(error);
  const auto drop = [&temp, &fail](const std::string& message) {
    DiscardTemp(temp);
    return fail(message);
  };

  Show show;
  if (!PrepareShow(o.input, o.font, o.size, o.mode, o.tickms, &show, &error)) return drop(error);
  const RenderOptions& ro = show.options;
  // The engine must take the show on this sign with this font, as the page's
  // engine will be asked to.
  {
    Stepper stepper;
    if (!StepperStart(&stepper, show.bill, ro, &error)) return drop(o.input + ": " + error);
  }
  PrintWarnings(show.warnings, stderr);

  std::vector<uint8_t> font, engine, module;
  if (!ReadFile(ro.font, kMaxInputBytes, &font, &error) ||
      !ReadFile(JoinPath(moduledir, kEngineFile), kMaxInputBytes, &engine, &error) ||
      !ReadFile(JoinPath(moduledir, kModuleFile), kMaxInputBytes, &module, &error)) {
    return drop(error);
  }
  const std::string fontname = "fonts/" + fs::path(ro.font).filename().string();
  const std::string name = fs::path(o.input).filename().string();
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"index.html", Bytes(kIndexHtml, kIndexHtmlSize)},
      {"ledview.css", Bytes(kPageCss, kPageCssSize)},
      {"ledview.js", Bytes(kPageJs, kPageJsSize)},
      {kEngineFile, engine},
      {kPageModuleFile, module},
      {"show.bill", show.bill},
      {fontname, font},
      {"show.js", Bytes(ShowScript(show, name, fontname, font))},
  };
  std::error_code ec;
  if (!fs::create_directory(fs::path(temp) / "fonts", ec)) {
    return drop(dir + "/fonts: cannot make the folder (" + ec.message() + ")");
  }
  for (const auto& [file, bytes] : files) {
    if (!WriteFileAtomic(JoinPath(temp, file), bytes, &error)) return drop(error);
  }
  if (!CommitFolder(temp, dir, &error)) return fail(error);
  std::fprintf(stderr, "ledview: wrote %s/index.html (open it in a browser, or serve the folder)\n", dir.c_str());
  return 0;
}

}  // namespace ledview::tool
