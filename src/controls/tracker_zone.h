// The parts of a rectangle tracker that a press can grab: eight sizing handles, the inner
// area that moves it, or nothing. Coordinates are the tracker's own.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <array>

namespace korvex::controls {

enum class TTrackerZone {
  tzNone,
  tzTopLeft,
  tzBottomRight,
  tzBottomLeft,
  tzTopRight,
  tzLeft,
  tzRight,
  tzTop,
  tzBottom,
  tzMove,
};

inline constexpr int kTrackerHandleSize = 5;
// The dotted frame and the moving area sit this far inside the bounds.
inline constexpr int kTrackerInset = 2;

// Where a 5-pixel handle centred on a side of n pixels starts.
constexpr int HandleStart(int n) { return (n + 1) / 2 - 3; }

struct TrackerHandle {
  QRect rect;
  TTrackerZone zone;
};

// The eight handles, the corners and the middle of each side, in the order in which a press
// tests them: the corners win over the sides.
std::array<TrackerHandle, 8> TrackerHandles(QSize size);

// The inner rectangle (2, 2)-(width - 2, height - 2).
QRect InnerRect(QSize size);

// The zone under `point`: a handle, else the inner area, else none.
TTrackerZone TrackerZoneAt(QSize size, QPoint point);

// The platform's standard sizing cursor for a zone.
Qt::CursorShape ZoneCursor(TTrackerZone zone);

}  // namespace korvex::controls
