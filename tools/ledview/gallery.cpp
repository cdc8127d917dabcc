#include "ledview/gallery.h"

#include <cstdio>
#include <vector>

#include "billfile/billwriter.h"
#include "format/playbill.h"
#include "ledview/effectnames.h"
#include "ledview/files.h"
#include "ledview/fonts.h"
#include "ledview/picture.h"
#include "ledview/render.h"

namespace ledview::tool {

namespace {

constexpr int32_t kSignWidth = 64;
constexpr int32_t kSignHeight = 24;
constexpr uint16_t kSpeed = 5;
constexpr uint32_t kFourBitFormat = 12;

// "LED" in red, yellow and green thirds: a picture whose every part is
// told apart, so that each effect's order of revealing shows.
bool SamplePicture(const std::string& font, int32_t size, int32_t width, bill::BmpBlock* out,
                   std::string* error) {
  TextStyle style;
  style.font = font;
  style.size = size;
  style.width = width;
  style.align = TextAlign::Centre;
  Picture p;
  if (!RenderText("LED", style, &p, error)) return false;
  constexpr uint8_t kThirds[3] = {1, 3, 2};
  for (int32_t y = 0; y < p.height; ++y) {
    for (int32_t x = 0; x < p.width; ++x) {
      uint8_t& v = p.pixels[static_cast<size_t>(y) * p.width + x];
      if (v != 0) v = kThirds[x * 3 / p.width];
    }
  }
  out->width = static_cast<uint16_t>(p.width);
  out->height = static_cast<uint16_t>(p.height);
  out->format = kFourBitFormat;
  out->pitch = bill::RowBytes(out->width, out->format);
  out->rows = PackRows(p, out->format, out->pitch);
  return true;
}

// One element on the whole sign, shown again and again.
std::vector<uint8_t> EffectBill(const bill::BmpBlock& picture, uint16_t entry, uint32_t exit) {
  bill::Bill b;
  bill::Component& c = b.AddPage().AddArea(0, 0, kSignWidth, kSignHeight).AddComponent(0, 0, kSignWidth, kSignHeight);
  bill::Element& e = c.AddElement(kElemPicture, bill::BmpBlockBytes(picture));
  e.speed = kSpeed;
  e.entryeffect = entry;
  e.staytime = 1;
  e.exiteffect = exit;
  return b.Bytes();
}

// The same on a component with a border around a smaller picture.
std::vector<uint8_t> BorderBill(const bill::BmpBlock& picture, uint32_t bordertype) {
  bill::Bill b;
  bill::Component& c =
      b.AddPage().AddArea(0, 0, kSignWidth, kSignHeight).AddComponent(0, 0, kSignWidth, kSignHeight, bordertype);
  c.AddElement(kElemPicture, bill::BmpBlockBytes(picture)).entryeffect = kEntryInstant;
  return b.Bytes();
}

std::string SpeedTable() {
  std::string html = "<table><tr><th>speed</th>";
  for (size_t i = 0; i < kSpeedLedsPerSecond.size(); ++i) html += "<td>" + std::to_string(i) + "</td>";
  html += "</tr>\n<tr><th>LEDs a second</th>";
  for (int32_t rate : kSpeedLedsPerSecond) html += "<td>" + std::to_string(rate) + "</td>";
  return html + "</tr></table>\n";
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

struct Shown {
  std::string file;
  std::string caption;
  std::string words;
};

std::string Section(const char* title, const std::vector<Shown>& shown) {
  std::string html = std::string("<h2>") + title + "</h2>\n<div class=\"grid\">\n";
  for (const Shown& s : shown) {
    html += "<figure><img src=\"" + s.file + "\" alt=\"" + Escape(s.caption) + "\"><figcaption><b>" +
            Escape(s.caption) + "</b><br>" + Escape(s.words) + "</figcaption></figure>\n";
  }
  return html + "</div>\n";
}

}  // namespace

std::string BorderWidthWords(int32_t bordertype) {
  const int32_t w = BorderWidth(static_cast<uint32_t>(bordertype));
  return std::to_string(w) + (w == 1 ? " LED wide" : " LEDs wide");
}

bool WriteGallery(const std::string& folder, const std::string& font, bool progress,
                  std::string* error) {
  const std::string dir = FolderPath(folder);
  bill::BmpBlock picture;
  bill::BmpBlock small;
  std::string temp;
  if (!SamplePicture(font, 22, kSignWidth, &picture, error) ||
      !SamplePicture(font, 12, kSignWidth - 8, &small, error) || !StartFolder(dir, &temp, error)) {
    return false;
  }
  RenderOptions o;
  o.width = kSignWidth;
  o.height = kSignHeight;
  o.mode = 4;
  o.font = font;
  o.scale = 3;
  o.durationms = 4000;
  auto render = [&](const std::string& name, const std::vector<uint8_t>& bill) {
    if (progress) std::fprintf(stderr, "\rledview: %-40s", name.c_str());
    return RenderGif(bill, o, JoinPath(temp, name), error);
  };
  std::vector<Shown> entries;
  const auto entrytable = EntryEffectTable();
  for (size_t i = 0; i < entrytable.size(); ++i) {
    const std::string name = entrytable[i].name[0] != '\0' ? entrytable[i].name : "";
    char file[64];
    std::snprintf(file, sizeof file, "entry-%02zu%s%s.gif", i, name.empty() ? "" : "-", name.c_str());
    if (!render(file, EffectBill(picture, static_cast<uint16_t>(i), 0))) {
      DiscardTemp(temp);
      return false;
    }
    entries.push_back({file, std::to_string(i) + " " + (name.empty() ? "(by number)" : name), entrytable[i].words});
  }
  std::vector<Shown> exits;
  const auto exittable = ExitEffectTable();
  for (size_t i = 0; i < exittable.size(); ++i) {
    char file[64];
    std::snprintf(file, sizeof file, "exit-%zu-%s.gif", i + 1, exittable[i].name);
    if (!render(file, EffectBill(picture, kEntryInstant, static_cast<uint32_t>(i + 1)))) {
      DiscardTemp(temp);
      return false;
    }
    exits.push_back({file, std::to_string(i + 1) + " " + exittable[i].name, exittable[i].words});
  }
  std::vector<Shown> borders;
  o.durationms = 2000;
  for (int32_t t = 1; t <= kBorderTypes; ++t) {
    const std::string file = "border-" + std::to_string(t) + ".gif";
    if (!render(file, BorderBill(small, static_cast<uint32_t>(t)))) {
      DiscardTemp(temp);
      return false;
    }
    borders.push_back(
        {file, std::to_string(t) + " (" + BorderWidthWords(t) + ")", kBorderWords[static_cast<size_t>(t - 1)]});
  }
  if (progress) std::fprintf(stderr, "\r%-50s\r", "");
  const std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>ledview effects</title>\n<style>\n"
      "body { background: #222; color: #ddd; font-family: sans-serif; margin: 1.5em; }\n"
      ".grid { display: grid; grid-template-columns: repeat(auto-fill, minmax(200px, 1fr)); gap: 1em; }\n"
      "figure { margin: 0; } img { width: 192px; height: 72px; image-rendering: pixelated; }\n"
      "figcaption { font-size: 0.85em; margin-top: 0.3em; }\n"
      "td, th { border: 1px solid #555; padding: 0.2em 0.6em; text-align: right; }\n"
      "table { border-collapse: collapse; }\n"
      "</style>\n</head>\n<body>\n<h1>ledview effects</h1>\n"
      "<p>Each effect on the same picture at speed " + std::to_string(kSpeed) +
      ", played again and again. A description names an effect by the name shown, or by its number.</p>\n" +
      Section("Entry effects", entries) +
      "<p>Exit effects follow the picture's stay; each starts from the whole picture shown at once.</p>\n" +
      Section("Exit effects", exits) +
      "<h2>Speeds</h2>\n<p>\"speed\": 0..8 sets how fast an effect runs; a scroll moves about this many "
      "LEDs a second (other effects step at the same rates):</p>\n" + SpeedTable() +
      "<p>Text wider than its component slides in from the right by itself, and taller text from below, "
      "even with the entry Instant.</p>\n" +
      "<p>A border (\"border\": 1..8) is drawn inside its component and takes that many LEDs on each side "
      "from what the component shows; 0 (or above 8) is none.</p>\n" +
      Section("Borders", borders) + "</body>\n</html>\n";
  if (!WriteFileAtomic(JoinPath(temp, "index.html"), std::vector<uint8_t>(html.begin(), html.end()), error)) {
    DiscardTemp(temp);
    return false;
  }
  return CommitFolder(temp, dir, error);
}

}  // namespace ledview::tool
