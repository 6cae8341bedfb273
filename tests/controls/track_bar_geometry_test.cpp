#include "controls/track_bar_geometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace korvex::controls {
namespace {

// A horizontal bar with user-drawn thumbs: the thumb is a ThumbSize square centred on the value.
TrackBarShape UserDrawnShape(int width, int thumb_size, int max) {
  TrackBarShape shape;
  shape.control = QSize(width, 50);
  shape.thumb_size = thumb_size;
  shape.thumb_offset = thumb_size / 2;
  shape.thumb_picture = QSize(thumb_size, thumb_size);
  shape.max = max;
  return shape;
}

// The bar as created: 500 x 50, range 0..20, rectangle thumbs of 10 x 20 pixels.
TrackBarShape CreatedShape() {
  TrackBarShape shape;
  shape.control = QSize(500, 50);
  shape.thumb_size = 20;
  shape.thumb_offset = 5;
  shape.thumb_picture = QSize(10, 20);
  return shape;
}

TEST(TrackBarGeometryTest, UserDrawnSeekBarOf822Pixels) {
  const TrackBarGeometry geometry(UserDrawnShape(822, 15, 600));
  EXPECT_EQ(geometry.TrackLength(), 807);
  EXPECT_EQ(geometry.TrackOrigin(), 0);
  EXPECT_EQ(geometry.ThumbPosition(300), QPoint(403, 25 - 7));
  EXPECT_EQ(geometry.ThumbPosition(600).x(), 807);

  struct Case {
    int x;
    int value;
  };
  const Case cases[] = {
      {100, 69},                        // (100 - 7) x 600 div 807
      {7, 0},     {814, 600}, {0, -5},  // -4200 div 807 truncates toward zero, not down to -6
      {821, 605},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(geometry.ValueAt(QPoint(c.x, 3)), c.value) << "x = " << c.x;
  }
}

TEST(TrackBarGeometryTest, RectangleThumbsCentreOnTheTrackEnds) {
  const TrackBarGeometry geometry(CreatedShape());
  EXPECT_EQ(geometry.TrackLength(), 480);
  EXPECT_EQ(geometry.TrackOrigin(), 5);
  // The track runs from the centre of the thumb at Min to the centre of the thumb at Max.
  EXPECT_EQ(geometry.TrackRect(), QRect(10, 20, 480, 10));
  EXPECT_EQ(geometry.ThumbPosition(0), QPoint(5, 15));
  EXPECT_EQ(geometry.ThumbPosition(20), QPoint(485, 15));
  EXPECT_EQ(geometry.ThumbCentre(0), 10);
  EXPECT_EQ(geometry.ThumbCentre(20), 490);
  EXPECT_EQ(geometry.ValueAt(QPoint(250, 0)), 10);
}

TEST(TrackBarGeometryTest, VerticalBarsGrowUpwards) {
  TrackBarShape shape = CreatedShape();
  shape.orientation = TOrientation::trVertical;
  shape.control = QSize(50, 500);
  shape.thumb_picture = QSize(20, 10);
  const TrackBarGeometry geometry(shape);
  EXPECT_EQ(geometry.TrackRect(), QRect(20, 10, 10, 480));
  EXPECT_EQ(geometry.ThumbPosition(20), QPoint(15, 5));
  EXPECT_EQ(geometry.ThumbPosition(0), QPoint(15, 485));
  EXPECT_EQ(geometry.ThumbCentre(15), 5 + 120 + 5);
  EXPECT_EQ(geometry.ValueAt(QPoint(0, 100)), 17);  // 20 - 95 x 20 div 480
  EXPECT_EQ(geometry.ValueAt(QPoint(0, 490)), 0);
}

TEST(TrackBarGeometryTest, ARangeThatDoesNotStartAtZeroFillsTheSameTrack) {
  TrackBarShape shape = CreatedShape();
  shape.min = 10;
  shape.max = 30;
  const TrackBarGeometry geometry(shape);
  EXPECT_EQ(geometry.TrackRect(), QRect(10, 20, 480, 10));
  EXPECT_EQ(geometry.ThumbPosition(10).x(), 5);
  EXPECT_EQ(geometry.ThumbPosition(30).x(), 485);
  EXPECT_EQ(geometry.ValueAt(QPoint(250, 0)), 20);
}

TEST(TrackBarGeometryTest, TheWholeIntRangeDoesNotOverflow) {
  TrackBarShape shape = CreatedShape();
  shape.min = INT_MIN;
  shape.max = INT_MAX;
  const TrackBarGeometry geometry(shape);
  EXPECT_EQ(geometry.ThumbPosition(INT_MIN).x(), 5);
  EXPECT_EQ(geometry.ThumbPosition(INT_MAX).x(), 485);
  EXPECT_EQ(geometry.ValueAt(QPoint(5, 0)), INT_MIN);
  EXPECT_EQ(geometry.ValueAt(QPoint(485, 0)), INT_MAX);
  // Far past the end the value is clamped to int, not wrapped.
  EXPECT_EQ(geometry.ValueAt(QPoint(5000, 0)), INT_MAX);
}

TEST(TrackBarGeometryTest, EmptyRangeOrNoRoomGivesNoValue) {
  TrackBarShape empty = CreatedShape();
  empty.min = 7;
  empty.max = 7;
  const TrackBarGeometry empty_range(empty);
  EXPECT_FALSE(empty_range.HasRange());
  EXPECT_EQ(empty_range.ValueAt(QPoint(250, 25)), std::nullopt);
  EXPECT_EQ(empty_range.TrackRect(), QRect(10, 20, 480, 10));
  EXPECT_EQ(empty_range.ThumbPosition(7).x(), empty_range.TrackOrigin());

  TrackBarShape narrow = CreatedShape();
  narrow.control = QSize(20, 50);  // exactly one thumb wide: no track length
  const TrackBarGeometry no_room(narrow);
  EXPECT_TRUE(no_room.HasRange());
  EXPECT_EQ(no_room.ValueAt(QPoint(10, 25)), std::nullopt);
  EXPECT_TRUE(no_room.TrackRect().isEmpty());
}

}  // namespace
}  // namespace korvex::controls
