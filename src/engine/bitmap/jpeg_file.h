// JPEG pictures through libjpeg: the snapshots written and the splash picture read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/bitmap/bitmap24.h"

namespace korvex::engine {

// Baseline JPEG with libjpeg's standard tables scaled to `quality`, clamped to 1..100.
// Throws BitmapError for an empty bitmap.
std::vector<uint8_t> EncodeJpeg(const Bitmap24& bitmap, int quality);
// Replaces the file atomically; throws BitmapError "Cannot write the picture <path>: <reason>".
void WriteJpegFile(const Bitmap24& bitmap, const std::string& path, int quality);

// Greyscale and colour (YCbCr or RGB) JPEGs, baseline or progressive, as 24-bit bitmaps.
// Throws BitmapError "Cannot read the picture <path>: <reason>" for a file that cannot be
// read, is not a JPEG, is truncated or corrupt beyond repair, has CMYK colours, or is larger
// than kMaxBitmapSide a side. Damage that libjpeg can repair is decoded as libjpeg repairs it.
Bitmap24 ReadJpegFile(const std::string& path);
// The same for a picture in memory; the message starts "Cannot decode the JPEG picture".
Bitmap24 DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace korvex::engine
