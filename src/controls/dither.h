// The dither pattern of a disabled bar: its track is filled with it, and its thumbs are
// flood-filled with it around their centre.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

namespace korvex::controls {

inline constexpr int kDitherSize = 8;

// An 8 x 8 picture of the track colour in which every pixel whose row and column add up to
// an odd number is grey on a silver track and silver on any other.
QImage DitherPattern(const QColor& track_color);

// Replaces the 4-connected area that has the colour of `seed` with the pattern, tiled from
// the image's top-left corner. A seed outside the image changes nothing.
void FloodFillWithPattern(QImage& image, QPoint seed, const QImage& pattern);

}  // namespace korvex::controls
