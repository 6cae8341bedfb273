// Runs korvex-controls-demo --render into a PNG and checks the colours of every style in it.
// The same window, laid out in this process, tells where each bar and the tracker sit.
#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <QProcess>
#include <QTemporaryDir>
#include <string>

#include "controls/bevel.h"
#include "controls/pointer_pictures.h"
#include "test_window.h"
#include "tools/controls_demo/demo_window.h"

namespace korvex::controls {
namespace {

using controls_demo::ControlsDemoWindow;

class ControlsDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    const QString png = folder_.filePath("demo.png");
    QProcess demo;
    demo.start(QStringLiteral(KORVEX_CONTROLS_DEMO), {"--render", png});
    ASSERT_TRUE(demo.waitForFinished(60000)) << "the demo did not finish";
    ASSERT_EQ(demo.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    ASSERT_TRUE(image_.load(png));
    image_ = image_.convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(ShowAndWait(window_));
  }

  // The colour of the rendered window at a point of `widget`.
  std::string At(QWidget* widget, QPoint point) const {
    return ColourAt(image_, widget->mapTo(&window_, point));
  }

  // A point on the track of `bar` between the ticks of 9 and 10, clear of any thumb.
  static int ClearAlong(TTrackBar2* bar) {
    const TrackBarGeometry geometry = bar->Geometry();
    return (geometry.ThumbCentre(9) + geometry.ThumbCentre(10)) / 2;
  }

  QTemporaryDir folder_;
  QImage image_;
  ControlsDemoWindow window_;
};

TEST_F(ControlsDemoTest, RendersEveryStyleInItsColours) {
  ASSERT_EQ(image_.size(), window_.size());
  int drawn_pointers = 0;
  for (TTrackBar2* bar : window_.Bars()) {
    const TrackBarGeometry geometry = bar->Geometry();
    const QRect track = geometry.TrackRect();
    const bool horizontal = bar->Orientation() == TOrientation::trHorizontal;
    auto track_point = [&](int across) {
      const int along = ClearAlong(bar);
      return horizontal ? QPoint(along, track.y() + across) : QPoint(track.x() + across, along);
    };
    const int last = (horizontal ? track.height() : track.width()) - 1;

    SCOPED_TRACE("bar " + std::to_string(bar->x()) + ", " + std::to_string(bar->y()));
    if (!bar->isEnabled()) {
      // The dither pattern: the track colour and silver side by side.
      const QPoint p = track_point(last / 2);
      const bool odd = (p.x() + p.y()) % 2 == 1;
      EXPECT_EQ(At(bar, p), Hex(odd ? kSilver : bar->TrackColor()));
      EXPECT_EQ(At(bar, p + QPoint(1, 0)), Hex(odd ? bar->TrackColor() : kSilver));
    } else {
      switch (bar->TrackStyle()) {
        case TTrackStyle::trUserDrawn:
          EXPECT_EQ(At(bar, track_point(last / 2)), Hex(controls_demo::kUserTrackColor));
          break;
        case TTrackStyle::trFlat:
          EXPECT_EQ(At(bar, track_point(0)), Hex(bar->TrackColor()));
          EXPECT_EQ(At(bar, track_point(last)), Hex(bar->TrackColor()));
          break;
        case TTrackStyle::trRaised:
          EXPECT_EQ(At(bar, track_point(0)), Hex(Qt::white));
          EXPECT_EQ(At(bar, track_point(1)), Hex(kSilver));
          EXPECT_EQ(At(bar, track_point(last)), Hex(Qt::black));
          break;
        case TTrackStyle::trLowered:
          EXPECT_EQ(At(bar, track_point(0)), Hex(Qt::black));
          EXPECT_EQ(At(bar, track_point(1)), Hex(kGrey));
          EXPECT_EQ(At(bar, track_point(last)), Hex(Qt::white));
          break;
      }
    }

    // The first tick of value 1 (clear of the thumb at 3), on the top or left side.
    if (bar->TickOrientation() != TTickOrientation::toBottomRight) {
      const int centre = geometry.ThumbCentre(1);
      auto tick_point = [&](int along, int across) {
        return horizontal ? QPoint(centre + along, 2 + across) : QPoint(2 + across, centre + along);
      };
      const int half = bar->TickSize() / 2;
      const int size = bar->TickSize();
      switch (bar->TickStyle()) {
        case TTickStyle::tiUserDrawn:
          EXPECT_EQ(At(bar, tick_point(0, 1)), Hex(controls_demo::kUserTickColor));
          break;
        case TTickStyle::tiLine:
          EXPECT_EQ(At(bar, tick_point(0, 0)), Hex(Qt::black));
          EXPECT_EQ(At(bar, tick_point(0, size - 1)), Hex(Qt::black));
          EXPECT_EQ(At(bar, tick_point(1, 2)), Hex(bar->palette().color(QPalette::Window)));
          break;
        case TTickStyle::tiSquare:
          EXPECT_EQ(At(bar, tick_point(-half, 0)), Hex(Qt::black));
          EXPECT_EQ(At(bar, tick_point(0, half)), Hex(bar->TickColor()));
          break;
        case TTickStyle::tiRaisedSquare:
          EXPECT_EQ(At(bar, tick_point(-half, 0)), Hex(Qt::white));
          EXPECT_EQ(At(bar, tick_point(size - half - 1, size - 1)), Hex(kGrey));
          break;
        case TTickStyle::tiLoweredSquare:
          EXPECT_EQ(At(bar, tick_point(-half, 0)), Hex(kGrey));
          EXPECT_EQ(At(bar, tick_point(size - half - 1, size - 1)), Hex(Qt::white));
          break;
      }
    }

    // The lower thumb.
    const QPoint corner = geometry.ThumbPosition(bar->PositionL());
    const QSize picture = bar->ThumbPictureSize();
    const QPoint centre = corner + QPoint(picture.width() / 2, picture.height() / 2);
    const QPoint far_corner = corner + QPoint(picture.width() - 1, picture.height() - 1);
    if (!bar->isEnabled()) {
      EXPECT_NE(At(bar, centre), At(bar, centre + QPoint(1, 0)));  // dithered
      continue;
    }
    switch (bar->ThumbStyle()) {
      case TThumbStyle::tsUserDrawn:
        EXPECT_EQ(At(bar, centre), Hex(controls_demo::kUserThumbColor));
        break;
      case TThumbStyle::tsRectangle:
        EXPECT_EQ(At(bar, corner), Hex(Qt::black));
        EXPECT_EQ(At(bar, far_corner), Hex(Qt::black));
        EXPECT_EQ(At(bar, centre), Hex(bar->ThumbColor()));
        break;
      case TThumbStyle::tsRaisedRectangle:
        EXPECT_EQ(At(bar, corner), Hex(Qt::white));
        EXPECT_EQ(At(bar, far_corner), Hex(Qt::black));
        EXPECT_EQ(At(bar, centre), Hex(bar->ThumbColor()));
        break;
      case TThumbStyle::tsLoweredRectangle:
        EXPECT_EQ(At(bar, corner), Hex(Qt::black));
        EXPECT_EQ(At(bar, far_corner), Hex(Qt::white));
        EXPECT_EQ(At(bar, centre), Hex(bar->ThumbColor()));
        break;
      case TThumbStyle::tsSmallPointer:
      case TThumbStyle::tsMediumPointer:
      case TThumbStyle::tsLargePointer: {
        ++drawn_pointers;
        EXPECT_EQ(At(bar, centre), Hex(kPointerFace));
        // The corner beside the tip is off the mask: the bar's background shows there.
        const bool tip_first = bar->TickOrientation() != TTickOrientation::toBottomRight;
        const QPoint beside_tip = tip_first ? corner : far_corner;
        EXPECT_EQ(At(bar, beside_tip), Hex(bar->palette().color(QPalette::Window)));
        break;
      }
    }
    if (bar->SecondThumb()) {
      const int middle =
          (geometry.ThumbCentre(bar->PositionL()) + geometry.ThumbCentre(bar->PositionU())) / 2;
      EXPECT_EQ(At(bar, QPoint(middle, track.y() + track.height() / 2)), Hex(Qt::black));
      EXPECT_EQ(At(bar, geometry.ThumbPosition(bar->PositionU()) + QPoint(1, 1)), Hex(kSilver));
    }
  }
  EXPECT_EQ(drawn_pointers, 4);  // three horizontal and the vertical bar

  // The tracker: black handles and a frame that inverts the picture beneath it.
  TRectTracker* tracker = window_.Tracker();
  EXPECT_EQ(At(tracker, QPoint(0, 0)), Hex(Qt::black));
  EXPECT_EQ(At(tracker, tracker->rect().bottomRight()), Hex(Qt::black));
  const QImage picture = window_.TrackerPicture()->pixmap().toImage();
  const QPoint dot = tracker->pos() + QPoint(20, 2);
  const QColor beneath = picture.pixelColor(dot);
  const QColor inverted(255 - beneath.red(), 255 - beneath.green(), 255 - beneath.blue());
  EXPECT_EQ(At(tracker, QPoint(20, 2)), Hex(inverted));
  EXPECT_EQ(At(tracker, QPoint(21, 2)), Hex(picture.pixelColor(dot + QPoint(1, 0))));
}

}  // namespace
}  // namespace korvex::controls
