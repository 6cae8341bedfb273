#include "controls/tracker_zone.h"

namespace korvex::controls {

namespace {

QRect Handle(int left, int top) { return QRect(left, top, kTrackerHandleSize, kTrackerHandleSize); }

}  // namespace

std::array<TrackerHandle, 8> TrackerHandles(QSize size) {
  const int far_x = size.width() - kTrackerHandleSize;
  const int far_y = size.height() - kTrackerHandleSize;
  const int middle_x = HandleStart(size.width());
  const int middle_y = HandleStart(size.height());
  return {{
      {Handle(0, 0), TTrackerZone::tzTopLeft},
      {Handle(far_x, far_y), TTrackerZone::tzBottomRight},
      {Handle(0, far_y), TTrackerZone::tzBottomLeft},
      {Handle(far_x, 0), TTrackerZone::tzTopRight},
      {Handle(0, middle_y), TTrackerZone::tzLeft},
      {Handle(far_x, middle_y), TTrackerZone::tzRight},
      {Handle(middle_x, 0), TTrackerZone::tzTop},
      {Handle(middle_x, far_y), TTrackerZone::tzBottom},
  }};
}

QRect InnerRect(QSize size) {
  return QRect(kTrackerInset, kTrackerInset, size.width() - 2 * kTrackerInset,
               size.height() - 2 * kTrackerInset);
}

TTrackerZone TrackerZoneAt(QSize size, QPoint point) {
  for (const TrackerHandle& handle : TrackerHandles(size)) {
    if (handle.rect.contains(point)) return handle.zone;
  }
  return InnerRect(size).contains(point) ? TTrackerZone::tzMove : TTrackerZone::tzNone;
}

Qt::CursorShape ZoneCursor(TTrackerZone zone) {
  switch (zone) {
    case TTrackerZone::tzTopLeft:
    case TTrackerZone::tzBottomRight:
      return Qt::SizeFDiagCursor;
    case TTrackerZone::tzBottomLeft:
    case TTrackerZone::tzTopRight:
      return Qt::SizeBDiagCursor;
    case TTrackerZone::tzLeft:
    case TTrackerZone::tzRight:
      return Qt::SizeHorCursor;
    case TTrackerZone::tzTop:
    case TTrackerZone::tzBottom:
      return Qt::SizeVerCursor;
    case TTrackerZone::tzMove:
      return Qt::SizeAllCursor;
    case TTrackerZone::tzNone:
      break;
  }
  return Qt::ArrowCursor;
}

}  // namespace korvex::controls
