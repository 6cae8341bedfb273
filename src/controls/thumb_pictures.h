// The pictures of the thumbs: pointer pictures looked up by resource name, as the bar asks
// for them, and rectangle thumbs drawn at the bar's thumb size.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include "controls/track_bar_types.h"

namespace korvex::controls {

// "SM", "MED" or "LG" by the pointer's size, then "UP" or "DOWN" on a horizontal bar and "LEFT"
// or "RIGHT" on a vertical one (the tip points at the ticks; ticks on both sides count as top
// or left), then "THUMB"; for example "MEDDOWNTHUMB". Empty for a style that is no pointer.
QString PointerResourceName(TThumbStyle style, TOrientation orientation,
                            TTickOrientation tick_orientation);

// The pointer picture of that name, or its mask when the name ends in "MASK"
// ("SMUPTHUMBMASK"). A null image for a name that is not one of the twelve pointers.
QImage LoadThumbResource(const QString& name);

// A rectangle thumb filled with `color`: a black outline for tsRectangle, a two-pixel bevel
// for tsRaisedRectangle and tsLoweredRectangle.
QImage RectangleThumbPicture(TThumbStyle style, QSize size, const QColor& color);

// The picture as ARGB with every pixel outside the mask transparent; a null mask keeps all.
QImage ApplyMask(const QImage& picture, const QImage& mask);

}  // namespace korvex::controls
