// TTrackBar2: the slider of every seek, volume and range bar. It draws its own track, ticks
// and thumbs (or lets its owner draw them through events), can carry a second thumb so that
// it selects a range, and works with whole-number positions only.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "controls/mouse_event.h"
#include "controls/track_bar_geometry.h"
#include "controls/track_bar_types.h"

namespace korvex::controls {

class TTrackBar2 : public QWidget {
 public:
  // A horizontal bar of 500 x 50 pixels with the range 0..20, taking focus by tab and click.
  explicit TTrackBar2(QWidget* parent = nullptr);

  // Range and positions. Setting a position to the value it has does nothing; any other value
  // is stored, clamped, announced by OnChange and shown.
  int Max() const { return max_; }
  // Lowers PositionU to the new maximum when it lies above it, without OnChange.
  void SetMax(int value);
  int Min() const { return min_; }
  // Raises PositionL to the new minimum when it lies below it, without OnChange.
  void SetMin(int value);
  int PositionL() const { return position_l_; }
  // Kept below PositionU while the second thumb is shown, else within Min..Max.
  void SetPositionL(int value);
  int PositionU() const { return position_u_; }
  // Kept at most Max, and above PositionL; there is no lower clamp.
  void SetPositionU(int value);
  int SmallChange() const { return small_change_; }
  void SetSmallChange(int value) { small_change_ = value; }
  int LargeChange() const { return large_change_; }
  void SetLargeChange(int value) { large_change_ = value; }
  bool SecondThumb() const { return second_thumb_; }
  void SetSecondThumb(bool value);
  // A thumb is being dragged with the left button.
  bool TrackingL() const { return tracking_l_; }
  bool TrackingU() const { return tracking_u_; }

  // Look. Orientation follows the shape at every resize (vertical when taller than wide).
  TOrientation Orientation() const { return orientation_; }
  void SetOrientation(TOrientation value);
  int TrackSize() const { return track_size_; }
  void SetTrackSize(int value);
  TTrackStyle TrackStyle() const { return track_style_; }
  void SetTrackStyle(TTrackStyle value);
  QColor TrackColor() const { return track_color_; }
  void SetTrackColor(const QColor& value);
  int TickSize() const { return tick_size_; }
  void SetTickSize(int value);
  TTickStyle TickStyle() const { return tick_style_; }
  // Choosing tiLine also makes the ticks black.
  void SetTickStyle(TTickStyle value);
  QColor TickColor() const { return tick_color_; }
  void SetTickColor(const QColor& value);
  TTickOrientation TickOrientation() const { return tick_orientation_; }
  void SetTickOrientation(TTickOrientation value);
  // The value step between ticks; below 1 the bar draws no ticks.
  int TickInterval() const { return tick_interval_; }
  void SetTickInterval(int value);
  // A pointer style replaces it with its picture's length along the track.
  int ThumbSize() const { return thumb_size_; }
  void SetThumbSize(int value);
  TThumbStyle ThumbStyle() const { return thumb_style_; }
  void SetThumbStyle(TThumbStyle value);
  QColor ThumbColor() const { return thumb_color_; }
  void SetThumbColor(const QColor& value);
  // A disabled bar shows its thumbs dithered.
  bool DitherThumb() const { return dither_thumb_; }
  void SetDitherThumb(bool value);
  // The 3-D look (on when created): turning it on lowers the track and raises a flat or
  // lowered rectangle thumb.
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool value);

  // Derived geometry, for painting, pointer presses and owners that draw parts themselves.
  TrackBarGeometry Geometry() const;
  int ThumbOffset() const;
  int TrackLength() const { return Geometry().TrackLength(); }
  int TrackOrigin() const { return Geometry().TrackOrigin(); }
  QSize ThumbPictureSize() const { return thumb_picture_size_; }
  // What a press hits to drag a thumb; empty at the origin for user-drawn thumbs.
  QRect ThumbRectL() const { return ThumbRect(position_l_); }
  QRect ThumbRectU() const { return ThumbRect(position_u_); }

  std::function<void(TTrackBar2* sender)> OnChange;
  // At the start of every paint.
  std::function<void(TTrackBar2* sender)> OnPaint;
  std::function<void(TTrackBar2* sender, QPainter& canvas)> OnDrawTrack;
  // (x, y): the top-left corner of the thumb's place; once per thumb.
  std::function<void(TTrackBar2* sender, QPainter& canvas, int x, int y)> OnDrawThumb;
  // (x, y): the tick's centre along the track and its edge across it; position: its value.
  std::function<void(TTrackBar2* sender, QPainter& canvas, int x, int y, int position)> OnDrawTick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  // A left-button press and release on the bar.
  std::function<void(TTrackBar2* sender)> OnClick;
  std::function<void(TTrackBar2* sender, int key, Qt::KeyboardModifiers shift)> OnKeyDown;
  std::function<void(TTrackBar2* sender)> OnEnter;
  std::function<void(TTrackBar2* sender)> OnExit;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Thumb { kLower, kUpper };

  // Rebuilds the thumb picture after a change of its style, size, colour or direction.
  void UpdateThumbPicture();
  QRect ThumbRect(int value) const;
  int Position(Thumb thumb) const;
  void SetPosition(Thumb thumb, int value);
  // Whether a press on a two-thumb bar concerns the upper thumb.
  bool PressConcernsUpper(QPoint pointer) const;
  // A left-button press that concerns `thumb`: drag it, jump to the pointer or step.
  void PressThumb(Thumb thumb, QPoint pointer, int pointer_value, bool shift);
  // -1, 0 or 1: whether `pointer` lies on the side of lower values, over the thumb or beyond.
  int SideOfThumb(Thumb thumb, QPoint pointer) const;

  // Painting, in track_bar2_painting.cpp.
  void DrawTrack(QPainter& canvas, const TrackBarGeometry& geometry);
  void DrawTicks(QPainter& canvas, const TrackBarGeometry& geometry);
  void DrawTick(QPainter& canvas, QPoint at, int value);
  void DrawThumbs(QPainter& canvas, const TrackBarGeometry& geometry);
  void DrawMidpointLine(QPainter& canvas, const TrackBarGeometry& geometry);
  QImage ThumbPictureToDraw() const;

  int max_ = 20;
  int min_ = 0;
  int position_l_ = 0;
  int position_u_ = 10;
  int small_change_ = 1;
  int large_change_ = 2;
  bool second_thumb_ = false;
  bool tracking_l_ = false;
  bool tracking_u_ = false;
  bool left_pressed_ = false;  // a left-button press began on the bar, for OnClick

  TOrientation orientation_ = TOrientation::trHorizontal;
  int track_size_ = 10;
  TTrackStyle track_style_ = TTrackStyle::trLowered;
  QColor track_color_ = Qt::white;
  int tick_size_ = 6;
  TTickStyle tick_style_ = TTickStyle::tiRaisedSquare;
  QColor tick_color_;
  TTickOrientation tick_orientation_ = TTickOrientation::toBoth;
  int tick_interval_ = 1;
  int thumb_size_ = 20;
  TThumbStyle thumb_style_ = TThumbStyle::tsRaisedRectangle;
  QColor thumb_color_;
  bool dither_thumb_ = true;
  bool ctl3d_ = true;

  // The thumb as drawn (pointers already masked), its unmasked face and mask for dithering.
  QImage thumb_picture_;
  QImage thumb_face_;
  QImage thumb_mask_;
  QSize thumb_picture_size_;
};

}  // namespace korvex::controls
