// Writes the seed corpora of the BMP and JPEG fuzz targets: small pictures of each layout the
// readers take. Run it again after a layout is added:
//   cmake --build <fuzz build> --target bmp_seeds
// Usage: bmp_make_seeds <corpus folder>   (writes <folder>/bmp/*.bmp and <folder>/jpeg/*.jpg)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "engine/bitmap/jpeg_file.h"

namespace {

using korvex::engine::Bitmap24;
using korvex::engine::Rgb;
using korvex::engine::testing::BmpLayout;
using korvex::engine::testing::BuildBmp;

constexpr uint32_t kBitFields = 3;

void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

Bitmap24 Gradient(int width, int height) {
  Bitmap24 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap.SetPixel(x, y, static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
                      static_cast<uint8_t>((x + y) * 8));
    }
  }
  return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path bmp = std::filesystem::path(argv[1]) / "bmp";
  const std::filesystem::path jpeg = std::filesystem::path(argv[1]) / "jpeg";
  std::filesystem::create_directories(bmp);
  std::filesystem::create_directories(jpeg);

  const std::vector<std::vector<uint32_t>> colours = {{0xFF0000, 0x00FF00, 0x0000FF},
                                                      {0xFFFFFF, 0x000000, 0xFFFF00}};
  const std::vector<std::vector<uint32_t>> indices = {{0, 1, 2}, {3, 4, 5}};
  const std::vector<Rgb> palette = {{255, 0, 0},     {0, 255, 0}, {0, 0, 255},
                                    {255, 255, 255}, {0, 0, 0},   {255, 255, 0}};
  Write(bmp / "rgb24.bmp", BuildBmp({.bits = 24}, colours));
  Write(bmp / "rgb24_top_down.bmp", BuildBmp({.bits = 24, .top_down = true}, colours));
  Write(bmp / "rgb32.bmp",
        BuildBmp({.bits = 32}, {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0, 0xFFFF00}}));
  Write(bmp / "rgb555.bmp", BuildBmp({.bits = 16}, {{0x7C00, 0x03E0, 0x001F}, {0x7FFF, 0, 0}}));
  Write(bmp / "fields565.bmp",
        BuildBmp({.bits = 16, .compression = kBitFields, .masks = {0xF800, 0x07E0, 0x001F}},
                 {{0xF800, 0x07E0, 0x001F}, {0xFFFF, 0, 0xFFE0}}));
  Write(bmp / "fields_v5.bmp", BuildBmp({.header_bytes = 124,
                                         .bits = 32,
                                         .top_down = true,
                                         .compression = kBitFields,
                                         .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}},
                                        {{0x3FF00000, 0x000FFC00, 0x3FF}, {0x3FFFFFFF, 0, 0}}));
  Write(bmp / "palette8.bmp",
        BuildBmp({.bits = 8, .palette = palette, .colours_used = 6}, indices));
  Write(bmp / "palette4.bmp",
        BuildBmp({.bits = 4, .palette = palette, .colours_used = 6}, indices));
  Write(bmp / "palette1.bmp",
        BuildBmp({.bits = 1, .palette = {{10, 20, 30}, {200, 100, 50}}},
                 {{1, 0, 0, 1, 1, 0, 1, 0, 1, 1}, {0, 1, 0, 0, 1, 0, 1, 1, 0, 0}}));
  Write(bmp / "os2_palette8.bmp",
        BuildBmp({.header_bytes = 12, .bits = 8, .palette = palette}, indices));

  Write(jpeg / "colour.jpg", korvex::engine::EncodeJpeg(Gradient(16, 16), 75));
  Write(jpeg / "odd_size.jpg", korvex::engine::EncodeJpeg(Gradient(17, 9), 20));
  Write(jpeg / "one_pixel.jpg", korvex::engine::EncodeJpeg(Gradient(1, 1), 95));
  return 0;
}
