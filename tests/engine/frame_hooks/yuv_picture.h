// A small yuv420p picture in plain vectors, with rows wider than the picture, the way decoders
// pad them. Every visible byte differs from its neighbours, so a change to the wrong plane or
// the wrong bytes shows.
#pragma once

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <cstdint>
#include <vector>

namespace korvex::engine {

class YuvPicture {
 public:
  YuvPicture(int width, int height);
  YuvPicture(const YuvPicture&) = delete;
  YuvPicture& operator=(const YuvPicture&) = delete;

  static constexpr AVPixelFormat kFormat = AV_PIX_FMT_YUV420P;
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint8_t* const* Data() { return data_; }
  const int* Linesize() const { return linesize_; }

  // The visible size of plane 0 (luma), 1 or 2 (chroma).
  int PlaneWidth(int plane) const;
  int PlaneHeight(int plane) const;
  uint8_t At(int plane, int x, int y) const { return planes_[plane][y * linesize_[plane] + x]; }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> planes_[3];
  uint8_t* data_[4] = {};
  int linesize_[4] = {};
};

}  // namespace korvex::engine
