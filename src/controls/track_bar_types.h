// The value types of TTrackBar2's published properties.
#pragma once

namespace korvex::controls {

enum class TOrientation { trHorizontal, trVertical };

enum class TTrackStyle { trUserDrawn, trFlat, trRaised, trLowered };

enum class TTickStyle { tiUserDrawn, tiLine, tiSquare, tiRaisedSquare, tiLoweredSquare };

// Which side(s) of the track carry the ticks: top or left, bottom or right, or both.
enum class TTickOrientation { toTopLeft, toBottomRight, toBoth };

enum class TThumbStyle {
  tsUserDrawn,
  tsRectangle,
  tsRaisedRectangle,
  tsLoweredRectangle,
  tsSmallPointer,
  tsMediumPointer,
  tsLargePointer,
};

// Rectangle thumbs are drawn by the bar at any size; pointer thumbs are fixed pictures.
constexpr bool IsRectangleThumb(TThumbStyle style) {
  return style == TThumbStyle::tsRectangle || style == TThumbStyle::tsRaisedRectangle ||
         style == TThumbStyle::tsLoweredRectangle;
}

constexpr bool IsPointerThumb(TThumbStyle style) {
  return style == TThumbStyle::tsSmallPointer || style == TThumbStyle::tsMediumPointer ||
         style == TThumbStyle::tsLargePointer;
}

}  // namespace korvex::controls
