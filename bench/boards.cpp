#include "boards.h"

#include "billfile/billwriter.h"
#include "ledview.h"

std::vector<uint8_t> StringBoard(const std::vector<std::string>& texts, uint32_t textsize) {
  ledview::bill::Bill b;
  ledview::bill::Area& area = b.AddPage().AddArea(0, 0, kBoardWidth, kBoardHeight);
  for (uint16_t i = 0; i < kBoardComponents && i < texts.size(); ++i) {
    ledview::bill::StringText t;
    t.id = static_cast<uint16_t>(i + 1);
    t.colour = 1 + i % 7;
    t.text = texts[i];
    t.fontsize = textsize;
    ledview::bill::Element& e =
        area.AddComponent(static_cast<uint16_t>((i % 4) * 64), static_cast<uint16_t>((i / 4) * 16), 64, 16)
            .AddElement(ledview::kElemString, ledview::bill::StringTextBytes(t));
    e.speed = static_cast<uint16_t>(2 + i % 5);
    e.entryeffect = static_cast<uint16_t>(8 + i % 8);  // SlideRight .. SlideDownLeft
    e.staytime = 1 + i % 3;
    e.exiteffect = 2 + i % 4;  // EraseRight .. EraseUp
  }
  return b.Bytes();
}

bool StartBoard(int32_t mode, std::vector<uint8_t>* out) {
  out->assign(static_cast<size_t>(kBoardWidth) * kBoardHeight, 0);
  ReleasePreview();
  const bool ready = InitLedConfigure(kBoardWidth, kBoardHeight, mode) == 0 &&
                     SetFontPathname(LEDVIEW_BENCH_LATIN_FONT) == 0 &&
                     SetBmpBuffer(kBoardWidth, kBoardHeight, kBoardWidth, out->data()) == 0;
  if (!ready) ReleasePreview();
  return ready;
}
