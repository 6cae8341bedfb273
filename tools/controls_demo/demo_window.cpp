#include "tools/controls_demo/demo_window.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace korvex::controls_demo {

namespace {

using controls::TThumbStyle;
using controls::TTickOrientation;
using controls::TTickStyle;
using controls::TTrackBar2;
using controls::TTrackStyle;

// Two columns of nine rows of captions and bars, then a vertical bar and the tracker.
constexpr int kMargin = 12;
constexpr int kCaptionWidth = 170;
constexpr int kBarWidth = 330;
constexpr int kBarHeight = 44;
constexpr int kRowPitch = 48;
constexpr int kRows = 9;
constexpr int kColumnPitch = kCaptionWidth + kBarWidth + 20;
constexpr int kBarsBottom = kMargin + kRows * kRowPitch;

constexpr QRect RowBounds(int column, int row) {
  return QRect(kMargin + column * kColumnPitch + kCaptionWidth, kMargin + row * kRowPitch,
               kBarWidth, kBarHeight);
}

constexpr QRect kVerticalBar(kMargin + 2 * kColumnPitch + 20, kMargin, 50, kBarsBottom - kMargin);
constexpr QRect kPicture(kVerticalBar.x() + kVerticalBar.width() + 40, kMargin, 240, 190);
constexpr QRect kTrackerBounds(40, 35, 150, 110);  // in the picture
constexpr QSize kWindowSize(kPicture.x() + kPicture.width() + kMargin, kBarsBottom + 30);

// A landscape, so that the tracker's inverting frame has something to show on.
QPixmap LandscapePicture(QSize size) {
  QPixmap picture(size);
  QPainter canvas(&picture);
  canvas.fillRect(0, 0, size.width(), size.height() / 2, QColor(135, 190, 235));
  canvas.fillRect(0, size.height() / 2, size.width(), size.height() - size.height() / 2,
                  QColor(70, 140, 60));
  canvas.setPen(Qt::NoPen);
  canvas.setBrush(QColor(250, 210, 60));
  canvas.drawEllipse(QPoint(size.width() * 3 / 4, size.height() / 4), 22, 22);
  return picture;
}

void DrawUserTrack(TTrackBar2* bar, QPainter& canvas) {
  canvas.fillRect(bar->Geometry().TrackRect(), kUserTrackColor);
}

// Triangles that point at the track from either side.
void DrawUserTick(TTrackBar2* bar, QPainter& canvas, int x, int y, int /*position*/) {
  const int last = y + bar->TickSize() - 1;
  const bool top_side = y < bar->height() / 2;
  QPolygon triangle;
  if (top_side) {
    triangle << QPoint(x - 3, y) << QPoint(x + 3, y) << QPoint(x, last);
  } else {
    triangle << QPoint(x - 3, last) << QPoint(x + 3, last) << QPoint(x, y);
  }
  canvas.setPen(kUserTickColor);
  canvas.setBrush(kUserTickColor);
  canvas.drawPolygon(triangle);
}

void DrawUserThumb(TTrackBar2* bar, QPainter& canvas, int x, int y) {
  canvas.setRenderHint(QPainter::Antialiasing);
  canvas.setPen(Qt::NoPen);
  canvas.setBrush(kUserThumbColor);
  canvas.drawEllipse(QRect(x, y, bar->ThumbSize(), bar->ThumbSize()));
}

}  // namespace

ControlsDemoWindow::ControlsDemoWindow() {
  setWindowTitle(QStringLiteral("Korvex controls"));
  setFixedSize(kWindowSize);

  const struct {
    const char* caption;
    TTrackStyle style;
  } track_rows[] = {{"Track: user drawn", TTrackStyle::trUserDrawn},
                    {"Track: flat", TTrackStyle::trFlat},
                    {"Track: raised", TTrackStyle::trRaised},
                    {"Track: lowered", TTrackStyle::trLowered}};
  int row = 0;
  for (const auto& [caption, style] : track_rows) {
    TTrackBar2* bar = AddBar(QString::fromLatin1(caption), RowBounds(0, row++));
    bar->SetTrackStyle(style);
    if (style == TTrackStyle::trUserDrawn) bar->OnDrawTrack = DrawUserTrack;
  }

  const struct {
    const char* caption;
    TTickStyle style;
  } tick_rows[] = {{"Ticks: user drawn", TTickStyle::tiUserDrawn},
                   {"Ticks: line", TTickStyle::tiLine},
                   {"Ticks: square", TTickStyle::tiSquare},
                   {"Ticks: raised square", TTickStyle::tiRaisedSquare},
                   {"Ticks: lowered square", TTickStyle::tiLoweredSquare}};
  for (const auto& [caption, style] : tick_rows) {
    TTrackBar2* bar = AddBar(QString::fromLatin1(caption), RowBounds(0, row++));
    bar->SetTickStyle(style);
    if (style == TTickStyle::tiUserDrawn) bar->OnDrawTick = DrawUserTick;
  }

  // The pointers show each direction: up (ticks on both sides or the top) and down.
  const struct {
    const char* caption;
    TThumbStyle style;
    TTickOrientation ticks;
  } thumb_rows[] = {
      {"Thumb: user drawn", TThumbStyle::tsUserDrawn, TTickOrientation::toBoth},
      {"Thumb: rectangle", TThumbStyle::tsRectangle, TTickOrientation::toBoth},
      {"Thumb: raised rectangle", TThumbStyle::tsRaisedRectangle, TTickOrientation::toBoth},
      {"Thumb: lowered rectangle", TThumbStyle::tsLoweredRectangle, TTickOrientation::toBoth},
      {"Thumb: small pointer", TThumbStyle::tsSmallPointer, TTickOrientation::toBoth},
      {"Thumb: medium pointer", TThumbStyle::tsMediumPointer, TTickOrientation::toBottomRight},
      {"Thumb: large pointer", TThumbStyle::tsLargePointer, TTickOrientation::toTopLeft}};
  row = 0;
  for (const auto& [caption, style, ticks] : thumb_rows) {
    TTrackBar2* bar = AddBar(QString::fromLatin1(caption), RowBounds(1, row++));
    bar->SetTickOrientation(ticks);
    bar->SetThumbStyle(style);
    if (style == TThumbStyle::tsUserDrawn) bar->OnDrawThumb = DrawUserThumb;
  }

  TTrackBar2* range = AddBar(QStringLiteral("Two thumbs"), RowBounds(1, row++));
  range->SetSecondThumb(true);
  range->SetPositionU(kDemoPositionU);

  TTrackBar2* disabled = AddBar(QStringLiteral("Disabled"), RowBounds(1, row++));
  disabled->setEnabled(false);

  TTrackBar2* vertical = AddBar(QString(), kVerticalBar);
  vertical->SetTickStyle(TTickStyle::tiLine);
  vertical->SetThumbStyle(TThumbStyle::tsMediumPointer);
  auto* vertical_caption = new QLabel(QStringLiteral("Vertical"), this);
  vertical_caption->setGeometry(kVerticalBar.x() - 20, kBarsBottom, kVerticalBar.width() + 40, 20);
  vertical_caption->setAlignment(Qt::AlignCenter);

  picture_ = new QLabel(this);
  picture_->setGeometry(kPicture);
  picture_->setPixmap(LandscapePicture(kPicture.size()));
  tracker_ = new controls::TRectTracker(picture_);
  tracker_->SetBounds(kTrackerBounds.x(), kTrackerBounds.y(), kTrackerBounds.width(),
                      kTrackerBounds.height());
  auto* tracker_caption = new QLabel(QStringLiteral("Rectangle tracker"), this);
  tracker_caption->setGeometry(kPicture.x(), kPicture.y() + kPicture.height() + 4, kPicture.width(),
                               20);
  tracker_caption->setAlignment(Qt::AlignCenter);
}

TTrackBar2* ControlsDemoWindow::AddBar(const QString& caption, const QRect& bounds) {
  if (!caption.isEmpty()) {
    auto* label = new QLabel(caption, this);
    label->setGeometry(bounds.x() - kCaptionWidth, bounds.y(), kCaptionWidth - 8, bounds.height());
  }
  auto* bar = new TTrackBar2(this);
  bar->setGeometry(bounds);
  bar->SetMax(kDemoMax);
  bar->SetPositionL(kDemoPositionL);
  bars_.push_back(bar);
  return bar;
}

}  // namespace korvex::controls_demo
