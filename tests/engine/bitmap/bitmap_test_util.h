// Helpers of the bitmap tests: pictures from pixel lists, readable failure output, files.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/bitmap/bitmap24.h"

namespace korvex::engine {

// gtest prints a bitmap that differs as its size and its pixels, row by row.
void PrintTo(const Bitmap24& bitmap, std::ostream* out);

namespace testing {

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kYellow{255, 255, 0};

// A bitmap `width` pixels wide holding `pixels`, row by row from the top.
Bitmap24 Picture(int width, const std::vector<Rgb>& pixels);

// A bitmap of fixed pseudo-random pixels (the same for the same seed).
Bitmap24 NoisePicture(int width, int height, uint32_t seed);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace testing
}  // namespace korvex::engine
