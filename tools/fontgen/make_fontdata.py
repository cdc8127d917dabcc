#!/usr/bin/env python3
"""Generate ledview's built-in bitmap fonts and the GB2312-to-Unicode table.

Inputs:  GNU Unifont's .hex file (Debian package `unifont`) and Python's
         standard `gb2312` and `cp437` codecs.
Outputs: src/content/fontdata/{fontdata.h,ascfont.cpp,hzkfont.cpp,gbunicode.cpp}

The outputs are committed, so building ledview needs neither Python nor
Unifont. Re-running this script on the same Unifont file reproduces them
byte for byte.

Usage: python3 tools/fontgen/make_fontdata.py [--hex FILE] [--out DIR]
"""

import argparse
import gzip
import hashlib
import os
import subprocess
import sys
import unicodedata

REPO_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFAULT_OUT = os.path.join(REPO_ROOT, "src", "content", "fontdata")
HEX_CANDIDATES = [
    "/usr/share/unifont/unifont.hex",
    "/usr/share/unifont/unifont.hex.gz",
]

# CP437 draws pictographs, not control characters, at 1..31 and 127; the
# cp437 codec decodes those bytes as C0 controls, so they are listed here.
CP437_LOW = "☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
CP437_DEL = "⌂"

GB_SYMBOL_LEADS = range(0xA1, 0xAA)   # table rows 0..8
GB_HANZI_LEADS = range(0xB0, 0xF8)    # table rows 9..80
GB_TRAILS = range(0xA1, 0xFF)
GB_ENTRIES = 81 * 94
IDEOGRAPHIC_SPACE = 0x3000
# Positions GB2312 leaves empty: 164 in the symbol rows plus 0xD7FA..0xD7FE.
# 0xA1A1 is assigned (to U+3000 itself), so it is not among them.
GB_UNASSIGNED_EXPECTED = 169


def die(msg):
    sys.exit("make_fontdata: " + msg)


# ---------------------------------------------------------------- Unifont

def find_hex(explicit):
    if explicit:
        return explicit
    for path in HEX_CANDIDATES:
        if os.path.exists(path):
            return path
    die("no Unifont .hex file found (tried %s); apt-get install unifont, or pass --hex"
        % ", ".join(HEX_CANDIDATES))


def read_hex(path):
    """Return ({codepoint: rows}, raw bytes). rows = 16 ints, each 8 or 16 bits wide
    with the leftmost pixel in the top bit; width is carried alongside."""
    with open(path, "rb") as f:
        raw = f.read()
    data = gzip.decompress(raw) if raw[:2] == b"\x1f\x8b" else raw
    glyphs = {}
    for lineno, line in enumerate(data.decode("ascii").splitlines(), 1):
        line = line.strip()
        if not line:
            continue
        cp_text, _, bits = line.partition(":")
        cp = int(cp_text, 16)
        if len(bits) == 32:
            width = 8
        elif len(bits) == 64:
            width = 16
        else:
            die("%s:%d: glyph U+%04X has unexpected length %d" % (path, lineno, cp, len(bits)))
        step = width // 4
        rows = [int(bits[i:i + step], 16) for i in range(0, len(bits), step)]
        glyphs[cp] = (width, rows)
    return glyphs, raw


def unifont_version(path):
    """Best-effort provenance string for the file header."""
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "unifont"],
                             capture_output=True, text=True, check=True).stdout.strip()
        if out:
            return "Debian unifont " + out
    except (OSError, subprocess.CalledProcessError):
        pass
    return "version unknown"


def ink_span(rows):
    """(number of columns from leftmost to rightmost ink, bit index of the
    rightmost ink column) for 16-bit rows; (0, 0) when blank."""
    ink = 0
    for r in rows:
        ink |= r
    if ink == 0:
        return 0, 0
    left = ink.bit_length() - 1
    right = (ink & -ink).bit_length() - 1
    return left - right + 1, right


def narrow_rows(width, rows):
    """Fit a Unifont glyph into 8 columns.

    8-wide glyphs are used unchanged. A 16-wide glyph whose ink spans at most
    8 columns is shifted so that the ink is centred in the cell; otherwise
    each pair of columns is OR-ed into one, which keeps every stroke visible
    at the cost of halving horizontal detail.
    """
    if width == 8:
        return list(rows)
    span, right = ink_span(rows)
    if span == 0:
        return [0] * 16
    if span <= 8:
        pad_left = (8 - span) // 2
        shift = right - (8 - pad_left - span)   # move the rightmost ink column here
        return [(r >> shift) & 0xFF if shift >= 0 else (r << -shift) & 0xFF for r in rows]
    out = []
    for r in rows:
        b = 0
        for c in range(8):
            if (r >> (14 - 2 * c)) & 3:   # columns 2c and 2c+1
                b |= 0x80 >> c
        out.append(b)
    return out


def wide_rows(width, rows):
    """Fit a Unifont glyph into 16 columns; 8-wide ones go in columns 4..11."""
    if width == 16:
        return list(rows)
    return [r << 4 for r in rows]


# ---------------------------------------------------------------- tables

def ascii_codepoints():
    cps = [None] * 256
    assert len(CP437_LOW) == 31
    for i, ch in enumerate(CP437_LOW, 1):
        cps[i] = ord(ch)
    for b in range(33, 127):
        cps[b] = b
    cps[127] = ord(CP437_DEL)
    for b in range(0x80, 0xFF):
        cps[b] = ord(bytes([b]).decode("cp437"))
    # 0 (NUL), 32 (space) and 255 (no-break space) stay None: blank cells.
    return cps


def build_ascfont(glyphs):
    cps = ascii_codepoints()
    out = []
    notes = {"missing": [], "shifted": [], "squeezed": []}
    for code, cp in enumerate(cps):
        if cp is None or cp not in glyphs:
            if cp is not None:
                notes["missing"].append(code)
            out.append([0] * 16)
            continue
        width, rows = glyphs[cp]
        narrowed = narrow_rows(width, rows)
        if width == 16:
            notes["shifted" if ink_span(rows)[0] <= 8 else "squeezed"].append(code)
        out.append(narrowed)
    return cps, out, notes


def gb_decode(lead, trail):
    try:
        s = bytes([lead, trail]).decode("gb2312")
    except UnicodeDecodeError:
        return None
    if len(s) != 1:
        die("gb2312 codec gave %r for %02X%02X" % (s, lead, trail))
    return ord(s)


def build_gbtable():
    table = []
    unassigned = 0
    for lead in list(GB_SYMBOL_LEADS) + list(GB_HANZI_LEADS):
        for trail in GB_TRAILS:
            cp = gb_decode(lead, trail)
            if (lead, trail) == (0xA1, 0xAC):
                # The codec says U+2016 DOUBLE VERTICAL LINE; the display
                # controllers' table uses U+2225 PARALLEL TO for this symbol.
                cp = 0x2225
            if cp is None:
                unassigned += 1
                cp = IDEOGRAPHIC_SPACE
            table.append(cp)
    if len(table) != GB_ENTRIES:
        die("GB table has %d entries, expected %d" % (len(table), GB_ENTRIES))
    if unassigned != GB_UNASSIGNED_EXPECTED:
        die("GB2312 has %d unassigned positions, expected %d"
            % (unassigned, GB_UNASSIGNED_EXPECTED))
    if table.count(IDEOGRAPHIC_SPACE) != GB_UNASSIGNED_EXPECTED + 1:
        die("U+3000 appears %d times, expected unassigned + 0xA1A1"
            % table.count(IDEOGRAPHIC_SPACE))
    if table[0] != 0x3000:
        die("0xA1A1 maps to U+%04X, expected U+3000" % table[0])
    if table[9 * 94] != 0x554A:
        die("0xB0A1 maps to U+%04X, expected U+554A" % table[9 * 94])
    if table[11] != 0x2225:
        die("0xA1AC override not applied")
    if any(cp > 0xFFFF for cp in table):
        die("GB table entry outside the BMP")
    return table, unassigned


def build_hzkfont(glyphs, gbtable):
    """94 x 94 grid; only leads 0xA1..0xA9 and 0xB0..0xF7 can hold glyphs."""
    grid = [[0] * 32 for _ in range(94 * 94)]
    missing = []
    index = 0
    for lead in list(GB_SYMBOL_LEADS) + list(GB_HANZI_LEADS):
        for trail in GB_TRAILS:
            cp = gbtable[index]
            index += 1
            # Unassigned positions hold U+3000 in the table; draw nothing there.
            if cp == IDEOGRAPHIC_SPACE:
                continue
            if cp not in glyphs:
                missing.append((lead, trail, cp))
                continue
            width, rows = glyphs[cp]
            glyph = []
            for r in wide_rows(width, rows):
                glyph += [r >> 8, r & 0xFF]
            grid[(lead - 0xA1) * 94 + (trail - 0xA1)] = glyph
    return grid, missing


# ---------------------------------------------------------------- output

def hexbytes(values):
    return ", ".join("0x%02X" % v for v in values)


def char_label(cp):
    name = unicodedata.name(chr(cp), "")
    if 0x21 <= cp <= 0x7E and chr(cp) not in "\\":
        return "U+%04X '%s' %s" % (cp, chr(cp), name)
    return "U+%04X %s" % (cp, name) if name else "U+%04X" % cp


def banner(source):
    return ("// Generated by tools/fontgen/make_fontdata.py from GNU Unifont\n"
            "// (%s) -- do not edit by hand.\n" % source)


def gb_banner():
    return ("// Generated by tools/fontgen/make_fontdata.py from Python's standard\n"
            "// gb2312 codec -- do not edit by hand.\n")


def render_header(source):
    return banner(source) + """
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr int kAscGlyphBytes = 16;          // 8 x 16, 1 byte per row
inline constexpr int kHzkGlyphBytes = 32;          // 16 x 16, 2 bytes per row
inline constexpr int kHzkGridSize = 94;            // 94 x 94 grid, lead/trail 0xA1..0xFE
inline constexpr int kGbUnicodeEntries = 7614;     // 81 rows of 94

// Single-byte font, IBM PC code page 437 layout, indexed by code * 16.
// Byte r is pixel row r (top first); bit 7 is the leftmost column.
extern const uint8_t AscFont[256 * 16];

// Double-byte font: glyph (lead - 0xA1) * 94 + (trail - 0xA1), 32 bytes each,
// 16 rows of 2 bytes; bit 7 of the first byte is the leftmost pixel.
extern const uint8_t HzkFont[94 * 94 * 32];

// GB2312 to Unicode. Leads 0xA1..0xA9 are rows 0..8, leads 0xB0..0xF7 are
// rows 9..80; unassigned positions hold U+3000.
extern const uint16_t GbUnicodeTable[7614];

}  // namespace ledview
"""


def render_ascfont(source, cps, font, notes):
    lines = [banner(source)]
    lines.append("// 8 x 16 glyphs in code page 437 order, one glyph (16 rows) per line.\n")
    if notes["shifted"] or notes["squeezed"]:
        lines.append("// 16-wide Unifont glyphs: shifted into 8 columns %s; columns OR-ed in pairs %s.\n"
                     % (notes["shifted"] or "none", notes["squeezed"] or "none"))
    else:
        lines.append("// Every glyph here came from an 8-wide Unifont glyph.\n")
    lines.append('\n#include "content/fontdata/fontdata.h"\n\nnamespace ledview {\n\n')
    lines.append("const uint8_t AscFont[256 * 16] = {\n")
    for code, rows in enumerate(font):
        cp = cps[code]
        label = "blank" if cp is None else char_label(cp)
        if cp is not None and code in notes["missing"]:
            label += " (no Unifont glyph)"
        lines.append("    %s,  // 0x%02X %s\n" % (hexbytes(rows), code, label))
    lines.append("};\n\n}  // namespace ledview\n")
    return "".join(lines)


def render_hzkfont(source, grid):
    lines = [banner(source)]
    lines.append("// 16 x 16 glyphs on the 94 x 94 GB2312 grid, two lines (32 bytes) per glyph.\n"
                 "// Unifont's 8-wide glyphs sit in columns 4..11.\n")
    lines.append('\n#include "content/fontdata/fontdata.h"\n\nnamespace ledview {\n\n')
    lines.append("const uint8_t HzkFont[94 * 94 * 32] = {\n")
    for lead in range(0xA1, 0xFF):
        lines.append("    // lead 0x%02X\n" % lead)
        for trail in range(0xA1, 0xFF):
            g = grid[(lead - 0xA1) * 94 + (trail - 0xA1)]
            lines.append("    %s,  // %02X%02X\n" % (hexbytes(g[:16]), lead, trail))
            lines.append("    %s,\n" % hexbytes(g[16:]))
    lines.append("};\n\n}  // namespace ledview\n")
    return "".join(lines)


def render_gbunicode(table):
    lines = [gb_banner()]
    lines.append("// GB2312 to Unicode, 94 entries per lead byte, 16 per line.\n"
                 "// 0xA1AC is U+2225; unassigned positions are U+3000.\n")
    lines.append('\n#include "content/fontdata/fontdata.h"\n\nnamespace ledview {\n\n')
    lines.append("const uint16_t GbUnicodeTable[7614] = {\n")
    leads = list(GB_SYMBOL_LEADS) + list(GB_HANZI_LEADS)
    for row, lead in enumerate(leads):
        lines.append("    // 0x%02XA1..0x%02XFE (row %d)\n" % (lead, lead, row))
        entries = table[row * 94:(row + 1) * 94]
        for i in range(0, 94, 16):
            lines.append("    %s,\n" % ", ".join("0x%04X" % v for v in entries[i:i + 16]))
    lines.append("};\n\n}  // namespace ledview\n")
    return "".join(lines)


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--hex", help="Unifont .hex or .hex.gz file (default: search /usr/share/unifont)")
    ap.add_argument("--out", default=DEFAULT_OUT, help="output directory")
    args = ap.parse_args()

    hex_path = find_hex(args.hex)
    glyphs, raw = read_hex(hex_path)
    source = "%s, %s, sha256 %s" % (
        unifont_version(hex_path), os.path.basename(hex_path),
        hashlib.sha256(raw).hexdigest()[:16])

    cps, ascfont, notes = build_ascfont(glyphs)
    gbtable, unassigned = build_gbtable()
    hzk, hzk_missing = build_hzkfont(glyphs, gbtable)

    os.makedirs(args.out, exist_ok=True)
    write(os.path.join(args.out, "fontdata.h"), render_header(source))
    write(os.path.join(args.out, "ascfont.cpp"), render_ascfont(source, cps, ascfont, notes))
    write(os.path.join(args.out, "hzkfont.cpp"), render_hzkfont(source, hzk))
    write(os.path.join(args.out, "gbunicode.cpp"), render_gbunicode(gbtable))

    print("read %d glyphs from %s" % (len(glyphs), hex_path))
    print("AscFont: %d codes without a Unifont glyph %s; 16-wide shifted %s, squeezed %s"
          % (len(notes["missing"]), notes["missing"], notes["shifted"], notes["squeezed"]))
    print("GbUnicodeTable: %d unassigned positions (U+3000 appears %d times with 0xA1A1)"
          % (unassigned, gbtable.count(IDEOGRAPHIC_SPACE)))
    print("HzkFont: %d assigned positions without a Unifont glyph %s"
          % (len(hzk_missing), ["%02X%02X U+%04X" % m for m in hzk_missing]))


if __name__ == "__main__":
    main()
