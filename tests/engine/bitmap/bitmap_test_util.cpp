#include "bitmap_test_util.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <random>

namespace korvex::engine {

void PrintTo(const Bitmap24& bitmap, std::ostream* out) {
  *out << bitmap.Width() << " x " << bitmap.Height() << " pixels";
  if (bitmap.Width() * bitmap.Height() > 64) return;
  for (int y = 0; y < bitmap.Height(); ++y) {
    *out << "\n ";
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Rgb p = bitmap.Pixel(x, y);
      *out << " " << std::hex << std::setfill('0') << std::setw(2) << int{p.r} << std::setw(2)
           << int{p.g} << std::setw(2) << int{p.b} << std::dec;
    }
  }
}

namespace testing {

Bitmap24 Picture(int width, const std::vector<Rgb>& pixels) {
  const int height = static_cast<int>(pixels.size()) / width;
  Bitmap24 bitmap(width, height);
  for (int i = 0; i < width * height; ++i) {
    const Rgb& p = pixels[i];
    bitmap.SetPixel(i % width, i / width, p.r, p.g, p.b);
  }
  return bitmap;
}

Bitmap24 NoisePicture(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  Bitmap24 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 3; ++x) bitmap.Row(y)[x] = static_cast<uint8_t>(random());
  }
  return bitmap;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace testing
}  // namespace korvex::engine
