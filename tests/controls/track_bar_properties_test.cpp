#include <gtest/gtest.h>

#include <QPalette>
#include <QWidget>

#include "controls/track_bar2.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

// Counts OnChange.
struct ChangeCounter {
  explicit ChangeCounter(TTrackBar2& bar) {
    bar.OnChange = [this](TTrackBar2*) { ++count; };
  }
  int count = 0;
};

TEST(TrackBarPropertiesTest, CreatedAsDocumented) {
  TTrackBar2 bar;
  EXPECT_EQ(bar.size(), QSize(500, 50));
  EXPECT_EQ(bar.Orientation(), TOrientation::trHorizontal);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 20);
  EXPECT_EQ(bar.PositionL(), 0);
  EXPECT_EQ(bar.PositionU(), 10);
  EXPECT_EQ(bar.SmallChange(), 1);
  EXPECT_EQ(bar.LargeChange(), 2);
  EXPECT_EQ(bar.TrackSize(), 10);
  EXPECT_EQ(bar.TrackStyle(), TTrackStyle::trLowered);
  EXPECT_EQ(Hex(bar.TrackColor()), Hex(Qt::white));
  EXPECT_EQ(bar.TickSize(), 6);
  EXPECT_EQ(bar.TickStyle(), TTickStyle::tiRaisedSquare);
  EXPECT_EQ(bar.TickOrientation(), TTickOrientation::toBoth);
  EXPECT_EQ(bar.TickInterval(), 1);
  EXPECT_EQ(bar.ThumbSize(), 20);
  EXPECT_EQ(bar.ThumbStyle(), TThumbStyle::tsRaisedRectangle);
  const QColor button_face = bar.palette().color(QPalette::Button);
  EXPECT_EQ(Hex(bar.TickColor()), Hex(button_face));
  EXPECT_EQ(Hex(bar.ThumbColor()), Hex(button_face));
  EXPECT_FALSE(bar.SecondThumb());
  EXPECT_TRUE(bar.DitherThumb());
  EXPECT_FALSE(bar.TrackingL());
  EXPECT_FALSE(bar.TrackingU());
  EXPECT_TRUE(bar.focusPolicy() & Qt::TabFocus);
}

TEST(TrackBarPropertiesTest, PositionLStaysInRangeAndBelowTheUpperThumb) {
  struct Case {
    bool second_thumb;
    int start;
    int value;
    int expected;
    int changes;
  };
  const Case cases[] = {
      {true, 0, 10, 9, 1},                         // PositionU is 10
      {true, 0, 15, 9, 1},   {true, 0, 25, 9, 1},  // the upper thumb wins over Max
      {true, 9, 12, 9, 1},  // clamped back to where it was, and still announced
      {true, 5, -3, 0, 1},   {false, 0, 15, 15, 1},  // without the second thumb PositionU is no
                                                     // bound
      {false, 0, 25, 20, 1}, {false, 5, -3, 0, 1},  {false, 5, 5, 5, 0},  // unchanged: no OnChange
  };
  for (const Case& c : cases) {
    TTrackBar2 bar;
    bar.SetSecondThumb(c.second_thumb);
    bar.SetPositionL(c.start);
    ChangeCounter changes(bar);
    bar.SetPositionL(c.value);
    EXPECT_EQ(bar.PositionL(), c.expected) << c.start << " -> " << c.value;
    EXPECT_EQ(changes.count, c.changes) << c.start << " -> " << c.value;
    EXPECT_EQ(bar.PositionU(), 10);
  }
}

TEST(TrackBarPropertiesTest, PositionUStaysAtMostMaxAndAboveTheLowerThumb) {
  struct Case {
    int position_l;
    int value;
    int expected;
    int changes;
  };
  const Case cases[] = {
      {5, 3, 6, 1},   {5, 5, 6, 1},
      {5, 25, 20, 1}, {20, 25, 20, 1},  // the Max clamp comes first and ends the rule
      {5, 15, 15, 1}, {5, 10, 10, 0},   // unchanged
  };
  for (const Case& c : cases) {
    TTrackBar2 bar;
    bar.SetPositionL(c.position_l);
    ChangeCounter changes(bar);
    bar.SetPositionU(c.value);
    EXPECT_EQ(bar.PositionU(), c.expected) << c.position_l << ", " << c.value;
    EXPECT_EQ(changes.count, c.changes) << c.position_l << ", " << c.value;
  }
}

TEST(TrackBarPropertiesTest, NewEndsPullInOnlyTheirOwnThumbSilently) {
  TTrackBar2 bar;
  bar.SetPositionL(15);
  ChangeCounter changes(bar);
  bar.SetMax(8);
  EXPECT_EQ(bar.PositionU(), 8);
  EXPECT_EQ(bar.PositionL(), 15);  // the lower thumb is not clamped by Max
  bar.SetMin(16);
  EXPECT_EQ(bar.PositionL(), 16);
  bar.SetMax(30);
  EXPECT_EQ(bar.PositionU(), 8);  // a higher Max does not move it back
  EXPECT_EQ(changes.count, 0);
}

TEST(TrackBarPropertiesTest, LineTicksTurnBlack) {
  TTrackBar2 bar;
  bar.SetTickColor(QColor(10, 200, 30));
  bar.SetTickStyle(TTickStyle::tiSquare);
  EXPECT_EQ(Hex(bar.TickColor()), "#0ac81e");
  bar.SetTickStyle(TTickStyle::tiLine);
  EXPECT_EQ(Hex(bar.TickColor()), Hex(Qt::black));
}

TEST(TrackBarPropertiesTest, ThumbStyleDecidesThePictureSizeAndOffset) {
  struct Case {
    TThumbStyle style;
    TOrientation orientation;
    QSize picture;
    int thumb_size;
    int offset;
  };
  const Case cases[] = {
      {TThumbStyle::tsRectangle, TOrientation::trHorizontal, {10, 20}, 20, 5},
      {TThumbStyle::tsRaisedRectangle, TOrientation::trVertical, {20, 10}, 20, 5},
      {TThumbStyle::tsUserDrawn, TOrientation::trHorizontal, {20, 20}, 20, 10},
      // A pointer's thumb size is its picture's length along the track.
      {TThumbStyle::tsSmallPointer, TOrientation::trHorizontal, {9, 14}, 9, 4},
      {TThumbStyle::tsMediumPointer, TOrientation::trHorizontal, {11, 20}, 11, 5},
      {TThumbStyle::tsLargePointer, TOrientation::trHorizontal, {15, 26}, 15, 7},
      {TThumbStyle::tsLargePointer, TOrientation::trVertical, {26, 15}, 15, 7},
  };
  for (const Case& c : cases) {
    TTrackBar2 bar;
    bar.SetOrientation(c.orientation);
    bar.SetThumbStyle(c.style);
    EXPECT_EQ(bar.ThumbPictureSize(), c.picture) << static_cast<int>(c.style);
    EXPECT_EQ(bar.ThumbSize(), c.thumb_size) << static_cast<int>(c.style);
    EXPECT_EQ(bar.ThumbOffset(), c.offset) << static_cast<int>(c.style);
  }
}

TEST(TrackBarPropertiesTest, APointerKeepsItsPictureSizeAgainstANewThumbSize) {
  TTrackBar2 bar;
  bar.SetThumbStyle(TThumbStyle::tsMediumPointer);
  bar.SetThumbSize(40);
  EXPECT_EQ(bar.ThumbSize(), 11);
  bar.SetThumbStyle(TThumbStyle::tsRectangle);
  bar.SetThumbSize(30);
  EXPECT_EQ(bar.ThumbPictureSize(), QSize(15, 30));
}

TEST(TrackBarPropertiesTest, TurningThe3DLookOnRaisesFlatThumbsAndLowersTheTrack) {
  struct Case {
    TThumbStyle before;
    TThumbStyle after;
  };
  const Case cases[] = {
      {TThumbStyle::tsRectangle, TThumbStyle::tsRaisedRectangle},
      {TThumbStyle::tsLoweredRectangle, TThumbStyle::tsRaisedRectangle},
      {TThumbStyle::tsMediumPointer, TThumbStyle::tsMediumPointer},
  };
  for (const Case& c : cases) {
    TTrackBar2 bar;
    bar.SetCtl3D(false);
    bar.SetTrackStyle(TTrackStyle::trFlat);
    bar.SetThumbStyle(c.before);
    bar.SetCtl3D(true);
    EXPECT_EQ(bar.TrackStyle(), TTrackStyle::trLowered);
    EXPECT_EQ(bar.ThumbStyle(), c.after);
  }
}

TEST(TrackBarPropertiesTest, OrientationFollowsTheShapeAtEveryResize) {
  QWidget window;
  window.resize(600, 600);
  auto* bar = new TTrackBar2(&window);
  ASSERT_TRUE(ShowAndWait(window));
  bar->SetThumbStyle(TThumbStyle::tsSmallPointer);
  bar->resize(40, 300);
  EXPECT_EQ(bar->Orientation(), TOrientation::trVertical);
  EXPECT_EQ(bar->ThumbPictureSize(), QSize(14, 9));  // the left-pointing picture
  bar->SetOrientation(TOrientation::trHorizontal);
  EXPECT_EQ(bar->ThumbPictureSize(), QSize(9, 14));
  bar->resize(300, 40);
  EXPECT_EQ(bar->Orientation(), TOrientation::trHorizontal);
  bar->resize(300, 300);  // a square is not taller than wide
  EXPECT_EQ(bar->Orientation(), TOrientation::trHorizontal);
}

}  // namespace
}  // namespace korvex::controls
