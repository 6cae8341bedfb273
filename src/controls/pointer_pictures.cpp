#include "controls/pointer_pictures.h"

#include <cstdlib>
#include <utility>

#include "controls/bevel.h"

namespace korvex::controls {

namespace {

// Width along the track (odd, so that the tip has a centre column) and length across it.
QSize UpPointerSize(PointerSize size) {
  switch (size) {
    case PointerSize::kSmall:
      return {9, 14};
    case PointerSize::kMedium:
      return {11, 20};
    case PointerSize::kLarge:
      return {15, 26};
  }
  return {};
}

bool IsVertical(PointerDirection direction) {
  return direction == PointerDirection::kLeft || direction == PointerDirection::kRight;
}

// The pointer as a shape: the tip is a 45-degree point on a rectangular body.
class PointerShape {
 public:
  PointerShape(PointerSize size, PointerDirection direction)
      : direction_(direction), up_size_(UpPointerSize(size)) {}

  QSize Size() const { return IsVertical(direction_) ? up_size_.transposed() : up_size_; }

  bool Contains(int x, int y) const {
    const QSize size = Size();
    if (x < 0 || y < 0 || x >= size.width() || y >= size.height()) return false;
    // u runs along the track, t across it starting at the tip.
    int u = x;
    int t = y;
    switch (direction_) {
      case PointerDirection::kUp:
        break;
      case PointerDirection::kDown:
        t = size.height() - 1 - y;
        break;
      case PointerDirection::kLeft:
        u = y;
        t = x;
        break;
      case PointerDirection::kRight:
        u = y;
        t = size.width() - 1 - x;
        break;
    }
    return t >= std::abs(u - up_size_.width() / 2);
  }

 private:
  PointerDirection direction_;
  QSize up_size_;
};

enum class Edge { kNone, kLit, kShaded };

// Edge pixels face away from the shape; those facing the top left catch the light.
Edge EdgeAt(const PointerShape& shape, int x, int y) {
  if (!shape.Contains(x, y)) return Edge::kNone;
  int normal_x = 0;
  int normal_y = 0;
  bool outside_neighbour = false;
  constexpr std::pair<int, int> kNeighbours[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  for (const auto& [dx, dy] : kNeighbours) {
    if (shape.Contains(x + dx, y + dy)) continue;
    outside_neighbour = true;
    normal_x += dx;
    normal_y += dy;
  }
  if (!outside_neighbour) return Edge::kNone;
  return normal_x + normal_y < 0 ? Edge::kLit : Edge::kShaded;
}

}  // namespace

QSize PointerPictureSize(PointerSize size, PointerDirection direction) {
  return PointerShape(size, direction).Size();
}

QImage DrawPointerPicture(PointerSize size, PointerDirection direction) {
  const PointerShape shape(size, direction);
  QImage picture(shape.Size(), QImage::Format_RGB32);
  picture.fill(Qt::black);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (!shape.Contains(x, y)) continue;
      QColor colour = kPointerFace;
      switch (EdgeAt(shape, x, y)) {
        case Edge::kLit:
          colour = Qt::white;
          break;
        case Edge::kShaded:
          colour = Qt::black;
          break;
        case Edge::kNone:
          // The ring inside a shaded edge is the soft shadow.
          if (EdgeAt(shape, x + 1, y) == Edge::kShaded ||
              EdgeAt(shape, x, y + 1) == Edge::kShaded) {
            colour = kGrey;
          }
          break;
      }
      picture.setPixel(x, y, colour.rgb());
    }
  }
  return picture;
}

QImage DrawPointerMask(PointerSize size, PointerDirection direction) {
  const PointerShape shape(size, direction);
  QImage mask(shape.Size(), QImage::Format_Mono);
  mask.setColorTable({QColor(Qt::white).rgb(), QColor(Qt::black).rgb()});
  mask.fill(0);
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) {
      if (shape.Contains(x, y)) mask.setPixel(x, y, 1);
    }
  }
  return mask;
}

}  // namespace korvex::controls
