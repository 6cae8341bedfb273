#include "controls/track_bar_geometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace korvex::controls {

namespace {

int ClampToInt(int64_t value) {
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

int TrackBarGeometry::Length() const {
  return Horizontal() ? shape_.control.width() : shape_.control.height();
}

int TrackBarGeometry::Across() const {
  return Horizontal() ? shape_.control.height() : shape_.control.width();
}

int TrackBarGeometry::TrackLength() const { return Length() - shape_.thumb_size; }

int TrackBarGeometry::TrackOrigin() const { return shape_.thumb_size / 2 - shape_.thumb_offset; }

QRect TrackBarGeometry::TrackRect() const {
  const int start = TrackOrigin() + shape_.thumb_offset;
  const int length = std::max(0, TrackLength());
  const int half_thickness = shape_.track_size / 2;
  const int top = Across() / 2 - half_thickness;
  return Horizontal() ? QRect(start, top, length, 2 * half_thickness)
                      : QRect(top, start, 2 * half_thickness, length);
}

int TrackBarGeometry::LeadingEdge(int value) const {
  if (!HasRange()) return TrackOrigin();
  const int64_t range = int64_t{shape_.max} - shape_.min;
  const int64_t steps = Horizontal() ? int64_t{value} - shape_.min : int64_t{shape_.max} - value;
  return ClampToInt(int64_t{TrackLength()} * steps / range + TrackOrigin());
}

QPoint TrackBarGeometry::ThumbPosition(int value) const {
  const int along = LeadingEdge(value);
  if (Horizontal()) {
    return {along, shape_.control.height() / 2 - shape_.thumb_picture.height() / 2};
  }
  return {shape_.control.width() / 2 - shape_.thumb_picture.width() / 2, along};
}

int TrackBarGeometry::ThumbCentre(int value) const {
  return LeadingEdge(value) + shape_.thumb_offset;
}

std::optional<int> TrackBarGeometry::ValueAt(QPoint pointer) const {
  if (!HasRange() || TrackLength() <= 0) return std::nullopt;
  const int64_t range = int64_t{shape_.max} - shape_.min;
  const int64_t along = Horizontal() ? pointer.x() : pointer.y();
  const int64_t steps = (along - shape_.thumb_offset) * range / TrackLength();
  return ClampToInt(Horizontal() ? shape_.min + steps : shape_.max - steps);
}

}  // namespace korvex::controls
