#include "engine/bitmap/bitmap24.h"

#include <cassert>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/bitmap/bitmap_error.h"

namespace korvex::engine {

namespace {

void CheckSides(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
    throw BitmapError("Cannot make a bitmap of " + std::to_string(width) + " x " +
                      std::to_string(height) + " pixels: each side must lie between 0 and " +
                      std::to_string(kMaxBitmapSide));
  }
}

}  // namespace

Bitmap24::Bitmap24(int width, int height) { SetSize(width, height); }

Bitmap24::Bitmap24(const Bitmap24& other)
    : width_(other.width_),
      height_(other.height_),
      stride_(other.stride_),
      pixels_(other.pixels_) {}

Bitmap24& Bitmap24::operator=(const Bitmap24& other) {
  if (this != &other) {
    pixels_ = other.pixels_;
    width_ = other.width_;
    height_ = other.height_;
    stride_ = other.stride_;
  }
  return *this;
}

Bitmap24::Bitmap24(Bitmap24&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      stride_(std::exchange(other.stride_, 0)),
      pixels_(std::exchange(other.pixels_, {})) {}

Bitmap24& Bitmap24::operator=(Bitmap24&& other) noexcept {
  if (this != &other) {
    pixels_ = std::exchange(other.pixels_, {});
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    stride_ = std::exchange(other.stride_, 0);
  }
  return *this;
}

void Bitmap24::SetSize(int width, int height) {
  CheckSides(width, height);
  if (width == width_ && height == height_) return;
  const int stride = Stride24(width);
  // assign() reuses the buffer's capacity when the new picture is not larger.
  pixels_.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
  width_ = width;
  height_ = height;
  stride_ = stride;
}

uint8_t* Bitmap24::Row(int y) {
  assert(y >= 0 && y < height_);
  return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
}

const uint8_t* Bitmap24::Row(int y) const {
  assert(y >= 0 && y < height_);
  return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
}

void Bitmap24::CheckInside(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw std::out_of_range("Pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") lies outside the bitmap of " + std::to_string(width_) + " x " +
                            std::to_string(height_) + " pixels");
  }
}

Rgb Bitmap24::Pixel(int x, int y) const {
  CheckInside(x, y);
  const uint8_t* p = Row(y) + 3 * x;
  return Rgb{p[2], p[1], p[0]};
}

void Bitmap24::SetPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  CheckInside(x, y);
  uint8_t* p = Row(y) + 3 * x;
  p[0] = b;
  p[1] = g;
  p[2] = r;
}

bool operator==(const Bitmap24& a, const Bitmap24& b) {
  if (a.width_ != b.width_ || a.height_ != b.height_) return false;
  const size_t row_bytes = static_cast<size_t>(a.width_) * 3;
  for (int y = 0; y < a.height_; ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), row_bytes) != 0) return false;
  }
  return true;
}

}  // namespace korvex::engine
