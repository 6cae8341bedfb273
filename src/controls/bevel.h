// Classic 3-D edges: one-pixel frames and the two-pixel raised or lowered bevel shared by the
// track and the rectangle thumbs.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace korvex::controls {

constexpr QColor kSilver(192, 192, 192);
constexpr QColor kGrey(128, 128, 128);

// A one-pixel frame along the inside of `rect`: the left and top edges in `top_left`, the
// right and bottom edges in `bottom_right` (which owns the top-right corner).
void DrawFrame(QPainter& canvas, const QRect& rect, const QColor& top_left,
               const QColor& bottom_right);

// Two frames: the outer one white and black, the inner one silver and grey; a lowered bevel
// swaps the colours of each frame.
void DrawBevel(QPainter& canvas, const QRect& rect, bool raised);

}  // namespace korvex::controls
