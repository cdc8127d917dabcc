#include "ledview/picture.h"

#include <png.h>

namespace ledview::tool {

namespace {

// PNG pictures larger than this are refused: a playbill picture is at most
// 65535 pixels on a side, and the engine's store is 3 MB.
constexpr uint64_t kMaxPngPixels = 16ull << 20;

std::vector<uint8_t> EncodePng(png_image& image, const void* pixels, const void* colourmap) {
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colourmap)) return {};
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, colourmap)) return {};
  out.resize(size);
  return out;
}

}  // namespace

uint32_t LedRgb(uint32_t value) {
  static constexpr uint32_t kColours[8] = {0x000000, 0xFF2A1A, 0x2AFF3C, 0xFFD21E,
                                           0x3C6EFF, 0xFF3CF0, 0x3CF0FF, 0xFFFFFF};
  return kColours[value & 7];
}

std::vector<uint8_t> PackRows(const Picture& p, uint32_t format, uint32_t pitch) {
  std::vector<uint8_t> rows(static_cast<size_t>(pitch) * p.height, 0);
  for (int32_t y = 0; y < p.height; ++y) {
    uint8_t* row = rows.data() + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < p.width; ++x) {
      const uint8_t v = p.pixels[static_cast<size_t>(y) * p.width + x];
      size_t at;
      uint8_t bits;
      if (format <= 7) {
        at = x >> 3;
        bits = static_cast<uint8_t>((v & 1) << (7 - (x & 7)));
      } else if (format == 8) {
        at = x >> 2;
        bits = static_cast<uint8_t>((v & 3) << (2 * (x & 3)));
      } else {
        at = x >> 1;
        bits = static_cast<uint8_t>((v & 15) << (4 * (x & 1)));
      }
      if (at < pitch) row[at] |= bits;
    }
  }
  return rows;
}

Picture UnpackRows(const uint8_t* rows, int32_t width, int32_t height, uint32_t format,
                   uint32_t pitch) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x) {
      uint8_t v;
      if (format <= 7) {
        v = (x >> 3) < static_cast<int64_t>(pitch) ? (row[x >> 3] >> (7 - (x & 7))) & 1 : 0;
      } else if (format == 8) {
        v = (x >> 2) < static_cast<int64_t>(pitch) ? (row[x >> 2] >> (2 * (x & 3))) & 3 : 0;
      } else {
        v = (x >> 1) < static_cast<int64_t>(pitch) ? (row[x >> 1] >> (4 * (x & 1))) & 15 : 0;
      }
      p.pixels[static_cast<size_t>(y) * width + x] = v;
    }
  }
  return p;
}

std::vector<uint8_t> PictureToPng(const Picture& p, uint32_t format) {
  // Index 0 is black; indices 1..15 the colours of values 1..15 (a one-bit
  // picture uses index 1 for its lit pixels).
  uint8_t colourmap[16 * 3] = {};
  for (uint32_t v = 1; v < 16; ++v) {
    uint32_t rgb = LedRgb(v);
    if (format <= 7) rgb = format == 0 ? 0xFFFFFF : LedRgb(format);
    colourmap[v * 3] = static_cast<uint8_t>(rgb >> 16);
    colourmap[v * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
    colourmap[v * 3 + 2] = static_cast<uint8_t>(rgb);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 16;
  if (p.width == 0 || p.height == 0) return {};
  return EncodePng(image, p.pixels.data(), colourmap);
}

bool PngToPicture(const std::vector<uint8_t>& png, uint32_t format, Picture* out,
                  std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    *error = std::string("not a readable PNG (") + image.message + ")";
    return false;
  }
  if (uint64_t{image.width} * image.height > kMaxPngPixels || image.width > 65535 ||
      image.height > 65535) {
    png_image_free(&image);
    *error = "PNG of " + std::to_string(image.width) + "x" + std::to_string(image.height) +
             " pixels is too large for a playbill picture";
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    *error = std::string("damaged PNG (") + image.message + ")";
    return false;
  }
  out->width = static_cast<int32_t>(image.width);
  out->height = static_cast<int32_t>(image.height);
  out->pixels.assign(static_cast<size_t>(out->width) * out->height, 0);
  const uint8_t mask = format <= 7 ? 1 : format == 8 ? 3 : 7;
  for (size_t i = 0; i < out->pixels.size(); ++i) {
    const uint8_t* px = rgba.data() + i * 4;
    if (px[3] < 128) continue;
    uint8_t v;
    if (format <= 7) {
      v = (px[0] >= 128 || px[1] >= 128 || px[2] >= 128) ? 1 : 0;
    } else {
      v = static_cast<uint8_t>((px[0] >= 128 ? 1 : 0) | (px[1] >= 128 ? 2 : 0) |
                               (px[2] >= 128 ? 4 : 0));
    }
    out->pixels[i] = v & mask;
  }
  return true;
}

std::vector<uint8_t> RgbToPng(int32_t width, int32_t height, const std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return EncodePng(image, rgb.data(), nullptr);
}

}  // namespace ledview::tool
