#include "yuv_picture.h"

#include <cstddef>

namespace korvex::engine {

namespace {
constexpr int kRowPadding = 5;
}  // namespace

YuvPicture::YuvPicture(int width, int height) : width_(width), height_(height) {
  for (int plane = 0; plane < 3; ++plane) {
    linesize_[plane] = PlaneWidth(plane) + kRowPadding;
    planes_[plane].resize(linesize_[plane] * PlaneHeight(plane));
    for (std::size_t i = 0; i < planes_[plane].size(); ++i) {
      planes_[plane][i] = static_cast<uint8_t>(plane * 80 + i);
    }
    data_[plane] = planes_[plane].data();
  }
}

int YuvPicture::PlaneWidth(int plane) const { return plane == 0 ? width_ : (width_ + 1) / 2; }

int YuvPicture::PlaneHeight(int plane) const { return plane == 0 ? height_ : (height_ + 1) / 2; }

}  // namespace korvex::engine
