#include "controls/track_bar2.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "controls/thumb_pictures.h"

namespace korvex::controls {

namespace {

constexpr int kCreatedWidth = 500;
constexpr int kCreatedHeight = 50;

TOrientation OrientationOfShape(QSize size) {
  return size.height() > size.width() ? TOrientation::trVertical : TOrientation::trHorizontal;
}

}  // namespace

TTrackBar2::TTrackBar2(QWidget* parent) : QWidget(parent) {
  const QColor button_face = palette().color(QPalette::Button);
  tick_color_ = button_face;
  thumb_color_ = button_face;
  setFocusPolicy(Qt::TabFocus);  // a press takes the focus itself, after OnMouseDown
  setMouseTracking(true);        // OnMouseMove also reports moves without a button held
  setAutoFillBackground(true);   // what the bar does not draw shows the window colour
  resize(kCreatedWidth, kCreatedHeight);
  orientation_ = OrientationOfShape(size());
  UpdateThumbPicture();
}

void TTrackBar2::SetMax(int value) {
  max_ = value;
  if (position_u_ > max_) position_u_ = max_;
  update();
}

void TTrackBar2::SetMin(int value) {
  min_ = value;
  if (position_l_ < min_) position_l_ = min_;
  update();
}

void TTrackBar2::SetPositionL(int value) {
  if (value == position_l_) return;
  position_l_ = value;
  if (second_thumb_ && position_l_ >= position_u_) {
    position_l_ = position_u_ - 1;
  } else if (position_l_ > max_) {
    position_l_ = max_;
  } else if (position_l_ < min_) {
    position_l_ = min_;
  }
  if (OnChange) OnChange(this);
  update();
}

void TTrackBar2::SetPositionU(int value) {
  if (value == position_u_) return;
  position_u_ = value;
  if (position_u_ > max_) {
    position_u_ = max_;
  } else if (position_l_ >= position_u_) {
    position_u_ = position_l_ + 1;
  }
  if (OnChange) OnChange(this);
  update();
}

void TTrackBar2::SetSecondThumb(bool value) {
  second_thumb_ = value;
  update();
}

void TTrackBar2::SetOrientation(TOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  UpdateThumbPicture();
  update();
}

void TTrackBar2::SetTrackSize(int value) {
  track_size_ = value;
  update();
}

void TTrackBar2::SetTrackStyle(TTrackStyle value) {
  track_style_ = value;
  update();
}

void TTrackBar2::SetTrackColor(const QColor& value) {
  track_color_ = value;
  update();
}

void TTrackBar2::SetTickSize(int value) {
  tick_size_ = value;
  update();
}

void TTrackBar2::SetTickStyle(TTickStyle value) {
  tick_style_ = value;
  if (value == TTickStyle::tiLine) tick_color_ = Qt::black;
  update();
}

void TTrackBar2::SetTickColor(const QColor& value) {
  tick_color_ = value;
  update();
}

void TTrackBar2::SetTickOrientation(TTickOrientation value) {
  tick_orientation_ = value;
  UpdateThumbPicture();
  update();
}

void TTrackBar2::SetTickInterval(int value) {
  tick_interval_ = value;
  update();
}

void TTrackBar2::SetThumbSize(int value) {
  thumb_size_ = value;
  UpdateThumbPicture();
  update();
}

void TTrackBar2::SetThumbStyle(TThumbStyle value) {
  thumb_style_ = value;
  UpdateThumbPicture();
  update();
}

void TTrackBar2::SetThumbColor(const QColor& value) {
  thumb_color_ = value;
  UpdateThumbPicture();
  update();
}

void TTrackBar2::SetDitherThumb(bool value) {
  dither_thumb_ = value;
  update();
}

void TTrackBar2::SetCtl3D(bool value) {
  const bool turned_on = value && !ctl3d_;
  ctl3d_ = value;
  if (!turned_on) return;
  track_style_ = TTrackStyle::trLowered;
  if (thumb_style_ == TThumbStyle::tsRectangle || thumb_style_ == TThumbStyle::tsLoweredRectangle) {
    thumb_style_ = TThumbStyle::tsRaisedRectangle;
  }
  UpdateThumbPicture();
  update();
}

int TTrackBar2::ThumbOffset() const {
  return IsRectangleThumb(thumb_style_) ? thumb_size_ / 4 : thumb_size_ / 2;
}

TrackBarGeometry TTrackBar2::Geometry() const {
  TrackBarShape shape;
  shape.orientation = orientation_;
  shape.control = size();
  shape.thumb_size = thumb_size_;
  shape.thumb_offset = ThumbOffset();
  shape.thumb_picture = thumb_picture_size_;
  shape.track_size = track_size_;
  shape.min = min_;
  shape.max = max_;
  return TrackBarGeometry(shape);
}

void TTrackBar2::UpdateThumbPicture() {
  const bool horizontal = orientation_ == TOrientation::trHorizontal;
  thumb_mask_ = QImage();
  if (IsPointerThumb(thumb_style_)) {
    const QString name = PointerResourceName(thumb_style_, orientation_, tick_orientation_);
    thumb_face_ = LoadThumbResource(name);
    thumb_mask_ = LoadThumbResource(name + QStringLiteral("MASK"));
    thumb_picture_size_ = thumb_face_.size();
    thumb_size_ = horizontal ? thumb_face_.width() : thumb_face_.height();
  } else if (IsRectangleThumb(thumb_style_)) {
    // Half as thick along the track as across it.
    thumb_picture_size_ =
        horizontal ? QSize(thumb_size_ / 2, thumb_size_) : QSize(thumb_size_, thumb_size_ / 2);
    thumb_face_ = RectangleThumbPicture(thumb_style_, thumb_picture_size_, thumb_color_);
  } else {
    thumb_picture_size_ = QSize(thumb_size_, thumb_size_);
    thumb_face_ = QImage();
  }
  thumb_picture_ = thumb_face_.isNull() ? QImage() : ApplyMask(thumb_face_, thumb_mask_);
}

QRect TTrackBar2::ThumbRect(int value) const {
  if (thumb_style_ == TThumbStyle::tsUserDrawn) return {};
  return QRect(Geometry().ThumbPosition(value), thumb_picture_size_);
}

int TTrackBar2::Position(Thumb thumb) const {
  return thumb == Thumb::kUpper ? position_u_ : position_l_;
}

void TTrackBar2::SetPosition(Thumb thumb, int value) {
  if (thumb == Thumb::kUpper) {
    SetPositionU(value);
  } else {
    SetPositionL(value);
  }
}

void TTrackBar2::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  orientation_ = OrientationOfShape(size());
  UpdateThumbPicture();
  update();
}

void TTrackBar2::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();
}

void TTrackBar2::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
  if (OnEnter) OnEnter(this);
}

void TTrackBar2::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
  if (OnExit) OnExit(this);
}

bool TTrackBar2::PressConcernsUpper(QPoint pointer) const {
  const QRect lower = ThumbRectL();
  const QRect upper = ThumbRectU();
  // Halfway across the gap between the two thumbs; user-drawn thumbs have empty rectangles
  // at the origin, so there every press beyond the origin concerns the upper thumb.
  if (orientation_ == TOrientation::trHorizontal) {
    const int middle = (lower.x() + lower.width() + upper.x()) / 2;
    return pointer.x() > middle;
  }
  const int middle = (upper.y() + upper.height() + lower.y()) / 2;
  return pointer.y() < middle;
}

int TTrackBar2::SideOfThumb(Thumb thumb, QPoint pointer) const {
  const bool horizontal = orientation_ == TOrientation::trHorizontal;
  const QPoint corner = Geometry().ThumbPosition(Position(thumb));
  const int start = horizontal ? corner.x() : corner.y();
  const int length = horizontal ? thumb_picture_size_.width() : thumb_picture_size_.height();
  const int along = horizontal ? pointer.x() : pointer.y();
  int side = 0;
  if (along < start) side = -1;
  if (along >= start + length) side = 1;
  // Values grow upwards on a vertical bar.
  return horizontal ? side : -side;
}

void TTrackBar2::PressThumb(Thumb thumb, QPoint pointer, int pointer_value, bool shift) {
  if (ThumbRect(Position(thumb)).contains(pointer)) {
    (thumb == Thumb::kUpper ? tracking_u_ : tracking_l_) = true;
  } else if (!shift) {
    SetPosition(thumb, pointer_value);
  } else if (const int side = SideOfThumb(thumb, pointer); side != 0) {
    SetPosition(thumb, Position(thumb) + side * small_change_);
  }
}

void TTrackBar2::mousePressEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  if (OnMouseDown) {
    OnMouseDown(this, event->button(), event->modifiers(), pointer.x(), pointer.y());
  }
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  left_pressed_ = true;
  // An empty range (or no room for a track) has no value to pick.
  const std::optional<int> value = Geometry().ValueAt(pointer);
  if (!value) return;
  const Thumb thumb = second_thumb_ && PressConcernsUpper(pointer) ? Thumb::kUpper : Thumb::kLower;
  PressThumb(thumb, pointer, *value, event->modifiers() & Qt::ShiftModifier);
}

void TTrackBar2::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  if (tracking_l_ || tracking_u_) {
    if (const std::optional<int> value = Geometry().ValueAt(pointer)) {
      SetPosition(tracking_u_ ? Thumb::kUpper : Thumb::kLower, *value);
    }
  }
  if (OnMouseMove) {
    OnMouseMove(this, event->buttons(), event->modifiers(), pointer.x(), pointer.y());
  }
}

void TTrackBar2::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pointer = event->position().toPoint();
  const bool click = event->button() == Qt::LeftButton && left_pressed_ && rect().contains(pointer);
  if (event->button() == Qt::LeftButton) {
    tracking_l_ = false;
    tracking_u_ = false;
    left_pressed_ = false;
  }
  if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), pointer.x(), pointer.y());
  if (click && OnClick) OnClick(this);
}

void TTrackBar2::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) OnKeyDown(this, event->key(), event->modifiers());
  int step = 0;
  switch (event->key()) {
    case Qt::Key_PageUp:
      step = large_change_;
      break;
    case Qt::Key_PageDown:
      step = -large_change_;
      break;
    case Qt::Key_Up:
    case Qt::Key_Right:
      step = small_change_;
      break;
    case Qt::Key_Left:
    case Qt::Key_Down:
      step = -small_change_;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  const bool upper = second_thumb_ && (event->modifiers() & Qt::ShiftModifier);
  const Thumb thumb = upper ? Thumb::kUpper : Thumb::kLower;
  SetPosition(thumb, Position(thumb) + step);
}

}  // namespace korvex::controls
