// ledview: builds, checks, inspects and renders playbills for the ledview
// display engine.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "ledview/args.h"
#include "billfile/billreader.h"
#include "format/playbill.h"
#include "ledview/check.h"
#include "ledview/gallery.h"
#include "ledview/demo_json.h"
#include "ledview/describe.h"
#include "ledview/effectnames.h"
#include "ledview/exportweb.h"
#include "ledview/files.h"
#include "ledview/gbcode.h"
#include "ledview/play.h"
#include "ledview/quiet.h"
#include "ledview/render.h"
#include "ledview/schema_json.h"
#include "ledview/serve.h"
#include "ledview/signals.h"
#include "ledview/warnings.h"

namespace ledview::tool {

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "ledview: %s\n", message.c_str());
  return 1;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t = tail;
  if (s.size() < t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[s.size() - t.size() + i])) != t[i]) return false;
  }
  return true;
}

// The demo's description as `demo --json` writes it: its "$schema" names the
// schema beside it, as `ledview schema > ledview.schema.json` puts it.
std::string DemoJsonText() {
  std::string text(reinterpret_cast<const char*>(kDemoJson), kDemoJsonSize);
  const std::string key = "\"$schema\": \"";
  const size_t at = text.find(key);
  if (at != std::string::npos) {
    const size_t start = at + key.size();
    const size_t end = text.find('"', start);
    if (end != std::string::npos) text.replace(start, end - start, "ledview.schema.json");
  }
  return text;
}

// A playbill records no sign: say which one its content gave, unless the
// options chose both size and mode.
void SaySign(const SignSize& sign, const std::string& size, int32_t mode, int32_t width, int32_t height,
             int32_t colourmode) {
  if (!sign.fromcontent || (!size.empty() && mode != 0)) return;
  std::fprintf(stderr,
               "ledview: a playbill does not record its sign; using %dx%d in colour mode %d from its "
               "areas and colours (--size and --mode choose another)\n",
               width, height, colourmode);
}

struct RenderArgs {
  std::string input;
  std::string output;
  std::string size;
  int32_t mode = 0;
  std::string font;  // "": the description's, else one with the show's characters
  double seconds = 10;
  int32_t tickms = 10;
  int32_t scale = 4;
  std::string look = "led";
  std::vector<std::string> strings;
  std::string start;
  double at = -1;
  std::string frames;
};

const char* const kSizeHelp = "Sign size WIDTHxHEIGHT in LEDs (default: the description's sign, else 128x32)";
const char* const kModeHelp =
    "Colour mode: 1 one colour, 2 red and green, 4 full colour (default: the description's, else 1)";
const char* const kRealTickHelp = "Milliseconds between two action ticks, simulated and real";
const char* const kFontHelp =
    "Outline font for strings above 16 pixels: a fontconfig name or a file (default: the "
    "description's sign font, else an installed font that has the show's characters)";

// Colour modes the engine has.
const CLI::Validator kColourModes(
    [](std::string& v) { return v == "1" || v == "2" || v == "4" ? "" : "must be 1, 2 or 4"; }, "1, 2 or 4");

// The options of the commands that play a show in real time in a page.
void AddShowOptions(CLI::App* cmd, std::string* size, int32_t* mode, std::string* font, int32_t* tickms) {
  cmd->add_option("--size", *size, kSizeHelp);
  cmd->add_option("--mode", *mode, kModeHelp)->check(kColourModes);
  cmd->add_option("--font", *font, kFontHelp);
  cmd->add_option("--tick", *tickms, kRealTickHelp)->capture_default_str();
}

// A moment in a render: a finite number of seconds from 0 to a day.
const CLI::Validator kSecondsRange(
    [](std::string& v) -> std::string {
      char* end = nullptr;
      const double s = std::strtod(v.c_str(), &end);
      if (end == v.c_str() || *end != '\0' || !(s >= 0 && s <= 86400)) return "must be 0..86400 seconds";
      return "";
    },
    "0..86400");

void AddRenderOptions(CLI::App* cmd, RenderArgs* a, bool demo) {
  if (!demo) {
    cmd->add_option("--size", a->size, kSizeHelp);
    cmd->add_option("--mode", a->mode, kModeHelp)
        ->check(kColourModes);
  }
  cmd->add_option("--font", a->font, kFontHelp);
  cmd->add_option("--seconds", a->seconds, "Simulated seconds to play")->capture_default_str();
  cmd->add_option("--tick", a->tickms, "Simulated milliseconds between two action ticks")
      ->capture_default_str();
  cmd->add_option("--scale", a->scale, "Output pixels per LED")->capture_default_str();
  cmd->add_option("--look", a->look, "led: round dots on black; plain: square pixels")
      ->check(CLI::IsMember({"led", "plain"}))
      ->capture_default_str();
  cmd->add_option("--start", a->start,
                  "Calendar time the clocks start at: \"YYYY-MM-DD hh:mm:ss\" (local), seconds "
                  "since 1970, or now (default)");
  if (!demo) {
    cmd->add_option("--string", a->strings, "Live string update ID=TEXT@SECONDS (repeatable)");
    cmd->add_option("--at", a->at, "Write one PNG of the sign as it is after this many seconds (0..86400)")
        ->check(kSecondsRange);
    cmd->add_option("--frames", a->frames, "Write a folder of PNG frames, one per change, named by their time");
  }
}

// The description's warnings and the show's on this sign, once, on
// standard error.
void SayWarnings(const std::vector<std::string>& described, const std::vector<uint8_t>& bill,
                 const ShowFacts& facts) {
  PrintWarnings(described, stderr);
  PrintWarnings(ShowWarnings(bill, facts), stderr);
}

int RunRender(const RenderArgs& a, const std::vector<uint8_t>& bill, const SignSize& sign,
              bool quiet, const std::vector<std::string>& described) {
  RenderOptions o;
  if (!ChooseSign(sign, a.size, a.mode, &o.width, &o.height, &o.mode)) return Fail(SizeMistake(a.size));
  std::string error;
  if (!ChooseFont(a.font, sign, bill, &o.font, &error)) return Fail(error);
  if (!(a.seconds > 0) || a.seconds > 86400) return Fail("--seconds must be above 0 and at most 86400");
  o.durationms = static_cast<int64_t>(a.seconds * 1000 + 0.5);
  if (a.tickms < 1 || a.tickms > 10000) return Fail("--tick must be 1..10000 milliseconds");
  o.tickms = a.tickms;
  if (a.scale < 1 || a.scale > 64) return Fail("--scale must be 1..64");
  o.scale = a.scale;
  o.look = a.look == "plain" ? Look::Plain : Look::Led;
  if (!ParseStart(a.start, &o.start)) {
    return Fail("--start \"" + a.start + "\": expected \"YYYY-MM-DD hh:mm:ss\", seconds, or now");
  }
  for (const std::string& s : a.strings) {
    StringUpdate u;
    if (!ParseString(s, &u, &error)) return Fail(error);
    o.strings.push_back(u);
  }
  o.progress = !quiet;
  // The output's kind follows its name: a folder of frames, one PNG (--at)
  // or an animated GIF.
  enum class Output { Frames, Png, Gif } kind = Output::Gif;
  std::string out = a.output;
  if (!a.frames.empty()) {
    if (!a.output.empty()) return Fail("give either -o or --frames, not both");
    kind = Output::Frames;
    out = a.frames;
  } else if (a.at >= 0) {
    kind = Output::Png;
    if (out.empty()) out = "frame.png";
    if (!EndsWith(out, ".png")) {
      return Fail("-o " + out + ": --at writes one PNG; name the output .png (or leave out --at for a GIF)");
    }
  } else {
    if (out.empty()) out = "render.gif";
    if (EndsWith(out, ".png")) {
      return Fail("-o " + out + ": a render is an animated GIF; name it .gif, or give --at SECONDS for one PNG");
    }
    if (!EndsWith(out, ".gif")) return Fail("-o " + out + ": name the output .gif (or .png with --at)");
  }
  SaySign(sign, a.size, a.mode, o.width, o.height, o.mode);
  SayWarnings(described, bill, ShowFacts{o.width, o.height, o.mode, o.strings, o.font});
  const bool ok = kind == Output::Frames ? RenderFrames(bill, o, out, &error)
                  : kind == Output::Png  ? RenderPng(bill, o, static_cast<int64_t>(a.at * 1000 + 0.5), out, &error)
                                         : RenderGif(bill, o, out, &error);
  if (!ok) return Fail(error);
  if (!quiet) std::fprintf(stderr, "ledview: wrote %s\n", out.c_str());
  return 0;
}

const char* kFooterBuild = R"(DESCRIPTION
  Turns a JSON description of a playbill into the binary playbill the engine
  plays. The description lists pages (border, playtime, areas), areas (rect
  [x, y, width, height], static, components), components (rect relative to
  the area, border, elements) and elements:

    type      picture, string, timer, analogclock, digitalclock, animation,
              pagedpicture (or 1..7)
    delay     seconds before the entry effect
    speed     0 (slowest) .. 8: a scroll moves about 25, 33, 50, 100, 200,
              270, 400, 400, 400 LEDs a second (`ledview effects`)
    entry     an entry effect by name (`ledview effects` lists all 53 with
              what they do), random, or a number 0..52
    exit      an exit effect by name (9 of them, in the same list), none,
              random, or a number
    stay      seconds shown between entry and exit
    rawspeed  a speed stored above 8, instead of speed (inspect writes it
              for playbills that hold one; the engine plays it as 8)

  picture     png: FILE | text: "..." with font, size, align, width, height;
              colour (0..7 or red, green, yellow, blue, magenta, cyan, white)
              or format (8 two bits, 9+ four bits a pixel); pitch
  string      text (UTF-8, GB2312 characters), size, colour, id (live
              string), singleline
  animation,
  pagedpicture frames: [{png: FILE} | {text: ...} | "text", ...] or texts,
              with font, size, colour, width, height, align
  timer       direction (down, up), target "YYYY-MM-DD hh:mm:ss", format
              (letters D H h m s), digits {font, size, texts|frames}
  analogclock marks, minormarks, hour, minute, second (colours), hourwidth,
              minutewidth, timesource
  digitalclock format (Y M D W h m s), digits, labels, timesource
  any type    payload: "hex bytes" instead of the fields above

  How the sign plays it: a page plays for its playtime in seconds, then the
  next; a page without one plays until stopped, so the pages after it never
  play. A component shows its elements one after another (entry, stay,
  exit), round and round. A static area is cleared and redrawn once a
  second without effects, each component keeping its first element: clocks
  and timers need one, as they redraw without clearing (build makes an area
  of clocks and timers alone static unless it says "static": false). Live
  strings last until the page changes. `ledview check` warns of each of these.

  A top-level "sign": {"width", "height", "mode"} gives default rectangles
  and the defaults of render and check; its "font" names the outline font
  of strings above 16 px (a fontconfig name, or a file beside the
  description; --font overrides it; without one the command picks an
  installed font that has the show's characters); "$schema" may name the schema that
  `ledview schema` prints, for an editor to check and complete the fields.
  Relative file names are relative to the description. A mistake gets an
  error naming the object path and the field, and nothing is written.

EXAMPLES
  ledview build show.json -o show.bill
)";

const char* kFooterCheck = R"(DESCRIPTION
  Runs the engine's own validation (InitLedConfigure, TestPlayBillData) on a
  playbill for a sign. The engine's messages come first, then the validation
  code, then one line for every page, area, component and element, and the
  counts the engine can play. The exit status is 0 only when the engine
  would take the playbill. A JSON description is built first.

EXAMPLES
  ledview check show.bill --size 128x32 --mode 1
)";

const char* kFooterInspect = R"(DESCRIPTION
  Prints a playbill as the JSON description that build reads, so that
  building the output gives the same bytes again. Pictures are written as
  PNG files next to the description (next to OUTPUT, or in the current
  folder when printing), named STEM-p0a0c0e0.png and so on. An element whose
  bytes the fields cannot say exactly keeps them as "payload" hex.

EXAMPLES
  ledview inspect show.bill -o show.json
  ledview inspect show.bill > show.json
)";

const char* kFooterRender = R"(DESCRIPTION
  Plays a playbill (or a JSON description) on the engine exactly as a host
  would: one NotifyActtion and one RefreshBuffer each tick, a NotifySecond
  every simulated second, and writes what the sign shows:
    -o FILE.gif     an animated GIF; a frame whenever the picture changes,
                    none shorter than 20 ms, in real time (default render.gif)
    --at S -o F.png the sign after S seconds
    --frames DIR    a PNG for every change, named by its time in ms
  Clocks run from --start and advance with the simulated seconds. Live
  strings are replaced with --string ID=TEXT@SECONDS. Colour values show as
  bit 0 red, bit 1 green, bit 2 blue.

EXAMPLES
  ledview render show.bill --size 128x32 --mode 4 --seconds 20 -o show.gif
  ledview render show.json --at 2.5 -o moment.png --look plain --scale 1
  ledview render show.bill --string 1="Gate 7"@3 --frames frames/
)";

const char* kFooterDemo = R"(DESCRIPTION
  Renders the built-in demo playbill: several pages, bordered components,
  picture and string texts in Latin and Chinese at bitmap and outline
  sizes, entry and exit effects, a static area and a live string.
  --json writes its description instead, as a start for your own.

EXAMPLES
  ledview demo -o demo.gif
  ledview demo --json demo.json
)";

const char* kFooterPlay = R"(DESCRIPTION
  Opens a window and plays a playbill (or a JSON description) in real time
  through the engine's window family, as a host with only a window would:
  LEDPreview_InitLedConfigure on the window, LEDPreview_SetPlayBill, then
  LEDPreview_NotifyActtion every tick and LEDPreview_NotifySecond every
  second. The engine paints the sign stretched into the window, 10 pixels
  inside its edges. Clocks show the machine's time.

KEYS
  space           pause or go on
  right arrow, .  pause and play one tick
  r               start the playbill again from its beginning
  q, Escape       quit (so does closing the window)

  Needs a display (a desktop session, DISPLAY or WAYLAND_DISPLAY): without
  one it stops with one line and shows nothing. On a machine without a
  desktop, `ledview render` writes GIFs and PNGs, and `ledview serve` plays
  the show live in a browser elsewhere.

EXAMPLES
  ledview play show.bill --size 128x32 --mode 4 --font "DejaVu Sans"
  ledview play show.json --scale 8 --tick 20
  ledview play show.bill --seconds 30
)";

const char* kFooterServe = R"(DESCRIPTION
  Plays a show in real time, as render drives the engine (one NotifyActtion
  and one RefreshBuffer a tick, NotifySecond every second), and serves it
  as a live page: open the printed address in a browser. Any number of
  pages (up to 8) watch at once; each has play and pause, one tick,
  restart, speed 0.25x to 8x, a jump to a simulated second and a box for
  every live string.

  Saving the description, or a picture it names, rebuilds and restarts the
  show, whether the editor writes in place or renames a new file over the
  old one. A description with a mistake keeps the last good show playing
  and the page shows the mistake until the next good save.

  It listens on 127.0.0.1 unless --host names another address; --port 0
  picks a free port, and a port another program listens on is refused. It
  answers only requests addressed to it by name (localhost, 127.0.0.1,
  [::1] or the --host given) and takes controls only from its own page or
  from programs that are no page (curl), with JSON bodies; any other --host
  than loopback opens the controls to that network, and it says so.
  SIGINT, SIGTERM or SIGHUP stops it within a second.

EXAMPLES
  ledview serve tools/ledview/examples/hello.json
  ledview serve show.json --port 9000 --tick 20
)";

const char* kFooterExportWeb = R"(DESCRIPTION
  Writes a folder that plays a show in any browser with nothing installed
  and no server beyond static files: the page of `ledview serve` (the same
  LED look, controls and live-string boxes), the engine as a WebAssembly
  module that the page plays the show with, the playbill (show.bill), the
  font the command chose for it (fonts/), and show.js, which describes the
  show to the page (sign, look, live strings, warnings). Open index.html
  from the file system, or put the folder on any web server. The page
  takes ?at=SECONDS to start at that moment, and ?pause to start paused.

  The module is built by scripts/build-web and installed with the command
  (share/ledview/web); LEDVIEW_WEB_MODULE names another folder holding it.
  The folder must be new or empty; nothing is left behind on a failure.

EXAMPLES
  ledview export-web tools/ledview/examples/hello.json -o site/
  python3 -m http.server -d site 8000     # then open http://localhost:8000/
)";

struct PlayArgs {
  std::string input;
  std::string size;
  int32_t mode = 0;
  std::string font;  // "": the description's, else one with the show's characters
  int32_t tickms = 10;
  int32_t secondms = 1000;
  int32_t scale = 0;
  double seconds = 0;
};

int RunPlay(const PlayArgs& a, const std::vector<uint8_t>& bill, const SignSize& sign) {
  PlayOptions o;
  if (!ChooseSign(sign, a.size, a.mode, &o.width, &o.height, &o.mode)) return Fail(SizeMistake(a.size));
  std::string error;
  if (!ChooseFont(a.font, sign, bill, &o.font, &error)) return Fail(error);
  if (a.tickms < 1 || a.tickms > 10000) return Fail("--tick must be 1..10000 milliseconds");
  if (a.secondms < 1 || a.secondms > 3600000) return Fail("--second must be 1..3600000 milliseconds");
  o.tickms = a.tickms;
  o.secondms = a.secondms;
  if (a.scale < 0 || a.scale > 64) return Fail("--scale must be 1..64 (or 0 to fit the screen)");
  o.scale = a.scale;
  if (!(a.seconds >= 0) || a.seconds > 86400) return Fail("--seconds must be 0..86400");
  o.durationms = static_cast<int64_t>(a.seconds * 1000 + 0.5);
  o.title = "ledview: " + StemOf(a.input);
  SaySign(sign, a.size, a.mode, o.width, o.height, o.mode);
  PlayStats stats;
  if (!PlayWindow(bill, o, &stats, &error)) return Fail(error);
  return 0;
}

}  // namespace

int Main(int argc, char** argv) {
  // A stop signal from now on is seen, however early it comes.
  HoldStopSignals();
  CLI::App app{"ledview: build, check, inspect, render, play, serve and export playbills for LED signs"};
  app.require_subcommand(1);
  // Global options (--verbose) are taken after the command too.
  app.fallthrough();
  app.footer("Run `ledview COMMAND --help` for the manual of a command.");
  app.add_flag("--verbose", showenginelines,
               "Also show the lines the engine prints when it is set up (its scan environment)");

  std::string buildin, buildout;
  CLI::App* build = app.add_subcommand("build", "Turn a JSON description into a playbill");
  build->add_option("description", buildin, "JSON description")->required();
  build->add_option("-o,--output", buildout, "Playbill to write (default: the description's name with .bill)");
  build->footer(kFooterBuild);

  std::string checkin, checksize, checkfont;
  int32_t checkmode = 0;
  CLI::App* check = app.add_subcommand("check", "Validate a playbill with the engine");
  check->add_option("playbill", checkin, "Playbill or JSON description")->required();
  check->add_option("--size", checksize, "Sign size WIDTHxHEIGHT (default: the description's, else 128x32)");
  check->add_option("--mode", checkmode, "Colour mode 1, 2 or 4 (default: the description's, else 1)")
      ->check(kColourModes);
  check->add_option("--font", checkfont, kFontHelp);
  check->footer(kFooterCheck);

  std::string inspectin, inspectout;
  CLI::App* inspect = app.add_subcommand("inspect", "Print a playbill as a JSON description");
  inspect->add_option("playbill", inspectin, "Playbill")->required();
  inspect->add_option("-o,--output", inspectout, "Description to write (default: standard output)");
  inspect->footer(kFooterInspect);

  RenderArgs renderargs;
  bool quiet = false;
  CLI::App* render = app.add_subcommand("render", "Play a playbill and write GIF or PNG pictures");
  render->add_option("playbill", renderargs.input, "Playbill or JSON description")->required();
  render->add_option("-o,--output", renderargs.output, "GIF, or PNG with --at");
  AddRenderOptions(render, &renderargs, false);
  render->add_flag("-q,--quiet", quiet, "No progress bar or closing line");
  render->footer(kFooterRender);

  RenderArgs demoargs;
  demoargs.seconds = 30;  // every page once
  std::string demojson;
  CLI::App* demo = app.add_subcommand("demo", "Render the built-in demo");
  demoargs.output = "demo.gif";
  demo->add_option("-o,--output", demoargs.output, "GIF to write")->capture_default_str();
  AddRenderOptions(demo, &demoargs, true);
  demo->add_option("--json", demojson, "Write the demo's description here instead of rendering");
  demo->add_flag("-q,--quiet", quiet, "No progress bar or closing line");
  demo->footer(kFooterDemo);

  std::string gallery;
  std::string galleryfont = "DejaVu Sans:bold";
  CLI::App* effects = app.add_subcommand("effects", "List the entry and exit effects");
  effects->add_option("--gallery", gallery, "Write a GIF of every effect and an index.html into this folder");
  effects->add_option("--font", galleryfont, "Font of the gallery's sample picture")->capture_default_str();
  effects->add_flag("-q,--quiet", quiet, "No progress line");
  effects->footer("Each line: the number a playbill stores, the name a description uses, and what\n"
                  "the effect does. Names are case-insensitive.\n\n"
                  "EXAMPLES\n"
                  "  ledview effects\n"
                  "  ledview effects --gallery effects/   # then open effects/index.html");

  CLI::App* schema = app.add_subcommand("schema", "Print the JSON Schema of descriptions, for editors");
  schema->footer("DESCRIPTION\n"
                 "  Prints the JSON Schema (draft 2020-12) that descriptions follow: every\n"
                 "  field with its type, range and a few words, effect names and element types\n"
                 "  to choose from. Save it beside your show and name it there, so that an\n"
                 "  editor checks and completes the show as you write it:\n"
                 "    { \"$schema\": \"ledview.schema.json\", \"pages\": [...] }\n\n"
                 "EXAMPLES\n"
                 "  ledview schema > ledview.schema.json");

  PlayArgs playargs;
  CLI::App* play = app.add_subcommand("play", "Play a playbill in a window in real time");
  play->add_option("playbill", playargs.input, "Playbill or JSON description")->required();
  play->add_option("--size", playargs.size, kSizeHelp);
  play->add_option("--mode", playargs.mode, "Colour mode: 1 one colour, 2 red and green, 4 (or 5) full colour (default: the description's, else 1)")
      ->check(CLI::Validator(
          [](std::string& v) { return v == "1" || v == "2" || v == "4" || v == "5" ? "" : "must be 1, 2, 4 or 5"; },
          "1, 2, 4 or 5"));
  play->add_option("--font", playargs.font, kFontHelp);
  play->add_option("--tick", playargs.tickms, "Milliseconds between two action ticks")->capture_default_str();
  play->add_option("--second", playargs.secondms, "Milliseconds between two engine seconds")
      ->capture_default_str();
  play->add_option("--scale", playargs.scale, "Window pixels per LED (default: as large as fits the screen)");
  play->add_option("--seconds", playargs.seconds, "Quit after this many seconds of play (default: run until quit)");
  play->footer(kFooterPlay);

  ServeOptions serveargs;
  CLI::App* serve = app.add_subcommand("serve", "Play a show live in the browser, reloading it on save");
  serve->add_option("show", serveargs.input, "JSON description or playbill")->required();
  AddShowOptions(serve, &serveargs.size, &serveargs.mode, &serveargs.font, &serveargs.tickms);
  serve->add_option("--host", serveargs.host, "Address to listen on")->capture_default_str();
  serve->add_option("--port", serveargs.port, "Port to listen on (0: any free port)")->capture_default_str();
  serve->footer(kFooterServe);

  ExportOptions exportargs;
  CLI::App* exportweb = app.add_subcommand("export-web", "Write a folder that plays a show in any browser");
  exportweb->add_option("show", exportargs.input, "JSON description or playbill")->required();
  exportweb->add_option("-o,--output", exportargs.output, "Folder to write (new or empty)")->required();
  AddShowOptions(exportweb, &exportargs.size, &exportargs.mode, &exportargs.font, &exportargs.tickms);
  exportweb->footer(kFooterExportWeb);

  // A mistyped command is named back with the command it was probably
  // meant to be.
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.empty() || word[0] == '-') continue;
    std::vector<const char*> names;
    for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name().c_str());
    if (std::any_of(names.begin(), names.end(), [&](const char* n) { return word == n; })) break;
    const std::string near = ClosestName(word, names);
    std::string list;
    for (const char* n : names) list += (list.empty() ? "" : ", ") + std::string(n);
    return Fail("unknown command \"" + word + "\"" + (near.empty() ? "" : "; did you mean " + near + "?") +
                " (commands: " + list + ")");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return Fail(std::string(e.what()) + " (see --help)");
  }
  // The window has its own way to quit; everything else stops at its next
  // tick and removes its temporary files.
  if (play->parsed()) {
    ReleaseStopSignals();
  } else {
    CatchStopSignals();
  }

  std::string error;
  if (build->parsed()) {
    std::vector<uint8_t> bytes;
    SignSize sign;
    std::vector<std::string> described;
    if (!BuildFile(buildin, &bytes, &sign, &error, &described)) return Fail(error);
    const std::string out = buildout.empty() ? JoinPath(DirectoryOf(buildin), StemOf(buildin) + ".bill") : buildout;
    if (SameFile(out, buildin)) {
      return Fail("-o " + out + ": is the description being built; name the playbill .bill");
    }
    if (!EndsWith(out, ".bill")) return Fail("-o " + out + ": build writes a playbill; name the output .bill");
    if (!WriteFileAtomic(out, bytes, &error)) return Fail(error);
    std::string font;
    if (!ChooseFont("", sign, bytes, &font, &error)) font.clear();
    SayWarnings(described, bytes,
                ShowFacts{sign.width > 0 ? sign.width : 128, sign.height > 0 ? sign.height : 32,
                          sign.mode > 0 ? sign.mode : 1, {}, font});
    std::fprintf(stderr, "ledview: wrote %s (%zu bytes)\n", out.c_str(), bytes.size());
    return 0;
  }
  if (schema->parsed()) {
    std::fwrite(kSchemaJson, 1, kSchemaJsonSize, stdout);
    return 0;
  }
  if (effects->parsed() && !gallery.empty()) {
    if (!WriteGallery(gallery, galleryfont, !quiet, &error)) return Fail(error);
    if (!quiet) std::fprintf(stderr, "ledview: wrote %s/index.html\n", FolderPath(gallery).c_str());
    return 0;
  }
  if (effects->parsed()) {
    std::printf("Entry effects (\"entry\": NAME, random, or the number):\n");
    const auto entries = EntryEffectTable();
    for (size_t i = 0; i < entries.size(); ++i) {
      std::printf("  %2zu  %-22s %s\n", i, entries[i].name[0] != '\0' ? entries[i].name : "(by number)",
                  entries[i].words);
    }
    std::printf("  %2d  %-22s %s\n", kEntryEffectRandom, "random", "one of 0..44, from an order shuffled at load");
    std::printf("Exit effects (\"exit\": NAME, none, random, or the number):\n");
    std::printf("  %2d  %-22s %s\n", 0, "none", "the picture stays until the next element");
    const auto exits = ExitEffectTable();
    for (size_t i = 0; i < exits.size(); ++i) std::printf("  %2zu  %-22s %s\n", i + 1, exits[i].name, exits[i].words);
    std::printf("  %2u  %-22s %s\n", kExitEffectRandom, "random", "one of the nine, from an order shuffled at load");
    std::printf("Speeds (\"speed\": 0..8): a scroll moves about");
    for (size_t i = 0; i < kSpeedLedsPerSecond.size(); ++i) {
      std::printf("%s %d", i == 0 ? "" : ",", kSpeedLedsPerSecond[i]);
    }
    std::printf(" LEDs a second;\n  other effects step at the same rates. Text wider than its component slides in\n"
                "  from the right by itself (SlideLeft), taller text from below (SlideUp), even\n"
                "  with the entry Instant.\n");
    std::printf("Borders (\"border\": 1..8; 0 none), drawn inside the component:\n");
    for (int32_t t = 1; t <= kBorderTypes; ++t) {
      std::printf("  border %d, %-12s %s\n", t, BorderWidthWords(t).c_str(), kBorderWords[static_cast<size_t>(t - 1)]);
    }
    return 0;
  }
  if (check->parsed()) {
    std::vector<uint8_t> bill;
    SignSize sign;
    std::vector<std::string> described;
    if (!LoadInput(checkin, &bill, &sign, &error, &described)) return Fail(error);
    int32_t width = sign.width > 0 ? sign.width : 128;
    int32_t height = sign.height > 0 ? sign.height : 32;
    if (!checksize.empty() && !ParseSize(checksize, &width, &height)) {
      return Fail(SizeMistake(checksize));
    }
    const int32_t mode = checkmode != 0 ? checkmode : sign.mode > 0 ? sign.mode : 1;
    std::string font;
    if (!ChooseFont(checkfont, sign, bill, &font, &error)) return Fail(error);
    SaySign(sign, checksize, checkmode, width, height, mode);
    return CheckBill(bill, width, height, mode, stdout, described, font) ? 0 : 1;
  }
  if (inspect->parsed()) {
    if (!inspectout.empty() && !EndsWith(inspectout, ".json")) {
      return Fail("-o " + inspectout + ": inspect writes a description; name the output .json");
    }
    if (!inspectout.empty() && SameFile(inspectout, inspectin)) {
      return Fail("-o " + inspectout + ": is the playbill being inspected; name the description .json");
    }
    std::vector<uint8_t> bytes;
    if (!ReadFile(inspectin, kMaxInputBytes, &bytes, &error)) return Fail(error);
    const std::string kind = NotAPlaybill(bytes);
    if (kind == "a JSON description") {
      return Fail(inspectin + ": is a JSON description already; did you mean ledview build (description -> playbill)?");
    }
    if (!kind.empty()) return Fail(inspectin + ": is " + kind + ", not a playbill (.bill)");
    bill::Bill b;
    if (!ReadBill(bytes, &b, &error)) return Fail(inspectin + ": " + error);
    const std::string dir = inspectout.empty() ? "" : DirectoryOf(inspectout);
    const std::string stem = StemOf(inspectout.empty() ? inspectin : inspectout);
    Json json;
    PendingFiles pictures;
    if (!DescribeBill(b, stem, &json, &pictures, &error)) return Fail(inspectin + ": " + error);
    for (const auto& [name, png] : pictures) {
      if (SameFile(JoinPath(dir, name), inspectin)) {
        return Fail(JoinPath(dir, name) + ": a picture inspect writes would replace the playbill; name the description otherwise");
      }
    }
    for (const auto& [name, png] : pictures) {
      if (!WriteFileAtomic(JoinPath(dir, name), png, &error)) return Fail(error);
    }
    const std::string text = JsonText(json);
    if (inspectout.empty()) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      return 0;
    }
    if (!WriteFileAtomic(inspectout, std::vector<uint8_t>(text.begin(), text.end()), &error)) {
      return Fail(error);
    }
    return 0;
  }
  if (render->parsed()) {
    std::vector<uint8_t> bill;
    SignSize sign;
    std::vector<std::string> described;
    if (!LoadInput(renderargs.input, &bill, &sign, &error, &described)) return Fail(error);
    return RunRender(renderargs, bill, sign, quiet, described);
  }
  if (play->parsed()) {
    std::vector<uint8_t> bill;
    SignSize sign;
    if (!LoadInput(playargs.input, &bill, &sign, &error)) return Fail(error);
    return RunPlay(playargs, bill, sign);
  }
  if (serve->parsed()) return RunServe(serveargs);
  if (exportweb->parsed()) return RunExportWeb(exportargs);
  if (demo->parsed()) {
    const std::string text = DemoJsonText();
    if (!demojson.empty()) {
      if (!WriteFileAtomic(demojson, std::vector<uint8_t>(text.begin(), text.end()), &error)) {
        return Fail(error);
      }
      return 0;
    }
    Json d;
    if (!ParseJson(text, &d, &error)) return Fail("demo: " + error);
    bill::Bill b;
    SignSize sign;
    if (!BuildBill(d, BuildContext(), &b, &sign, &error)) return Fail("demo: " + error);
    // The live string of the second page changes while it plays.
    demoargs.strings = {"1=Gate 3: now boarding    @15", "1=Gate 3: closed    @18"};
    return RunRender(demoargs, b.Bytes(), sign, quiet, {});
  }
  return 0;
}

}  // namespace ledview::tool

int main(int argc, char** argv) {
  // Nothing the command meets may end it without its one line.
  try {
    return ledview::tool::Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ledview: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "ledview: unexpected failure\n");
  }
  return 1;
}
