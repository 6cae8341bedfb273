// Encoding 24-bit bitmaps as JPEGs: libjpeg reads the blue-green-red rows as they are and
// writes into a growing byte vector.
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/jpeg_errors.h"
#include "engine/bitmap/jpeg_file.h"
#include "engine/bitmap/picture_file.h"

namespace korvex::engine {

namespace {

constexpr size_t kFirstOutputBytes = 64 * 1024;

// libjpeg's output: it fills the free end of `bytes` and asks for more when that is full.
struct VectorDestination {
  jpeg_destination_mgr manager{};  // first: libjpeg's pointer to it is a pointer to the whole
  std::vector<uint8_t> bytes;
};

VectorDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<VectorDestination*>(info->dest);
}

// Adds `extra` bytes for libjpeg to fill. Called from inside libjpeg, so a failed allocation
// is reported through the error manager rather than by an exception.
void Grow(j_compress_ptr info, size_t extra) {
  VectorDestination& destination = DestinationOf(info);
  const size_t used = destination.bytes.size();
  bool grown = false;
  try {
    destination.bytes.resize(used + extra);
    grown = true;
  } catch (const std::bad_alloc&) {
  }
  if (!grown) {
    info->err->msg_code = JERR_OUT_OF_MEMORY;
    info->err->msg_parm.i[0] = 0;
    (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
  }
  destination.manager.next_output_byte = destination.bytes.data() + used;
  destination.manager.free_in_buffer = extra;
}

void StartOutput(j_compress_ptr info) { Grow(info, kFirstOutputBytes); }

// Called when the buffer is full: doubles it.
boolean ContinueOutput(j_compress_ptr info) {
  Grow(info, DestinationOf(info).bytes.size());
  return TRUE;
}

void EndOutput(j_compress_ptr info) {
  VectorDestination& destination = DestinationOf(info);
  destination.bytes.resize(destination.bytes.size() - destination.manager.free_in_buffer);
}

std::vector<uint8_t> Encode(const Bitmap24& bitmap, int quality, const std::string& context) {
  if (bitmap.Empty()) {
    throw BitmapError(context + ": the bitmap of " + std::to_string(bitmap.Width()) + " x " +
                      std::to_string(bitmap.Height()) + " pixels is empty");
  }
  JpegErrors errors;
  VectorDestination destination;
  destination.manager.init_destination = StartOutput;
  destination.manager.empty_output_buffer = ContinueOutput;
  destination.manager.term_destination = EndOutput;
  jpeg_compress_struct info{};  // zeroed, so destroying it before it was created is harmless
  info.err = InstallJpegErrors(errors);
  const std::unique_ptr<jpeg_compress_struct, void (*)(j_compress_ptr)> owner(
      &info, jpeg_destroy_compress);

  if (!JpegGuarded(errors, [&] {
        jpeg_create_compress(&info);
        info.dest = &destination.manager;
        info.image_width = static_cast<JDIMENSION>(bitmap.Width());
        info.image_height = static_cast<JDIMENSION>(bitmap.Height());
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
          // libjpeg only reads the rows it is given, though its row type is not const.
          JSAMPROW row = const_cast<uint8_t*>(bitmap.Row(static_cast<int>(info.next_scanline)));
          jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
      })) {
    throw BitmapError(context + ": " + errors.message);
  }
  return std::move(destination.bytes);
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Bitmap24& bitmap, int quality) {
  return Encode(bitmap, quality, "Cannot encode the JPEG picture");
}

void WriteJpegFile(const Bitmap24& bitmap, const std::string& path, int quality) {
  WritePictureFile(path, Encode(bitmap, quality, "Cannot write the picture " + path));
}

}  // namespace korvex::engine
