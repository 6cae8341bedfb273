// Decoding JPEGs into 24-bit bitmaps, with libjpeg writing blue-green-red rows straight into
// the bitmap's rows.
#include <memory>
#include <string>
#include <vector>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/jpeg_errors.h"
#include "engine/bitmap/jpeg_file.h"
#include "engine/bitmap/picture_file.h"

namespace korvex::engine {

namespace {

Bitmap24 Decode(std::span<const uint8_t> bytes, const std::string& context) {
  JpegErrors errors;
  jpeg_decompress_struct info{};  // zeroed, so destroying it before it was created is harmless
  info.err = InstallJpegErrors(errors);
  const std::unique_ptr<jpeg_decompress_struct, void (*)(j_decompress_ptr)> owner(
      &info, jpeg_destroy_decompress);
  const auto fail = [&](const std::string& reason) { throw BitmapError(context + ": " + reason); };

  if (!JpegGuarded(errors, [&] {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), bytes.size());
        jpeg_read_header(&info, TRUE);
      })) {
    fail(errors.message);
  }
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    fail("its CMYK colours are not supported");
  }
  if (info.image_width > kMaxBitmapSide || info.image_height > kMaxBitmapSide) {
    fail("its size of " + std::to_string(info.image_width) + " x " +
         std::to_string(info.image_height) + " pixels is above the limit of " +
         std::to_string(kMaxBitmapSide) + " pixels a side");
  }
  info.out_color_space = JCS_EXT_BGR;
  Bitmap24 bitmap(static_cast<int>(info.image_width), static_cast<int>(info.image_height));

  // Reading stops after the last row: what may follow it (markers up to the end of the
  // picture) does not change the pixels, and jpeg_destroy frees a decompressor in any state.
  if (!JpegGuarded(errors, [&] {
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
          JSAMPROW row = bitmap.Row(static_cast<int>(info.output_scanline));
          jpeg_read_scanlines(&info, &row, 1);
        }
      })) {
    fail(errors.message);
  }
  return bitmap;
}

}  // namespace

Bitmap24 DecodeJpeg(std::span<const uint8_t> bytes) {
  return Decode(bytes, "Cannot decode the JPEG picture");
}

Bitmap24 ReadJpegFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  return Decode(bytes, "Cannot read the picture " + path);
}

}  // namespace korvex::engine
