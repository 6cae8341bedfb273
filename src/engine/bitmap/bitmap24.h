// A device-independent 24-bit picture: rows top first, each pixel blue, green, red bytes, each
// row padded to a multiple of 4 bytes, as in a BMP file. The frame hook, the preview, the
// watermarks and the snapshots all hand pictures around in this form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace korvex::engine {

// The largest width and height of a bitmap, and of any picture the readers accept.
inline constexpr int kMaxBitmapSide = 16384;

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

class Bitmap24 {
 public:
  // An empty bitmap: 0 x 0 pixels.
  Bitmap24() = default;
  // A black bitmap. Throws BitmapError when a side is negative or above kMaxBitmapSide.
  Bitmap24(int width, int height);

  // Copies take the pixels, never the canvas lock: copying while the source's canvas is
  // locked (by this thread or another) is the caller's choice and does not deadlock.
  Bitmap24(const Bitmap24& other);
  Bitmap24& operator=(const Bitmap24& other);
  // A moved-from bitmap is empty.
  Bitmap24(Bitmap24&& other) noexcept;
  Bitmap24& operator=(Bitmap24&& other) noexcept;
  ~Bitmap24() = default;

  // Keeps the pixels when the size stays; a new size gives black pixels. A side that is
  // negative or above kMaxBitmapSide throws BitmapError and leaves the bitmap as it was.
  void SetSize(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Bytes from the start of one row to the next: width * 3 rounded up to a multiple of 4.
  int Stride() const { return stride_; }
  // True when the bitmap has no pixels (either side 0).
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Row y, 0 at the top; y must lie in [0, Height()).
  uint8_t* Row(int y);
  const uint8_t* Row(int y) const;
  // All rows one after the other, Stride() bytes each; null for an empty bitmap.
  uint8_t* Data() { return pixels_.empty() ? nullptr : pixels_.data(); }
  const uint8_t* Data() const { return pixels_.empty() ? nullptr : pixels_.data(); }
  // Stride() * Height().
  size_t SizeBytes() const { return pixels_.size(); }

  // One pixel, for tests and small tools; throws std::out_of_range outside the bitmap.
  Rgb Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b);

  // The lock of the bitmap's canvas: callers on several threads hold it while they draw on
  // the bitmap or read it. The bitmap's own functions never take it.
  std::mutex& Canvas() const { return canvas_; }

  // Same size and same pixels; the row padding does not count.
  friend bool operator==(const Bitmap24& a, const Bitmap24& b);

 private:
  void CheckInside(int x, int y) const;

  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<uint8_t> pixels_;
  mutable std::mutex canvas_;
};

// The row length of a 24-bit picture of this width: width * 3 rounded up to a multiple of 4.
constexpr int Stride24(int width) { return (width * 3 + 3) & ~3; }

}  // namespace korvex::engine
