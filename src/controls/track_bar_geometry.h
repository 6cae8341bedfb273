// Where a track bar draws its track, thumbs and ticks, and which value a pointer position
// stands for. Pure arithmetic on the bar's size and properties, so every caller (painting,
// mouse, owners that draw the bar themselves) sees the same numbers.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

#include "controls/track_bar_types.h"

namespace korvex::controls {

struct TrackBarShape {
  TOrientation orientation = TOrientation::trHorizontal;
  QSize control;         // the bar's size
  int thumb_size = 20;   // ThumbSize: the room a thumb takes along the track
  int thumb_offset = 5;  // ThumbOffset: from a thumb picture's leading edge to its centre
  QSize thumb_picture;   // the thumb picture's size, which centres it across the track
  int track_size = 10;   // the track's thickness
  int min = 0;
  int max = 20;
};

// Along the track, a horizontal bar counts from the left edge with values growing to the
// right; a vertical bar counts from the top with values growing upwards. All divisions
// truncate toward zero, after the multiplication, in 64 bits.
class TrackBarGeometry {
 public:
  explicit TrackBarGeometry(const TrackBarShape& shape) : shape_(shape) {}

  // False when Max equals Min: such a bar has no positions to show or pick.
  bool HasRange() const { return shape_.max != shape_.min; }

  // The room the thumbs' leading edges travel in: the bar's length less one thumb.
  int TrackLength() const;
  // Where the leading edge of a thumb at Min (vertical: at Max) sits.
  int TrackOrigin() const;
  // The track runs between the centres of the thumbs at Min and at Max.
  QRect TrackRect() const;

  // The top-left corner of the thumb picture of `value`.
  QPoint ThumbPosition(int value) const;
  // The centre of the thumb of `value` along the track, where its ticks sit.
  int ThumbCentre(int value) const;
  // The value at a pointer position; none for an empty range or a bar without room for a track.
  std::optional<int> ValueAt(QPoint pointer) const;

 private:
  bool Horizontal() const { return shape_.orientation == TOrientation::trHorizontal; }
  int Length() const;  // the control's extent along the track
  int Across() const;  // the control's extent across it
  int LeadingEdge(int value) const;

  TrackBarShape shape_;
};

}  // namespace korvex::controls
