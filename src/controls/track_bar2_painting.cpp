// How TTrackBar2 paints itself: the track, the ticks and the thumbs, in that order, each one
// either drawn here in its style or handed to the owner's drawing event. Qt paints the whole
// bar into its backing store every time, so no thumb background needs to be saved.
#include <QBrush>
#include <QPaintEvent>
#include <cstdint>
#include <utility>

#include "controls/bevel.h"
#include "controls/dither.h"
#include "controls/thumb_pictures.h"
#include "controls/track_bar2.h"

namespace korvex::controls {

namespace {

// Keeps the owner's pen, brush and other settings from leaking into the bar's own drawing.
class SavedPainterState {
 public:
  explicit SavedPainterState(QPainter& canvas) : canvas_(canvas) { canvas_.save(); }
  ~SavedPainterState() { canvas_.restore(); }
  SavedPainterState(const SavedPainterState&) = delete;
  SavedPainterState& operator=(const SavedPainterState&) = delete;

 private:
  QPainter& canvas_;
};

// Ticks keep this distance from the bar's edges.
constexpr int kTickMargin = 2;

}  // namespace

void TTrackBar2::paintEvent(QPaintEvent* /*event*/) {
  if (OnPaint) OnPaint(this);
  QPainter canvas(this);
  const TrackBarGeometry geometry = Geometry();
  DrawTrack(canvas, geometry);
  // An empty range has no positions: the track stays empty.
  if (!geometry.HasRange()) return;
  DrawTicks(canvas, geometry);
  DrawThumbs(canvas, geometry);
}

void TTrackBar2::DrawTrack(QPainter& canvas, const TrackBarGeometry& geometry) {
  if (track_style_ == TTrackStyle::trUserDrawn) {
    if (OnDrawTrack) {
      SavedPainterState saved(canvas);
      OnDrawTrack(this, canvas);
    }
    return;
  }
  const QRect track = geometry.TrackRect();
  if (isEnabled()) {
    canvas.fillRect(track, track_color_);
  } else {
    // The brush tiles from the bar's origin, so neighbouring pixels always alternate.
    canvas.fillRect(track, QBrush(DitherPattern(track_color_)));
  }
  if (track_style_ == TTrackStyle::trRaised || track_style_ == TTrackStyle::trLowered) {
    DrawBevel(canvas, track, track_style_ == TTrackStyle::trRaised);
  }
}

void TTrackBar2::DrawTicks(QPainter& canvas, const TrackBarGeometry& geometry) {
  if (tick_interval_ < 1) return;
  const bool horizontal = orientation_ == TOrientation::trHorizontal;
  const int across = horizontal ? height() : width();
  // Which sides carry ticks, and where across the bar each side's ticks start.
  const std::pair<bool, int> sides[] = {
      {tick_orientation_ != TTickOrientation::toBottomRight, kTickMargin},
      {tick_orientation_ != TTickOrientation::toTopLeft, across - tick_size_ - kTickMargin}};
  // 64 bits, so that the last step cannot overflow near the top of the int range.
  for (int64_t value = min_; value <= max_; value += tick_interval_) {
    const int centre = geometry.ThumbCentre(static_cast<int>(value));
    for (const auto& [wanted, edge] : sides) {
      if (!wanted) continue;
      const QPoint at = horizontal ? QPoint(centre, edge) : QPoint(edge, centre);
      DrawTick(canvas, at, static_cast<int>(value));
    }
  }
}

void TTrackBar2::DrawTick(QPainter& canvas, QPoint at, int value) {
  const bool horizontal = orientation_ == TOrientation::trHorizontal;
  if (tick_style_ == TTickStyle::tiUserDrawn) {
    if (OnDrawTick) {
      SavedPainterState saved(canvas);
      OnDrawTick(this, canvas, at.x(), at.y(), value);
    }
    return;
  }
  if (tick_style_ == TTickStyle::tiLine) {
    // A line of TickSize pixels leading away from the bar's edge.
    canvas.fillRect(
        horizontal ? QRect(at.x(), at.y(), 1, tick_size_) : QRect(at.x(), at.y(), tick_size_, 1),
        tick_color_);
    return;
  }
  const int half = tick_size_ / 2;
  const QRect square = horizontal ? QRect(at.x() - half, at.y(), tick_size_, tick_size_)
                                  : QRect(at.x(), at.y() - half, tick_size_, tick_size_);
  canvas.fillRect(square, tick_color_);
  switch (tick_style_) {
    case TTickStyle::tiSquare:
      DrawFrame(canvas, square, Qt::black, Qt::black);
      break;
    case TTickStyle::tiRaisedSquare:
      DrawFrame(canvas, square, Qt::white, kGrey);
      break;
    case TTickStyle::tiLoweredSquare:
      DrawFrame(canvas, square, kGrey, Qt::white);
      break;
    default:
      break;
  }
}

void TTrackBar2::DrawThumbs(QPainter& canvas, const TrackBarGeometry& geometry) {
  const QPoint lower = geometry.ThumbPosition(position_l_);
  const QPoint upper = geometry.ThumbPosition(position_u_);
  if (thumb_style_ == TThumbStyle::tsUserDrawn) {
    if (!OnDrawThumb) return;
    SavedPainterState saved(canvas);
    OnDrawThumb(this, canvas, lower.x(), lower.y());
    if (second_thumb_) OnDrawThumb(this, canvas, upper.x(), upper.y());
    return;
  }
  const QImage picture = ThumbPictureToDraw();
  canvas.drawImage(lower, picture);
  if (!second_thumb_) return;
  canvas.drawImage(upper, picture);
  DrawMidpointLine(canvas, geometry);
}

void TTrackBar2::DrawMidpointLine(QPainter& canvas, const TrackBarGeometry& geometry) {
  const int middle = (geometry.ThumbCentre(position_l_) + geometry.ThumbCentre(position_u_)) / 2;
  const QRect track = geometry.TrackRect();
  const QRect line = orientation_ == TOrientation::trHorizontal
                         ? QRect(middle, track.y(), 1, track.height())
                         : QRect(track.x(), middle, track.width(), 1);
  canvas.fillRect(line, Qt::black);
}

QImage TTrackBar2::ThumbPictureToDraw() const {
  if (isEnabled() || !dither_thumb_ || thumb_face_.isNull()) return thumb_picture_;
  QImage face = thumb_face_.copy();
  FloodFillWithPattern(face, QPoint(face.width() / 2, face.height() / 2),
                       DitherPattern(track_color_));
  return ApplyMask(face, thumb_mask_);
}

}  // namespace korvex::controls
