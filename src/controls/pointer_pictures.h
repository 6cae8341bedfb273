// The pointer thumbs, drawn here in place of bitmap resources: a pentagon whose tip points at
// the ticks, with a 3-D edge lit from the top left, and its mask.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

namespace korvex::controls {

enum class PointerSize { kSmall, kMedium, kLarge };
enum class PointerDirection { kUp, kDown, kLeft, kRight };

inline constexpr QColor kPointerFace(240, 240, 240);

// Up and down pointers are narrow and tall; left and right ones the same turned on their side.
QSize PointerPictureSize(PointerSize size, PointerDirection direction);

// The pointer on black, as a masked bitmap resource holds it (RGB32).
QImage DrawPointerPicture(PointerSize size, PointerDirection direction);

// A monochrome mask of the same size: index 1 (black) on the pointer, 0 (white) elsewhere.
QImage DrawPointerMask(PointerSize size, PointerDirection direction);

}  // namespace korvex::controls
