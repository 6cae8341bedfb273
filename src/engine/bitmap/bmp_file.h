// BMP pictures: the watermark pictures read and the snapshots written.
//
// The reader takes the BMP files that Windows and common tools write: 1, 4 and 8 bits per
// pixel with a palette (also shorter than the depth allows), 16 and 32 bits per pixel with the
// default channel layout or with bit-field masks of any width and position, and 24 bits per
// pixel; rows stored bottom-up or top-down; the OS/2 core header, the Windows info header and
// its later versions (V2 to V5). Every picture comes out as a Bitmap24; an alpha channel is
// dropped. RLE-compressed files and BMPs holding a JPEG or PNG picture are refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/bitmap/bitmap24.h"

namespace korvex::engine {

// Throws BitmapError "Cannot read the picture <path>: <reason>" for a file that cannot be
// read, is truncated or malformed, is larger than kMaxBitmapSide a side, or has a format
// the reader does not take.
Bitmap24 ReadBmpFile(const std::string& path);
// The same for a picture in memory; the message starts "Cannot decode the BMP picture".
Bitmap24 DecodeBmp(std::span<const uint8_t> bytes);

// A 24-bit bottom-up uncompressed BMP with the 54-byte header every viewer reads. Throws
// BitmapError for an empty bitmap.
std::vector<uint8_t> EncodeBmp(const Bitmap24& bitmap);
// Replaces the file atomically; throws BitmapError "Cannot write the picture <path>: <reason>".
void WriteBmpFile(const Bitmap24& bitmap, const std::string& path);

}  // namespace korvex::engine
