#include "controls/rect_tracker.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace korvex::controls {

namespace {

constexpr int kCreatedSize = 65;
constexpr int kMinimumSize = 10;
// A carried control sits this far inside the tracker's bounds.
constexpr int kCarriedMargin = 5;

// Every other pixel of the frame (2, 2)-(width - 2, height - 2), each pixel once, so that the
// inverting pen never undoes itself at a corner.
QPolygon DottedFramePixels(QSize size) {
  const int left = kTrackerInset;
  const int top = kTrackerInset;
  const int right = size.width() - kTrackerInset - 1;
  const int bottom = size.height() - kTrackerInset - 1;
  QPolygon pixels;
  auto add = [&pixels](int x, int y) {
    if ((x + y) % 2 == 0) pixels << QPoint(x, y);
  };
  for (int x = left; x <= right; ++x) {
    add(x, top);
    if (bottom != top) add(x, bottom);
  }
  for (int y = top + 1; y < bottom; ++y) {
    add(left, y);
    if (right != left) add(right, y);
  }
  return pixels;
}

}  // namespace

TCustomRectTracker::TCustomRectTracker(QWidget* parent) : QWidget(parent) {
  setMinimumSize(kMinimumSize, kMinimumSize);
  setMouseTracking(true);  // the cursor follows the zone under the pointer
  resize(kCreatedSize, kCreatedSize);
}

void TCustomRectTracker::SetBounds(int left, int top, int width, int height) {
  setGeometry(left, top, std::max(width, kMinimumSize), std::max(height, kMinimumSize));
}

QRect TCustomRectTracker::TrackRect() const { return InnerRect(size()).translated(pos()); }

void TCustomRectTracker::SetAcControl(QWidget* control) {
  if (control == this) return;
  ac_control_ = control;
  if (!control) return;
  placing_tracker_ = true;
  const QRect around = control->geometry().adjusted(-kCarriedMargin, -kCarriedMargin,
                                                    kCarriedMargin, kCarriedMargin);
  SetBounds(around.x(), around.y(), around.width(), around.height());
  placing_tracker_ = false;
}

void TCustomRectTracker::PlaceCarriedControl() {
  if (!ac_control_ || placing_tracker_) return;
  ac_control_->setGeometry(
      geometry().adjusted(kCarriedMargin, kCarriedMargin, -kCarriedMargin, -kCarriedMargin));
}

void TCustomRectTracker::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  PlaceCarriedControl();
}

void TCustomRectTracker::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceCarriedControl();
}

void TCustomRectTracker::paintEvent(QPaintEvent* /*event*/) {
  QPainter canvas(this);
  // The frame inverts what lies beneath, so it shows on any picture.
  canvas.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
  canvas.setPen(QPen(Qt::black, 0));
  canvas.drawPoints(DottedFramePixels(size()));
  canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (const TrackerHandle& handle : TrackerHandles(size())) {
    canvas.fillRect(handle.rect, Qt::black);
  }
}

void TCustomRectTracker::mousePressEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    press_bounds_ = geometry();
    last_ = pointer;
    zone_ = TrackerZoneAt(size(), pointer);
  }
  if (OnMouseDown) {
    OnMouseDown(this, event->button(), event->modifiers(), pointer.x(), pointer.y());
  }
}

void TCustomRectTracker::Drag(QPoint pointer) {
  const int dx = pointer.x() - last_.x();
  const int dy = pointer.y() - last_.y();
  int left = x();
  int top = y();
  int w = width();
  int h = height();
  // An inward move of the left or top edge stops at the minimum size, leaving the opposite
  // edge where it is. The tracker then moves under the pointer, so the last point stays.
  auto move_left_edge = [&] {
    const int step = std::min(dx, w - kMinimumSize);
    left += step;
    w -= step;
  };
  auto move_top_edge = [&] {
    const int step = std::min(dy, h - kMinimumSize);
    top += step;
    h -= step;
  };
  switch (zone_) {
    case TTrackerZone::tzLeft:
      move_left_edge();
      break;
    case TTrackerZone::tzRight:
      w += dx;
      last_.setX(pointer.x());
      break;
    case TTrackerZone::tzTop:
      move_top_edge();
      break;
    case TTrackerZone::tzBottom:
      h += dy;
      last_.setY(pointer.y());
      break;
    case TTrackerZone::tzTopLeft:
      move_left_edge();
      move_top_edge();
      break;
    case TTrackerZone::tzTopRight:
      w += dx;
      move_top_edge();
      last_.setX(pointer.x());
      break;
    case TTrackerZone::tzBottomLeft:
      move_left_edge();
      h += dy;
      last_.setY(pointer.y());
      break;
    case TTrackerZone::tzBottomRight:
      w += dx;
      h += dy;
      last_ = pointer;
      break;
    case TTrackerZone::tzMove:
      left += dx;
      top += dy;
      break;
    case TTrackerZone::tzNone:
      return;
  }
  SetBounds(left, top, w, h);
}

void TCustomRectTracker::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  const QPoint origin_before = pos();
  Drag(pointer);
  // The zone under the pointer as the tracker lies now.
  setCursor(ZoneCursor(TrackerZoneAt(size(), pointer + origin_before - pos())));
  if (OnMouseMove) {
    OnMouseMove(this, event->buttons(), event->modifiers(), pointer.x(), pointer.y());
  }
}

void TCustomRectTracker::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  const bool left_button = event->button() == Qt::LeftButton;
  std::optional<QRect> press_bounds;
  if (left_button) {
    last_ = QPoint(-1, -1);
    zone_ = TTrackerZone::tzNone;
    press_bounds.swap(press_bounds_);
  }
  if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), pointer.x(), pointer.y());
  if (press_bounds && *press_bounds != geometry() && OnChange) OnChange(this, TrackRect());
}

}  // namespace korvex::controls
