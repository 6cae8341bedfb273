// Moving and resizing the tracker with the left button, as the user does it.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/rect_tracker.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

std::string Text(const QRect& r) {
  return "(" + std::to_string(r.x()) + ", " + std::to_string(r.y()) + ", " +
         std::to_string(r.width()) + " x " + std::to_string(r.height()) + ")";
}

class RectTrackerDragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 400);
    tracker_ = new TRectTracker(&window_);
    tracker_->move(100, 100);
    ASSERT_TRUE(ShowAndWait(window_));
  }

  // The pointer, in the window's coordinates, over the tracker wherever it now lies.
  QPoint OnTracker(QPoint in_window) const { return in_window - tracker_->pos(); }

  // Presses at `grab` (tracker coordinates), moves the pointer by `delta` in `steps` moves
  // and releases it there. QTest takes a point of (0, 0) for the widget's centre, so no
  // grab may keep the pointer there.
  void Drag(QPoint grab, QPoint delta, int steps = 5, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint start = tracker_->pos() + grab;
    QTest::mousePress(tracker_, button, {}, grab);
    for (int i = 1; i <= steps; ++i) {
      QTest::mouseMove(tracker_, OnTracker(start + delta * i / steps));
    }
    QTest::mouseRelease(tracker_, button, {}, OnTracker(start + delta));
  }

  QWidget window_;
  TRectTracker* tracker_ = nullptr;
};

TEST_F(RectTrackerDragTest, HandlesResizeAndTheMiddleMoves) {
  struct Case {
    const char* what;
    QPoint grab;
    QPoint delta;
    QRect bounds;
  };
  // From (100, 100, 65 x 65); the side handles start at 30.
  const Case cases[] = {
      {"move", {20, 20}, {15, 10}, {115, 110, 65, 65}},
      {"left outwards", {1, 31}, {-20, 0}, {80, 100, 85, 65}},
      // Inwards the left edge stops at the minimum width; the right edge stays at 165.
      {"left inwards", {1, 31}, {100, 0}, {155, 100, 10, 65}},
      {"right outwards", {63, 31}, {20, 5}, {100, 100, 85, 65}},
      {"right inwards", {63, 31}, {-100, 0}, {100, 100, 10, 65}},
      {"top outwards", {31, 1}, {0, -15}, {100, 85, 65, 80}},
      {"top inwards", {31, 1}, {0, 100}, {100, 155, 65, 10}},
      {"bottom outwards", {31, 63}, {0, 12}, {100, 100, 65, 77}},
      {"bottom inwards", {31, 63}, {3, -70}, {100, 100, 65, 10}},
      {"top-left", {3, 3}, {-10, -10}, {90, 90, 75, 75}},
      {"top-left inwards", {3, 3}, {100, 100}, {155, 155, 10, 10}},
      {"top-right", {62, 2}, {10, -10}, {100, 90, 75, 75}},
      {"top-right inwards", {62, 2}, {-100, 100}, {100, 155, 10, 10}},
      {"bottom-left", {2, 62}, {-10, 10}, {90, 100, 75, 75}},
      {"bottom-left inwards", {2, 62}, {100, -100}, {155, 100, 10, 10}},
      {"bottom-right", {62, 62}, {10, 10}, {100, 100, 75, 75}},
      {"nowhere", {1, 20}, {30, 30}, {100, 100, 65, 65}},
  };
  for (const Case& c : cases) {
    tracker_->SetBounds(100, 100, 65, 65);
    Drag(c.grab, c.delta);
    EXPECT_EQ(Text(tracker_->geometry()), Text(c.bounds)) << c.what;
    EXPECT_EQ(tracker_->TrackerZone(), TTrackerZone::tzNone) << c.what;
  }
}

TEST_F(RectTrackerDragTest, AShrunkLeftEdgeFollowsThePointerBackOnlyOnceItReturns) {
  const QPoint start = tracker_->pos() + QPoint(1, 31);
  QTest::mousePress(tracker_, Qt::LeftButton, {}, QPoint(1, 31));
  QTest::mouseMove(tracker_, OnTracker(start + QPoint(80, 0)));
  EXPECT_EQ(tracker_->geometry(), QRect(155, 100, 10, 65));
  // Dragging back grows the tracker as soon as the pointer is left of where it holds the edge.
  QTest::mouseMove(tracker_, OnTracker(start + QPoint(50, 0)));
  EXPECT_EQ(tracker_->geometry(), QRect(150, 100, 15, 65));
  QTest::mouseMove(tracker_, OnTracker(start + QPoint(-30, 0)));
  EXPECT_EQ(tracker_->geometry(), QRect(70, 100, 95, 65));
  QTest::mouseRelease(tracker_, Qt::LeftButton, {}, OnTracker(start + QPoint(-30, 0)));
}

TEST_F(RectTrackerDragTest, OnChangeFollowsOnlyADragThatChangedTheBounds) {
  std::vector<std::string> changes;
  tracker_->OnChange = [&changes, this](TCustomRectTracker* sender, const QRect& rect) {
    EXPECT_EQ(sender, tracker_);
    changes.push_back(Text(rect));
  };

  Drag({20, 20}, {15, 10});
  ASSERT_EQ(changes, std::vector<std::string>{Text({117, 112, 61, 61})});

  // Out and back to where it began.
  const QPoint start = tracker_->pos() + QPoint(63, 31);
  QTest::mousePress(tracker_, Qt::LeftButton, {}, QPoint(63, 31));
  QTest::mouseMove(tracker_, OnTracker(start + QPoint(25, 0)));
  QTest::mouseMove(tracker_, OnTracker(start));
  QTest::mouseRelease(tracker_, Qt::LeftButton, {}, OnTracker(start));
  EXPECT_EQ(tracker_->geometry(), QRect(115, 110, 65, 65));

  QTest::mouseClick(tracker_, Qt::LeftButton, {}, QPoint(20, 20));
  Drag({20, 20}, {30, 30}, 5, Qt::RightButton);  // only the left button drags
  EXPECT_EQ(tracker_->geometry(), QRect(115, 110, 65, 65));
  EXPECT_EQ(changes.size(), 1u);
}

TEST_F(RectTrackerDragTest, MouseEventsFireAfterTheTrackersOwnHandling) {
  std::vector<std::string> log;
  tracker_->OnMouseDown = [&](QWidget*, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                              int y) {
    log.push_back("down " + std::to_string(button) + " at " + std::to_string(x) + ", " +
                  std::to_string(y) + " zone " +
                  std::to_string(static_cast<int>(tracker_->TrackerZone())));
  };
  tracker_->OnMouseMove = [&](QWidget*, Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x,
                              int) {
    log.push_back("move " + std::to_string(buttons.toInt()) + " x " + std::to_string(x) +
                  " bounds " + Text(tracker_->geometry()));
  };
  tracker_->OnMouseUp = [&](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back("up zone " + std::to_string(static_cast<int>(tracker_->TrackerZone())));
  };
  tracker_->OnChange = [&](TCustomRectTracker*, const QRect&) { log.push_back("change"); };

  Drag({20, 20}, {6, 0}, 1);
  QTest::mouseClick(tracker_, Qt::RightButton, {}, QPoint(30, 30));

  const std::vector<std::string> expected = {
      "down 1 at 20, 20 zone 9",                 // the zone is known to the handler
      "move 1 x 26 bounds (106, 100, 65 x 65)",  // the tracker has moved already
      "up zone 0",
      "change",
      "down 2 at 30, 30 zone 0",
      "up zone 0",
  };
  EXPECT_EQ(log, expected);
}

}  // namespace
}  // namespace korvex::controls
