#include "ledview/check.h"

#include <algorithm>
#include <string>

#include "format/playbill.h"

#include "ledview.h"
#include "billfile/billreader.h"
#include "ledview/describe.h"
#include "ledview/gbcode.h"
#include "ledview/quiet.h"
#include "ledview/warnings.h"

namespace ledview::tool {

namespace {

std::string Plural(size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Effect(const std::string& name, uint32_t value) {
  return name.empty() ? std::to_string(value) : name;
}

std::string Describe(const bill::Element& e) {
  std::string s = ElementTypeName(e.elemtype) + ", entry " +
                  Effect(EntryEffectName(e.entryeffect), e.entryeffect) + ", exit " +
                  Effect(ExitEffectName(e.exiteffect), e.exiteffect) + ", speed " +
                  std::to_string(e.speed) + ", delay " + std::to_string(e.delaytime) +
                  " s, stay " + std::to_string(e.staytime) + " s, " +
                  Plural(e.payload.size(), "byte");
  switch (e.elemtype) {
    case kElemPicture: {
      bill::BmpBlock b;
      if (DecodeBmpBlock(e.payload, &b)) {
        s += ": picture " + std::to_string(b.width) + "x" + std::to_string(b.height) +
             " format " + std::to_string(b.format);
      }
      break;
    }
    case kElemString: {
      bill::StringText t;
      if (DecodeStringText(e.payload, &t)) {
        std::string text;
        if (GbToUtf8(t.text, &text)) {
          // At most 40 characters, cut between characters.
          size_t at = 0;
          uint32_t code = 0;
          for (int n = 0; n < 40 && at < text.size(); ++n) NextCodePoint(text, &at, &code);
          if (at < text.size()) text.replace(at, std::string::npos, "...");
          s.append(": \"").append(text).append("\"");
        } else {
          s.append(": ").append(Plural(t.text.size(), "byte")).append(" of text");
        }
        s.append(" size ").append(std::to_string(t.fontsize));
        s.append(" colour ").append(std::to_string(t.colour));
        if (t.id != 0) s.append(" live string ").append(std::to_string(t.id));
      }
      break;
    }
    case kElemAnimation:
    case kElemPagedPicture: {
      bill::FrameStrip f;
      if (DecodeFrameStrip(e.payload, 0, &f)) {
        s += ": " + Plural(f.count, "frame") + " of " + std::to_string(f.width) + "x" +
             std::to_string(f.height);
      }
      break;
    }
    default:
      break;
  }
  return s;
}

}  // namespace

bool CheckBill(const std::vector<uint8_t>& bytes, int32_t width, int32_t height, int32_t mode,
               std::FILE* out, const std::vector<std::string>& described, const std::string& font) {
  ReleasePreview();
  int32_t init = 0;
  {
    QuietStdout quiet;
    init = InitLedConfigure(width, height, mode);
  }
  if (init != 0) {
    std::fprintf(out, "the engine refuses a %dx%d sign in colour mode %d (code %d)\n", width,
                 height, mode, init);
    return false;
  }
  std::fflush(out);
  const int32_t length = bytes.size() > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(bytes.size());
  const int32_t code = TestPlayBillData(bytes.data(), length);
  std::fflush(stdout);
  ReleasePreview();
  std::fprintf(out, "validation code %d: %s\n", code, code == 0 ? "valid" : "rejected");

  bill::Bill b;
  std::string error;
  if (!ReadBill(bytes, &b, &error)) {
    std::fprintf(out, "structure: %s\n", error.c_str());
    return false;
  }
  bool playable = true;
  std::fprintf(out, "bill: %s, %s\n", Plural(b.pages.size(), "page").c_str(),
               Plural(bytes.size(), "byte").c_str());
  if (b.pages.size() > kMaxPages) {
    std::fprintf(out, "  the engine loads at most %u pages\n", kMaxPages);
    playable = false;
  }
  for (size_t pi = 0; pi < b.pages.size(); ++pi) {
    const bill::Page& p = b.pages[pi];
    size_t comps = 0;
    size_t elems = 0;
    for (const bill::Area& a : p.areas) {
      comps += a.components.size();
      for (const bill::Component& c : a.components) elems += c.elements.size();
    }
    std::fprintf(out, "pages[%zu]: border %u, play %s, %s, %s, %s\n", pi, p.bordertype,
                 p.playtime > 0 ? (std::to_string(p.playtime) + " s").c_str() : "until stopped",
                 Plural(p.areas.size(), "area").c_str(), Plural(comps, "component").c_str(),
                 Plural(elems, "element").c_str());
    if (p.areas.size() > kMaxAreas || comps > kMaxComponents || elems > kMaxElements) {
      std::fprintf(out, "  the engine plays at most %u areas, %u components and %u elements on a page\n",
                   kMaxAreas, kMaxComponents, kMaxElements);
      playable = false;
    }
    for (size_t ai = 0; ai < p.areas.size(); ++ai) {
      const bill::Area& a = p.areas[ai];
      std::fprintf(out, "  areas[%zu]: %u,%u %ux%u%s, %s\n", ai, a.x, a.y, a.width, a.height,
                   a.staticflag != 0 ? " static" : "", Plural(a.components.size(), "component").c_str());
      for (size_t ci = 0; ci < a.components.size(); ++ci) {
        const bill::Component& c = a.components[ci];
        std::fprintf(out, "    components[%zu]: %u,%u %ux%u, border %u, %s\n", ci, c.x, c.y,
                     c.width, c.height, c.bordertype, Plural(c.elements.size(), "element").c_str());
        for (size_t ei = 0; ei < c.elements.size(); ++ei) {
          std::fprintf(out, "      elements[%zu]: %s\n", ei, Describe(c.elements[ei]).c_str());
        }
      }
    }
  }
  if (!b.trailing.empty()) {
    std::fprintf(out, "%s after the pages, never read\n", Plural(b.trailing.size(), "byte").c_str());
  }
  ShowFacts facts;
  facts.width = width;
  facts.height = height;
  facts.mode = mode;
  facts.font = font;
  for (const std::string& line : described) std::fprintf(out, "%s\n", line.c_str());
  for (const std::string& line : ShowWarnings(b, facts)) std::fprintf(out, "%s\n", line.c_str());
  return code == 0 && playable;
}

}  // namespace ledview::tool
