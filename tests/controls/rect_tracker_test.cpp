// The tracker's zones, cursors, painting and carried control.
#include "controls/rect_tracker.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include "test_window.h"

namespace korvex::controls {
namespace {

TEST(TrackerZoneTest, HandlesWinOverTheInnerArea) {
  struct Case {
    QPoint at;
    TTrackerZone zone;
  };
  // On a 65 x 65 tracker the side handles start at h(65) = 30.
  const Case cases[] = {
      {{3, 3}, TTrackerZone::tzTopLeft},       {{0, 0}, TTrackerZone::tzTopLeft},
      {{4, 4}, TTrackerZone::tzTopLeft},       {{30, 1}, TTrackerZone::tzTop},
      {{34, 4}, TTrackerZone::tzTop},          {{35, 1}, TTrackerZone::tzNone},
      {{20, 20}, TTrackerZone::tzMove},        {{2, 20}, TTrackerZone::tzMove},
      {{1, 20}, TTrackerZone::tzNone},         {{62, 20}, TTrackerZone::tzMove},
      {{63, 20}, TTrackerZone::tzNone},        {{64, 64}, TTrackerZone::tzBottomRight},
      {{60, 60}, TTrackerZone::tzBottomRight}, {{1, 62}, TTrackerZone::tzBottomLeft},
      {{62, 1}, TTrackerZone::tzTopRight},     {{1, 30}, TTrackerZone::tzLeft},
      {{1, 35}, TTrackerZone::tzNone},         {{63, 34}, TTrackerZone::tzRight},
      {{32, 63}, TTrackerZone::tzBottom},      {{65, 65}, TTrackerZone::tzNone},
      {{-1, 0}, TTrackerZone::tzNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrackerZoneAt(QSize(65, 65), c.at), c.zone) << c.at.x() << ", " << c.at.y();
  }
  // On the smallest tracker the corners take the place of the side handles.
  EXPECT_EQ(TrackerZoneAt(QSize(10, 10), QPoint(4, 4)), TTrackerZone::tzTopLeft);
  EXPECT_EQ(TrackerZoneAt(QSize(10, 10), QPoint(5, 5)), TTrackerZone::tzBottomRight);
}

class RectTrackerTest : public ::testing::Test {
 protected:
  // A picture white left of x = 130 and black right of it, with the tracker at (100, 100).
  void SetUp() override {
    QPixmap picture(300, 300);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(130, 0, 170, 300, Qt::black);
    picture_.setPixmap(picture);
    picture_.resize(picture.size());
    tracker_ = new TRectTracker(&picture_);
    tracker_->move(100, 100);
  }

  QLabel picture_;
  TRectTracker* tracker_ = nullptr;
};

TEST_F(RectTrackerTest, IsCreated65PixelsSquareAndNeverSmallerThan10) {
  EXPECT_EQ(tracker_->size(), QSize(65, 65));
  EXPECT_EQ(tracker_->TrackerZone(), TTrackerZone::tzNone);
  EXPECT_EQ(tracker_->TrackRect(), QRect(102, 102, 61, 61));
  tracker_->SetBounds(20, 30, 4, -8);
  EXPECT_EQ(tracker_->geometry(), QRect(20, 30, 10, 10));
  EXPECT_EQ(tracker_->TrackRect(), QRect(22, 32, 6, 6));
}

TEST_F(RectTrackerTest, PaintsADottedInvertingFrameAndEightBlackHandles) {
  ASSERT_TRUE(ShowAndWait(picture_));
  const QImage image = Snapshot(picture_);
  const QPoint origin = tracker_->pos();
  auto colour = [&](int x, int y) { return ColourAt(image, origin + QPoint(x, y)); };
  const std::string black = Hex(Qt::black);
  const std::string white = Hex(Qt::white);
  for (const QPoint handle : {QPoint(0, 0), QPoint(0, 30), QPoint(0, 60), QPoint(30, 0),
                              QPoint(30, 60), QPoint(60, 0), QPoint(60, 30), QPoint(60, 60)}) {
    for (const QPoint corner : {QPoint(0, 0), QPoint(4, 4), QPoint(0, 4), QPoint(4, 0)}) {
      const QPoint at = handle + corner;
      EXPECT_EQ(colour(at.x(), at.y()), black) << at.x() << ", " << at.y();
    }
  }
  // Every other pixel of the frame inverts the picture: black on white, white on black.
  EXPECT_EQ(colour(10, 2), black);
  EXPECT_EQ(colour(11, 2), white);
  EXPECT_EQ(colour(2, 10), black);
  EXPECT_EQ(colour(2, 11), white);
  EXPECT_EQ(colour(40, 2), white);
  EXPECT_EQ(colour(41, 2), black);
  EXPECT_EQ(colour(62, 20), white);
  EXPECT_EQ(colour(62, 21), black);
  EXPECT_EQ(colour(40, 62), white);
  // Inside and around the frame the picture shows through.
  EXPECT_EQ(colour(20, 20), white);
  EXPECT_EQ(colour(45, 20), black);
  EXPECT_EQ(colour(10, 1), white);
  EXPECT_EQ(colour(10, 3), white);
}

TEST_F(RectTrackerTest, TheCursorShowsTheZoneUnderThePointer) {
  int moves = 0;
  tracker_->OnMouseMove = [&moves](QWidget*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    ++moves;
  };
  ASSERT_TRUE(ShowAndWait(picture_));
  struct Case {
    QPoint at;
    Qt::CursorShape cursor;
  };
  const Case cases[] = {
      {{3, 3}, Qt::SizeFDiagCursor},  {{62, 62}, Qt::SizeFDiagCursor},
      {{1, 62}, Qt::SizeBDiagCursor}, {{62, 1}, Qt::SizeBDiagCursor},
      {{1, 31}, Qt::SizeHorCursor},   {{63, 31}, Qt::SizeHorCursor},
      {{30, 1}, Qt::SizeVerCursor},   {{31, 63}, Qt::SizeVerCursor},
      {{20, 20}, Qt::SizeAllCursor},  {{1, 20}, Qt::ArrowCursor},
  };
  for (const Case& c : cases) {
    QTest::mouseMove(tracker_, c.at);
    EXPECT_EQ(tracker_->cursor().shape(), c.cursor) << c.at.x() << ", " << c.at.y();
  }
  EXPECT_EQ(moves, 10);
  EXPECT_EQ(tracker_->geometry(), QRect(100, 100, 65, 65));  // hovering moves nothing
}

TEST(RectTrackerCarryTest, KeepsTheCarriedControlFittedInside) {
  QWidget window;
  window.resize(400, 400);
  auto* carried = new QWidget(&window);
  carried->setGeometry(50, 60, 100, 80);
  auto* tracker = new TRectTracker(&window);
  ASSERT_TRUE(ShowAndWait(window));

  tracker->SetAcControl(tracker);  // a tracker cannot carry itself
  EXPECT_EQ(tracker->AcControl(), nullptr);
  tracker->SetAcControl(carried);
  EXPECT_EQ(tracker->AcControl(), carried);
  EXPECT_EQ(tracker->geometry(), QRect(45, 55, 110, 90));
  EXPECT_EQ(carried->geometry(), QRect(50, 60, 100, 80));

  // A drag of the right handle by 10 pixels widens both.
  QTest::mousePress(tracker, Qt::LeftButton, {}, QPoint(108, 44));
  QTest::mouseMove(tracker, QPoint(118, 44));
  QTest::mouseRelease(tracker, Qt::LeftButton, {}, QPoint(118, 44));
  EXPECT_EQ(carried->geometry(), QRect(50, 60, 110, 80));
  tracker->SetBounds(0, 0, 40, 30);
  EXPECT_EQ(carried->geometry(), QRect(5, 5, 30, 20));

  delete carried;  // a control that is gone is dropped
  EXPECT_EQ(tracker->AcControl(), nullptr);
  tracker->SetBounds(10, 10, 50, 50);
  EXPECT_EQ(tracker->geometry(), QRect(10, 10, 50, 50));
  tracker->SetAcControl(nullptr);
  EXPECT_EQ(tracker->AcControl(), nullptr);
}

}  // namespace
}  // namespace korvex::controls
