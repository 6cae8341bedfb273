#include "controls/thumb_pictures.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "controls/bevel.h"
#include "controls/pointer_pictures.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

TEST(ThumbPicturesTest, ThePointerNameFollowsSizeOrientationAndTicks) {
  struct Case {
    TThumbStyle style;
    TOrientation orientation;
    TTickOrientation ticks;
    const char* name;
  };
  const Case cases[] = {
      {TThumbStyle::tsSmallPointer, TOrientation::trHorizontal, TTickOrientation::toBoth,
       "SMUPTHUMB"},
      {TThumbStyle::tsMediumPointer, TOrientation::trHorizontal, TTickOrientation::toTopLeft,
       "MEDUPTHUMB"},
      {TThumbStyle::tsLargePointer, TOrientation::trHorizontal, TTickOrientation::toBottomRight,
       "LGDOWNTHUMB"},
      {TThumbStyle::tsSmallPointer, TOrientation::trVertical, TTickOrientation::toBoth,
       "SMLEFTTHUMB"},
      {TThumbStyle::tsMediumPointer, TOrientation::trVertical, TTickOrientation::toBottomRight,
       "MEDRIGHTTHUMB"},
      {TThumbStyle::tsRaisedRectangle, TOrientation::trHorizontal, TTickOrientation::toBoth, ""},
      {TThumbStyle::tsUserDrawn, TOrientation::trVertical, TTickOrientation::toBoth, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointerResourceName(c.style, c.orientation, c.ticks).toStdString(), c.name);
  }
}

TEST(ThumbPicturesTest, EveryPointerHasAPictureAndAMaskOfItsSize) {
  const QStringList names = {"SMUPTHUMB",  "SMDOWNTHUMB",  "SMLEFTTHUMB",  "SMRIGHTTHUMB",
                             "MEDUPTHUMB", "MEDDOWNTHUMB", "MEDLEFTTHUMB", "MEDRIGHTTHUMB",
                             "LGUPTHUMB",  "LGDOWNTHUMB",  "LGLEFTTHUMB",  "LGRIGHTTHUMB"};
  for (const QString& name : names) {
    const QImage picture = LoadThumbResource(name);
    const QImage mask = LoadThumbResource(name + "MASK");
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    ASSERT_FALSE(mask.isNull()) << name.toStdString();
    EXPECT_EQ(picture.size(), mask.size()) << name.toStdString();
    // Off the mask the picture is black, as a masked bitmap resource is.
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        if (mask.pixelIndex(x, y) == 0) {
          ASSERT_EQ(ColourAt(picture, {x, y}), Hex(Qt::black)) << name.toStdString();
        }
      }
    }
  }
  for (const char* unknown : {"", "THUMB", "XLUPTHUMB", "SMUPTHUMBMASKMASK", "smupthumb"}) {
    EXPECT_TRUE(LoadThumbResource(QString::fromLatin1(unknown)).isNull()) << unknown;
  }
}

TEST(ThumbPicturesTest, EachPointerPointsAtItsTicks) {
  struct Case {
    PointerDirection direction;
    QPoint tip;  // the middle of the pointed side
    QPoint beside_tip;
    QPoint far_corner;
  };
  // The medium pointer is 11 x 20 upright and 20 x 11 on its side.
  const Case cases[] = {
      {PointerDirection::kUp, {5, 0}, {0, 0}, {10, 19}},
      {PointerDirection::kDown, {5, 19}, {10, 19}, {0, 0}},
      {PointerDirection::kLeft, {0, 5}, {0, 10}, {19, 0}},
      {PointerDirection::kRight, {19, 5}, {19, 0}, {0, 10}},
  };
  for (const Case& c : cases) {
    const QImage mask = DrawPointerMask(PointerSize::kMedium, c.direction);
    const int direction = static_cast<int>(c.direction);
    EXPECT_EQ(mask.pixelIndex(c.tip), 1) << direction;
    EXPECT_EQ(mask.pixelIndex(c.beside_tip), 0) << direction;
    EXPECT_EQ(mask.pixelIndex(c.far_corner), 1) << direction;
  }
  // Lit from the top left: the up pointer's left side is white, its right and bottom black.
  const QImage up = DrawPointerPicture(PointerSize::kMedium, PointerDirection::kUp);
  EXPECT_EQ(ColourAt(up, {0, 10}), Hex(Qt::white));
  EXPECT_EQ(ColourAt(up, {2, 3}), Hex(Qt::white));
  EXPECT_EQ(ColourAt(up, {8, 3}), Hex(Qt::black));
  EXPECT_EQ(ColourAt(up, {10, 10}), Hex(Qt::black));
  EXPECT_EQ(ColourAt(up, {9, 10}), Hex(kGrey));
  EXPECT_EQ(ColourAt(up, {5, 19}), Hex(Qt::black));
  EXPECT_EQ(ColourAt(up, {5, 10}), Hex(kPointerFace));
}

TEST(ThumbPicturesTest, RectangleThumbsCarryTheirEdge) {
  const QColor face(250, 220, 120);
  struct Case {
    TThumbStyle style;
    QColor outer_light, inner_light, inner_dark, outer_dark;
  };
  const Case cases[] = {
      {TThumbStyle::tsRectangle, Qt::black, face, face, Qt::black},
      {TThumbStyle::tsRaisedRectangle, Qt::white, kSilver, kGrey, Qt::black},
      {TThumbStyle::tsLoweredRectangle, Qt::black, kGrey, kSilver, Qt::white},
  };
  for (const Case& c : cases) {
    const QImage picture = RectangleThumbPicture(c.style, QSize(10, 20), face);
    ASSERT_EQ(picture.size(), QSize(10, 20));
    const int style = static_cast<int>(c.style);
    EXPECT_EQ(ColourAt(picture, {0, 5}), Hex(c.outer_light)) << style;
    EXPECT_EQ(ColourAt(picture, {5, 0}), Hex(c.outer_light)) << style;
    EXPECT_EQ(ColourAt(picture, {1, 5}), Hex(c.inner_light)) << style;
    EXPECT_EQ(ColourAt(picture, {8, 5}), Hex(c.inner_dark)) << style;
    EXPECT_EQ(ColourAt(picture, {5, 18}), Hex(c.inner_dark)) << style;
    EXPECT_EQ(ColourAt(picture, {9, 5}), Hex(c.outer_dark)) << style;
    EXPECT_EQ(ColourAt(picture, {5, 19}), Hex(c.outer_dark)) << style;
    EXPECT_EQ(ColourAt(picture, {4, 10}), Hex(face)) << style;
  }
}

TEST(ThumbPicturesTest, AMaskMakesEverythingOffTheShapeTransparent) {
  const QImage picture = LoadThumbResource("LGDOWNTHUMB");
  const QImage mask = LoadThumbResource("LGDOWNTHUMBMASK");
  const QImage masked = ApplyMask(picture, mask);
  ASSERT_EQ(masked.size(), picture.size());
  int shape_pixels = 0;
  for (int y = 0; y < masked.height(); ++y) {
    for (int x = 0; x < masked.width(); ++x) {
      const bool on_shape = mask.pixelIndex(x, y) == 1;
      shape_pixels += on_shape;
      ASSERT_EQ(qAlpha(masked.pixel(x, y)), on_shape ? 255 : 0) << x << ", " << y;
      if (on_shape) {
        ASSERT_EQ(masked.pixel(x, y), picture.pixel(x, y)) << x << ", " << y;
      }
    }
  }
  // The shape fills its picture but for the two corners beside the tip, of 1 + 2 + ... + 7
  // pixels each.
  EXPECT_EQ(shape_pixels, 15 * 26 - 2 * (7 * 8 / 2));
}

}  // namespace
}  // namespace korvex::controls
