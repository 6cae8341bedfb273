// Whole picture files in and out of memory, for the BMP and JPEG readers and writers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvex::engine {

// The largest picture file read: a 32-bit BMP of the largest bitmap with its headers.
inline constexpr size_t kMaxPictureFileBytes = (size_t{1} << 30) + (size_t{1} << 20);

// The whole file. Throws BitmapError "Cannot read the picture <path>: <reason>" when it
// cannot be read or is larger than kMaxPictureFileBytes.
std::vector<uint8_t> ReadPictureFile(const std::string& path);

// Replaces the file with `bytes` atomically: they go to a new file in the same folder, which
// is then renamed over `path`, so a failed write never leaves a partial picture behind.
// Throws BitmapError "Cannot write the picture <path>: <system's reason>".
void WritePictureFile(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace korvex::engine
