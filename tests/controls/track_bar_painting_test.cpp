// What the bar paints, read back from its pixels, and what it asks its owner to draw.
#include <gtest/gtest.h>

#include <QPalette>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/bevel.h"
#include "controls/pointer_pictures.h"
#include "controls/track_bar2.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

constexpr QColor kTrackColour(200, 230, 255);
constexpr QColor kThumbColour(250, 220, 120);

struct Pixel {
  QPoint at;
  QColor colour;
};

class TrackBarPaintingTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.resize(900, 600); }

  // A bar as created (500 x 50, range 0..20), with recognisable track and thumb colours.
  TTrackBar2& AddBar(QSize size = {500, 50}) {
    auto* bar = new TTrackBar2(&window_);
    bar->resize(size);
    bar->SetTrackColor(kTrackColour);
    bar->SetThumbColor(kThumbColour);
    if (window_.isVisible()) bar->show();
    return *bar;
  }
  void Show() { ASSERT_TRUE(ShowAndWait(window_)); }

  static void ExpectPixels(TTrackBar2& bar, const std::vector<Pixel>& pixels,
                           const std::string& what) {
    const QImage image = Snapshot(bar);
    for (const Pixel& pixel : pixels) {
      EXPECT_EQ(ColourAt(image, pixel.at), Hex(pixel.colour))
          << what << " at (" << pixel.at.x() << ", " << pixel.at.y() << ")";
    }
  }

  QWidget window_;
};

TEST_F(TrackBarPaintingTest, TrackStylesFillTheTrackAndDrawTheirBevel) {
  struct Case {
    TTrackStyle style;
    QColor outer_light, inner_light, inner_dark, outer_dark;
  };
  const Case cases[] = {
      {TTrackStyle::trFlat, kTrackColour, kTrackColour, kTrackColour, kTrackColour},
      {TTrackStyle::trRaised, Qt::white, kSilver, kGrey, Qt::black},
      {TTrackStyle::trLowered, Qt::black, kGrey, kSilver, Qt::white},
  };
  for (const Case& c : cases) {
    TTrackBar2& bar = AddBar();
    bar.SetTrackStyle(c.style);
    bar.SetPositionL(10);
    Show();
    // The track is (10, 20)-(490, 30); the thumb sits at x 245..254.
    ExpectPixels(bar,
                 {{{400, 20}, c.outer_light},
                  {{400, 21}, c.inner_light},
                  {{400, 24}, kTrackColour},
                  {{400, 28}, c.inner_dark},
                  {{400, 29}, c.outer_dark},
                  {{10, 24}, c.outer_light},
                  {{11, 24}, c.inner_light},
                  {{488, 24}, c.inner_dark},
                  {{489, 24}, c.outer_dark},
                  {{490, 24}, bar.palette().color(QPalette::Window)}},
                 "track style " + std::to_string(static_cast<int>(c.style)));
    delete &bar;
  }
}

TEST_F(TrackBarPaintingTest, ADisabledBarDithersItsTrackAndThumb) {
  TTrackBar2& bar = AddBar();
  bar.SetPositionL(10);  // thumb picture at (245, 15), 10 x 20
  TTrackBar2& silver = AddBar();
  silver.move(0, 100);
  silver.SetTrackColor(kSilver);
  TTrackBar2& plain = AddBar();
  plain.move(0, 200);
  plain.SetPositionL(10);
  plain.SetDitherThumb(false);
  for (TTrackBar2* disabled : {&bar, &silver, &plain}) disabled->setEnabled(false);
  Show();
  // Pixels whose row and column add up to an odd number carry the second colour.
  ExpectPixels(bar,
               {{{400, 24}, kTrackColour},
                {{401, 24}, kSilver},
                {{400, 25}, kSilver},
                // The thumb's face takes the pattern, tiled from the picture's corner; its
                // bevel stays.
                {{249, 24}, kSilver},
                {{250, 24}, kTrackColour},
                {{245, 15}, Qt::white},
                {{254, 34}, Qt::black}},
               "disabled bar");
  ExpectPixels(silver, {{{400, 24}, kSilver}, {{401, 24}, kGrey}}, "disabled silver track");
  ExpectPixels(plain, {{{249, 24}, kThumbColour}, {{250, 24}, kThumbColour}},
               "disabled bar without dithered thumbs");
}

TEST_F(TrackBarPaintingTest, TickStylesDrawAtEachThumbCentre) {
  struct Case {
    TTickStyle style;
    std::vector<Pixel> pixels;
  };
  // The tick of value 1 is centred on x = 480 x 1 div 20 + 5 + 5 = 34, its square spans
  // x 31..36; the top ticks span y 2..7 and the bottom ones y 42..47.
  const QColor tick(255, 0, 255);
  const QColor background = window_.palette().color(QPalette::Window);
  const Case cases[] = {
      {TTickStyle::tiLine,
       {{{34, 2}, Qt::black},
        {{34, 7}, Qt::black},
        {{34, 8}, background},
        {{35, 4}, background},
        {{34, 42}, Qt::black},
        {{34, 47}, Qt::black}}},
      {TTickStyle::tiSquare,
       {{{31, 2}, Qt::black}, {{36, 7}, Qt::black}, {{33, 4}, tick}, {{36, 47}, Qt::black}}},
      {TTickStyle::tiRaisedSquare,
       {{{31, 2}, Qt::white}, {{36, 2}, kGrey}, {{36, 7}, kGrey}, {{33, 4}, tick}}},
      {TTickStyle::tiLoweredSquare,
       {{{31, 42}, kGrey}, {{36, 47}, Qt::white}, {{33, 44}, tick}, {{30, 44}, background}}},
  };
  for (const Case& c : cases) {
    TTrackBar2& bar = AddBar();
    bar.SetTickStyle(c.style);
    if (c.style != TTickStyle::tiLine) bar.SetTickColor(tick);
    Show();
    ExpectPixels(bar, c.pixels, "tick style " + std::to_string(static_cast<int>(c.style)));
    delete &bar;
  }
}

TEST_F(TrackBarPaintingTest, UserDrawnTicksAreAskedForAtEveryIntervalOnTheChosenSides) {
  struct Case {
    QSize size;
    TTickOrientation sides;
    int interval;
    std::vector<std::string> ticks;
  };
  // Range 0..4: the thumb centres are at 120 x value + 10 along the track.
  const Case cases[] = {
      {{500, 50},
       TTickOrientation::toBoth,
       2,
       {"0 (10, 2)", "0 (10, 42)", "2 (250, 2)", "2 (250, 42)", "4 (490, 2)", "4 (490, 42)"}},
      {{500, 50}, TTickOrientation::toTopLeft, 3, {"0 (10, 2)", "3 (370, 2)"}},
      {{500, 50}, TTickOrientation::toBottomRight, 4, {"0 (10, 42)", "4 (490, 42)"}},
      {{500, 50}, TTickOrientation::toBoth, 0, {}},
      // Vertical: the value 4 sits at the top.
      {{50, 500}, TTickOrientation::toTopLeft, 2, {"0 (2, 490)", "2 (2, 250)", "4 (2, 10)"}},
  };
  for (const Case& c : cases) {
    TTrackBar2& bar = AddBar(c.size);
    bar.SetTickStyle(TTickStyle::tiUserDrawn);
    bar.SetTickOrientation(c.sides);
    bar.SetTickInterval(c.interval);
    bar.SetMax(4);
    std::vector<std::string> ticks;
    bar.OnDrawTick = [&ticks](TTrackBar2*, QPainter&, int x, int y, int position) {
      ticks.push_back(std::to_string(position) + " (" + std::to_string(x) + ", " +
                      std::to_string(y) + ")");
    };
    Show();
    ticks.clear();
    Snapshot(bar);
    EXPECT_EQ(ticks, c.ticks) << "interval " << c.interval;
    delete &bar;
  }
}

TEST_F(TrackBarPaintingTest, ThumbPicturesSitAtTheirPositionAndPointersShowOnlyTheirShape) {
  TTrackBar2& raised = AddBar();
  raised.SetPositionL(10);
  TTrackBar2& pointer = AddBar();
  pointer.move(0, 100);
  pointer.SetThumbStyle(TThumbStyle::tsMediumPointer);
  pointer.SetPositionL(10);  // 489 x 10 div 20 = 244; the picture is 11 x 20 at y 15
  Show();
  ExpectPixels(raised,
               {{{245, 15}, Qt::white},
                {{246, 16}, kSilver},
                {{253, 33}, kGrey},
                {{254, 34}, Qt::black},
                {{249, 25}, kThumbColour},
                {{244, 25}, kTrackColour}},
               "raised rectangle thumb");
  const QColor background = pointer.palette().color(QPalette::Window);
  ExpectPixels(pointer,
               {{{249, 30}, kPointerFace},
                {{249, 15}, Qt::white},   // the tip, lit from the top left
                {{244, 15}, background},  // beside the tip, outside the mask
                {{254, 16}, background},
                {{244, 34}, Qt::black}},
               "medium pointer");
}

TEST_F(TrackBarPaintingTest, TwoThumbsShowTheMiddleOfTheRange) {
  TTrackBar2& bar = AddBar();
  bar.SetSecondThumb(true);
  bar.SetPositionU(12);
  bar.SetPositionL(4);
  Show();
  // Thumb centres 106 and 298: the line crosses the track at x 202.
  ExpectPixels(bar,
               {{{202, 20}, Qt::black},
                {{202, 24}, Qt::black},
                {{202, 29}, Qt::black},
                {{203, 24}, kTrackColour},
                {{297, 25}, kThumbColour},
                {{105, 25}, kThumbColour}},
               "two thumbs");
}

TEST_F(TrackBarPaintingTest, UserDrawnPartsAreAskedForInPaintingOrder) {
  TTrackBar2& bar = AddBar({822, 50});
  bar.SetTrackStyle(TTrackStyle::trUserDrawn);
  bar.SetThumbStyle(TThumbStyle::tsUserDrawn);
  bar.SetThumbSize(15);
  bar.SetMax(600);
  bar.SetTickInterval(300);
  bar.SetTickOrientation(TTickOrientation::toTopLeft);
  bar.SetTickStyle(TTickStyle::tiUserDrawn);
  bar.SetSecondThumb(true);
  bar.SetPositionU(450);
  bar.SetPositionL(300);
  std::vector<std::string> log;
  bar.OnPaint = [&log](TTrackBar2*) { log.push_back("paint"); };
  bar.OnDrawTrack = [&log](TTrackBar2*, QPainter&) { log.push_back("track"); };
  bar.OnDrawTick = [&log](TTrackBar2*, QPainter&, int x, int, int) {
    log.push_back("tick " + std::to_string(x));
  };
  bar.OnDrawThumb = [&log](TTrackBar2*, QPainter&, int x, int y) {
    log.push_back("thumb (" + std::to_string(x) + ", " + std::to_string(y) + ")");
  };
  Show();
  log.clear();
  Snapshot(bar);
  const std::vector<std::string> expected = {
      "paint",           "track", "tick 7", "tick 410", "tick 814",
      "thumb (403, 18)",  // 807 x 300 div 600
      "thumb (605, 18)",
  };
  EXPECT_EQ(log, expected);
}

TEST_F(TrackBarPaintingTest, TheOwnersDrawingLeavesThePainterAsItWas) {
  TTrackBar2& bar = AddBar();
  bar.SetTrackStyle(TTrackStyle::trUserDrawn);
  bar.SetPositionL(10);
  bar.OnDrawTrack = [](TTrackBar2*, QPainter& canvas) {
    canvas.translate(100, 10);
    canvas.setOpacity(0.2);
  };
  Show();
  // The raised tick of value 1 and the thumb of 10 stay where they belong, at full strength.
  ExpectPixels(bar, {{{31, 2}, Qt::white}, {{245, 15}, Qt::white}, {{249, 25}, kThumbColour}},
               "after the owner's track");
}

TEST_F(TrackBarPaintingTest, AnEmptyRangeDrawsOnlyItsTrack) {
  TTrackBar2& bar = AddBar();
  bar.SetMax(0);
  bar.SetSecondThumb(true);
  TTrackBar2& user_drawn = AddBar();
  user_drawn.move(0, 100);
  user_drawn.SetMin(5);
  user_drawn.SetMax(5);
  user_drawn.SetTrackStyle(TTrackStyle::trUserDrawn);
  user_drawn.SetTickStyle(TTickStyle::tiUserDrawn);
  user_drawn.SetThumbStyle(TThumbStyle::tsUserDrawn);
  std::vector<std::string> log;
  user_drawn.OnDrawTrack = [&log](TTrackBar2*, QPainter&) { log.push_back("track"); };
  user_drawn.OnDrawTick = [&log](TTrackBar2*, QPainter&, int, int, int) { log.push_back("tick"); };
  user_drawn.OnDrawThumb = [&log](TTrackBar2*, QPainter&, int, int) { log.push_back("thumb"); };
  Show();
  const QColor background = bar.palette().color(QPalette::Window);
  ExpectPixels(bar,
               {{{10, 20}, Qt::black},  // the lowered bevel
                {{250, 24}, kTrackColour},
                {{5, 15}, background},  // no thumb
                {{7, 2}, background}},  // no tick
               "empty range");
  log.clear();
  Snapshot(user_drawn);
  EXPECT_EQ(log, std::vector<std::string>{"track"});
}

TEST_F(TrackBarPaintingTest, VerticalBarsDrawAlongY) {
  TTrackBar2& bar = AddBar({50, 500});
  bar.SetTickStyle(TTickStyle::tiLine);
  bar.SetTickOrientation(TTickOrientation::toBottomRight);
  bar.SetPositionL(20);
  Show();
  // Track (20, 10)-(30, 490); Max at the top: the thumb picture (20 x 10) at (15, 5).
  ExpectPixels(bar,
               {{{20, 250}, Qt::black},
                {{29, 250}, Qt::white},
                {{24, 250}, kTrackColour},
                {{15, 5}, Qt::white},
                {{34, 14}, Qt::black},
                // The tick of value 1 at y = 480 x 19 div 20 + 10 = 466, on the right side.
                {{42, 466}, Qt::black},
                {{47, 466}, Qt::black},
                {{42, 467}, bar.palette().color(QPalette::Window)}},
               "vertical bar");
}

}  // namespace
}  // namespace korvex::controls
