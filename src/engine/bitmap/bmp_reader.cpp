// Reading BMP files into 24-bit bitmaps. Every size and offset of the headers is checked
// against the bytes that are really there before anything is allocated, so a hostile file
// costs at most a bitmap as large as its own pixel data describes.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "engine/bitmap/picture_file.h"

namespace korvex::engine {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
// The info header versions whose first 40 bytes are the info header; from 52 bytes on
// (V2 and later) the red, green and blue masks follow them inside the header.
constexpr std::array<uint32_t, 5> kInfoHeaderVersions = {40, 52, 56, 108, 124};
constexpr uint32_t kMasksInHeaderFrom = 52;

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kJpeg = 4,
  kPng = 5,
};

std::string Hex(uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

// One colour channel of a 16- or 32-bit pixel: its mask, where it starts and how many bits
// it has. Its value widens to the nearest of 0..255, so that the channel's full value is 255
// whatever its width.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  uint8_t Widen(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint64_t value = (pixel & mask) >> shift;
    if (bits == 8) return static_cast<uint8_t>(value);
    const uint64_t max = (uint64_t{1} << bits) - 1;
    return static_cast<uint8_t>((value * 255 + max / 2) / max);
  }
};

// What the headers say about the picture, checked.
struct Layout {
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bits = 0;
  std::array<Channel, 3> channels;  // red, green, blue; for 16 and 32 bits per pixel
  std::vector<Rgb> palette;         // for 1, 4 and 8 bits per pixel
  size_t pixel_offset = 0;
  size_t row_bytes = 0;
};

class BmpReader {
 public:
  BmpReader(std::span<const uint8_t> bytes, std::string context)
      : bytes_(bytes), context_(std::move(context)) {}

  Bitmap24 Read() {
    ReadHeaders();
    CheckPixelData();
    Bitmap24 bitmap(layout_.width, layout_.height);
    for (int i = 0; i < layout_.height; ++i) {
      const uint8_t* source = bytes_.data() + layout_.pixel_offset + i * layout_.row_bytes;
      const int y = layout_.top_down ? i : layout_.height - 1 - i;
      ConvertRow(source, y, bitmap.Row(y));
    }
    return bitmap;
  }

 private:
  [[noreturn]] void Fail(const std::string& reason) const {
    throw BitmapError(context_ + ": " + reason);
  }

  void Need(size_t end) const {
    if (end > bytes_.size()) Fail("it is truncated: it ends inside its headers");
  }
  uint16_t U16(size_t at) const {
    Need(at + 2);
    return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  uint32_t U32(size_t at) const {
    Need(at + 4);
    return static_cast<uint32_t>(bytes_[at]) | static_cast<uint32_t>(bytes_[at + 1]) << 8 |
           static_cast<uint32_t>(bytes_[at + 2]) << 16 |
           static_cast<uint32_t>(bytes_[at + 3]) << 24;
  }

  void ReadHeaders() {
    Need(2);
    if (bytes_[0] != 'B' || bytes_[1] != 'M') {
      Fail("it is not a BMP picture (it does not start with \"BM\")");
    }
    const uint32_t pixel_offset = U32(10);
    const uint32_t header_bytes = U32(kFileHeaderBytes);
    size_t headers_end = kFileHeaderBytes + header_bytes;
    if (header_bytes == kCoreHeaderBytes) {
      ReadCoreHeader();
    } else if (std::find(kInfoHeaderVersions.begin(), kInfoHeaderVersions.end(), header_bytes) !=
               kInfoHeaderVersions.end()) {
      headers_end = ReadInfoHeader(header_bytes);
    } else {
      Fail("its header of " + std::to_string(header_bytes) +
           " bytes is not a BMP header this program reads");
    }
    Need(headers_end);

    if (pixel_offset < headers_end) {
      Fail("its pixel data offset " + std::to_string(pixel_offset) + " lies inside its headers");
    }
    if (pixel_offset > bytes_.size()) {
      Fail("its pixel data offset " + std::to_string(pixel_offset) + " lies beyond its end (" +
           std::to_string(bytes_.size()) + " bytes)");
    }
    layout_.pixel_offset = pixel_offset;
    if (layout_.bits <= 8) ReadPalette(headers_end, header_bytes == kCoreHeaderBytes ? 3 : 4);
  }

  // The OS/2 header: unsigned 16-bit sides, always bottom-up, no compression.
  void ReadCoreHeader() {
    CheckPlanes(U16(22));
    SetSize(U16(18), U16(20));
    SetDepth(U16(24), {1, 4, 8, 24});
  }

  // The Windows info header and its versions; returns where the headers end.
  size_t ReadInfoHeader(uint32_t header_bytes) {
    const auto width = static_cast<int32_t>(U32(18));
    const auto height = static_cast<int32_t>(U32(22));
    CheckPlanes(U16(26));
    SetSize(width, height);
    SetDepth(U16(28), {1, 4, 8, 16, 24, 32});
    const uint32_t compression = U32(30);
    colours_used_ = U32(46);

    size_t headers_end = kFileHeaderBytes + header_bytes;
    if (compression == kRgb) {
      if (layout_.bits == 16) SetChannels({0x7C00, 0x03E0, 0x001F});
      if (layout_.bits == 32) SetChannels({0xFF0000, 0x00FF00, 0x0000FF});
    } else if (compression == kBitFields) {
      if (layout_.bits != 16 && layout_.bits != 32) {
        Fail("its bit-field compression needs 16 or 32 bits per pixel, not " +
             std::to_string(layout_.bits));
      }
      constexpr size_t masks_at = kFileHeaderBytes + kInfoHeaderBytes;
      if (header_bytes < kMasksInHeaderFrom) headers_end += 12;
      SetChannels({U32(masks_at), U32(masks_at + 4), U32(masks_at + 8)});
    } else {
      FailCompression(compression);
    }
    return headers_end;
  }

  [[noreturn]] void FailCompression(uint32_t compression) const {
    switch (compression) {
      case kRle8:
        Fail("its RLE8 compression is not supported; save the picture uncompressed");
      case kRle4:
        Fail("its RLE4 compression is not supported; save the picture uncompressed");
      case kJpeg:
        Fail("it holds a JPEG picture, which BMP readers do not take");
      case kPng:
        Fail("it holds a PNG picture, which BMP readers do not take");
      default:
        Fail("its compression type " + std::to_string(compression) + " is not supported");
    }
  }

  void CheckPlanes(uint16_t planes) const {
    if (planes != 1) {
      Fail("its header gives " + std::to_string(planes) + " colour planes instead of 1");
    }
  }

  void SetSize(int64_t width, int64_t height) {
    const int64_t rows = height < 0 ? -height : height;
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height == 0) Fail("its size of " + size + " pixels is not a picture size");
    if (width > kMaxBitmapSide || rows > kMaxBitmapSide) {
      Fail("its size of " + size + " pixels is above the limit of " +
           std::to_string(kMaxBitmapSide) + " pixels a side");
    }
    layout_.width = static_cast<int>(width);
    layout_.height = static_cast<int>(rows);
    layout_.top_down = height < 0;
  }

  void SetDepth(int bits, std::initializer_list<int> supported) {
    if (std::find(supported.begin(), supported.end(), bits) == supported.end()) {
      Fail("its depth of " + std::to_string(bits) + " bits per pixel is not supported");
    }
    layout_.bits = bits;
    // Each row holds whole 32-bit words.
    layout_.row_bytes = (static_cast<size_t>(layout_.width) * bits + 31) / 32 * 4;
  }

  void SetChannels(const std::array<uint32_t, 3>& masks) {
    static const char* const kNames[] = {"red", "green", "blue"};
    for (size_t i = 0; i < masks.size(); ++i) {
      const uint32_t mask = masks[i];
      Channel& channel = layout_.channels[i];
      if (mask == 0) continue;  // the channel is absent and reads as 0
      if (layout_.bits == 16 && mask > 0xFFFF) {
        Fail(std::string("its ") + kNames[i] + " mask " + Hex(mask) +
             " does not fit in 16 bits per pixel");
      }
      channel.shift = std::countr_zero(mask);
      channel.bits = std::popcount(mask);
      if ((mask >> channel.shift) != (uint64_t{1} << channel.bits) - 1) {
        Fail(std::string("its ") + kNames[i] + " mask " + Hex(mask) + " is not one run of bits");
      }
      channel.mask = mask;
    }
  }

  // The palette lies between the headers and the pixel data. A palette may be shorter than
  // the depth allows: the info header says how long; in an OS/2 file it is as long as the
  // space before the pixel data, at most the depth's number of colours.
  void ReadPalette(size_t at, size_t entry_bytes) {
    const size_t depth_colours = size_t{1} << layout_.bits;
    size_t count = colours_used_;
    if (entry_bytes == 3) {
      count = std::min(depth_colours, (layout_.pixel_offset - at) / entry_bytes);
    } else if (count == 0) {
      count = depth_colours;
    } else if (count > depth_colours) {
      Fail("its palette of " + std::to_string(count) + " colours is larger than the " +
           std::to_string(depth_colours) + " of " + std::to_string(layout_.bits) +
           " bits per pixel");
    }
    if (count == 0)
      Fail("it has no palette for its " + std::to_string(layout_.bits) + " bits per pixel");
    const size_t end = at + count * entry_bytes;
    if (end > layout_.pixel_offset) {
      Fail("its palette of " + std::to_string(count) + " colours runs past the start of its " +
           "pixel data at offset " + std::to_string(layout_.pixel_offset));
    }
    layout_.palette.reserve(count);
    for (size_t p = at; p < end; p += entry_bytes) {
      layout_.palette.push_back(Rgb{bytes_[p + 2], bytes_[p + 1], bytes_[p]});
    }
  }

  // All rows must be there; only the padding of the last row may be missing, which some
  // writers leave out.
  void CheckPixelData() const {
    const size_t last_row = (static_cast<size_t>(layout_.width) * layout_.bits + 7) / 8;
    const size_t needed = layout_.row_bytes * (layout_.height - 1) + last_row;
    const size_t there = bytes_.size() - layout_.pixel_offset;
    if (needed > there) {
      Fail("it is truncated: its " + std::to_string(layout_.height) + " rows of " +
           std::to_string(layout_.width) + " pixels need " + std::to_string(needed) +
           " bytes from offset " + std::to_string(layout_.pixel_offset) + ", it has " +
           std::to_string(there));
    }
  }

  void ConvertRow(const uint8_t* source, int y, uint8_t* target) const {
    const int width = layout_.width;
    switch (layout_.bits) {
      case 24:
        std::memcpy(target, source, static_cast<size_t>(width) * 3);
        return;
      case 16:
        for (int x = 0; x < width; ++x, source += 2, target += 3) {
          Store(static_cast<uint32_t>(source[0] | source[1] << 8), target);
        }
        return;
      case 32:
        for (int x = 0; x < width; ++x, source += 4, target += 3) {
          Store(static_cast<uint32_t>(source[0]) | static_cast<uint32_t>(source[1]) << 8 |
                    static_cast<uint32_t>(source[2]) << 16 | static_cast<uint32_t>(source[3]) << 24,
                target);
        }
        return;
      default:
        ConvertIndexedRow(source, y, target);
    }
  }

  void Store(uint32_t pixel, uint8_t* target) const {
    target[0] = layout_.channels[2].Widen(pixel);
    target[1] = layout_.channels[1].Widen(pixel);
    target[2] = layout_.channels[0].Widen(pixel);
  }

  // Palette indices are packed from the high bits of each byte down.
  void ConvertIndexedRow(const uint8_t* source, int y, uint8_t* target) const {
    const int bits = layout_.bits;
    const int per_byte = 8 / bits;
    const unsigned index_mask = (1u << bits) - 1;
    for (int x = 0; x < layout_.width; ++x, target += 3) {
      const int shift = 8 - bits * (x % per_byte + 1);
      const unsigned index = (source[x / per_byte] >> shift) & index_mask;
      if (index >= layout_.palette.size()) {
        Fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") uses colour " +
             std::to_string(index) + " of a palette of " + std::to_string(layout_.palette.size()) +
             " colours");
      }
      const Rgb& colour = layout_.palette[index];
      target[0] = colour.b;
      target[1] = colour.g;
      target[2] = colour.r;
    }
  }

  std::span<const uint8_t> bytes_;
  std::string context_;
  Layout layout_;
  uint32_t colours_used_ = 0;
};

}  // namespace

Bitmap24 DecodeBmp(std::span<const uint8_t> bytes) {
  return BmpReader(bytes, "Cannot decode the BMP picture").Read();
}

Bitmap24 ReadBmpFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  return BmpReader(bytes, "Cannot read the picture " + path).Read();
}

}  // namespace korvex::engine
