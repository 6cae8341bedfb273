// The bar under real mouse and key events, as the user drives it.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/track_bar2.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

class TrackBarInputTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.resize(900, 600); }

  // A bar of `size` at the window's origin; the window is shown with it.
  TTrackBar2& AddBar(QSize size = {500, 50}) {
    auto* bar = new TTrackBar2(&window_);
    bar->resize(size);
    return *bar;
  }
  void Show() { ASSERT_TRUE(ShowAndWait(window_)); }

  static void Press(TTrackBar2& bar, int x, Qt::KeyboardModifiers shift = {}, int y = 25) {
    QTest::mousePress(&bar, Qt::LeftButton, shift, QPoint(x, y));
  }
  static void Release(TTrackBar2& bar, int x, int y = 25) {
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(x, y));
  }
  static void Click(TTrackBar2& bar, int x, Qt::KeyboardModifiers shift = {}) {
    Press(bar, x, shift);
    Release(bar, x);
  }

  QWidget window_;
};

TEST_F(TrackBarInputTest, APressOnAUserDrawnBarSetsThePositionDirectly) {
  TTrackBar2& bar = AddBar({822, 50});
  bar.SetThumbStyle(TThumbStyle::tsUserDrawn);
  bar.SetThumbSize(15);
  bar.SetMax(600);
  Show();
  Press(bar, 100);
  EXPECT_EQ(bar.PositionL(), 69);
  EXPECT_FALSE(bar.TrackingL());  // user-drawn thumbs have no rectangle to grab
  QTest::mouseMove(&bar, QPoint(300, 25));
  EXPECT_EQ(bar.PositionL(), 69);
  Release(bar, 300);

  // With Shift the step goes toward the pointer, and a press over the thumb's square
  // (x 403..417 for the value 300) moves nothing.
  struct Case {
    int x;
    int expected;
  };
  for (const Case& c :
       {Case{410, 300}, Case{403, 300}, Case{417, 300}, Case{418, 301}, Case{402, 299}}) {
    bar.SetPositionL(300);
    Click(bar, c.x, Qt::ShiftModifier);
    EXPECT_EQ(bar.PositionL(), c.expected) << "x = " << c.x;
  }
}

TEST_F(TrackBarInputTest, DraggingTheThumbFollowsThePointerUntilRelease) {
  TTrackBar2& bar = AddBar();
  Show();
  ASSERT_EQ(bar.ThumbRectL(), QRect(5, 15, 10, 20));
  Press(bar, 10);
  EXPECT_TRUE(bar.TrackingL());
  EXPECT_EQ(bar.PositionL(), 0);
  QTest::mouseMove(&bar, QPoint(250, 40));
  EXPECT_EQ(bar.PositionL(), 10);
  QTest::mouseMove(&bar, QPoint(900, 40));  // beyond the bar: clamped to Max
  EXPECT_EQ(bar.PositionL(), 20);
  Release(bar, 900);
  EXPECT_FALSE(bar.TrackingL());
  QTest::mouseMove(&bar, QPoint(100, 25));
  EXPECT_EQ(bar.PositionL(), 20);
}

TEST_F(TrackBarInputTest, APressBesideTheThumbJumpsOrStepsWithShift) {
  struct Case {
    int x;
    bool shift;
    int expected;
  };
  // The thumb of 10 sits at x 245..254; SmallChange is 3.
  const Case cases[] = {
      {400, false, 16},                   // 395 x 20 div 480
      {100, false, 3},  {100, true, 7},   // left of the thumb: one SmallChange down
      {244, true, 7},   {255, true, 13},  // right of it: one SmallChange up
      {480, true, 13},
  };
  TTrackBar2& bar = AddBar();
  bar.SetSmallChange(3);
  Show();
  for (const Case& c : cases) {
    bar.SetPositionL(10);
    Click(bar, c.x, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(bar.PositionL(), c.expected) << "x = " << c.x << ", shift " << c.shift;
    EXPECT_FALSE(bar.TrackingL());
  }
  // With Shift held a press on the thumb still grabs it.
  bar.SetPositionL(10);
  Press(bar, 250, Qt::ShiftModifier);
  EXPECT_TRUE(bar.TrackingL());
  Release(bar, 250);
}

TEST_F(TrackBarInputTest, APressBeyondTheMiddleOfTheGapConcernsTheUpperThumb) {
  TTrackBar2& bar = AddBar();
  bar.SetSecondThumb(true);
  Show();
  // Thumbs at 5 (x 125..134) and 15 (x 365..374): the gap's middle is x 250.
  struct Case {
    int x;
    int position_l;
    int position_u;
  };
  const Case cases[] = {
      {251, 5, 10},  // 246 x 20 div 480 = 10 for the upper thumb
      {250, 10, 15},
      {20, 0, 15},
      {480, 5, 19},
  };
  for (const Case& c : cases) {
    bar.SetPositionU(15);
    bar.SetPositionL(5);
    Click(bar, c.x);
    EXPECT_EQ(bar.PositionL(), c.position_l) << "x = " << c.x;
    EXPECT_EQ(bar.PositionU(), c.position_u) << "x = " << c.x;
  }

  bar.SetPositionU(15);
  bar.SetPositionL(5);
  Press(bar, 370);
  EXPECT_TRUE(bar.TrackingU());
  EXPECT_FALSE(bar.TrackingL());
  QTest::mouseMove(&bar, QPoint(50, 25));  // dragged below the lower thumb: kept above it
  EXPECT_EQ(bar.PositionU(), 6);
  Release(bar, 50);
  EXPECT_FALSE(bar.TrackingU());
}

TEST_F(TrackBarInputTest, OnAUserDrawnTwoThumbBarEveryPressPastTheOriginMovesTheUpperThumb) {
  TTrackBar2& bar = AddBar();
  bar.SetThumbStyle(TThumbStyle::tsUserDrawn);
  bar.SetSecondThumb(true);
  bar.SetPositionU(15);
  bar.SetPositionL(5);
  Show();
  Click(bar, 30);  // (30 - 10) x 20 div 480 = 0, kept above the lower thumb
  EXPECT_EQ(bar.PositionL(), 5);
  EXPECT_EQ(bar.PositionU(), 6);
  Click(bar, 0);
  EXPECT_EQ(bar.PositionL(), 0);
}

TEST_F(TrackBarInputTest, VerticalBarsPickValuesUpwards) {
  TTrackBar2& bar = AddBar({50, 500});
  Show();
  ASSERT_EQ(bar.Orientation(), TOrientation::trVertical);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(25, 100));
  EXPECT_EQ(bar.PositionL(), 17);
  // Shift above the thumb steps up.
  QTest::mouseClick(&bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(25, 20));
  EXPECT_EQ(bar.PositionL(), 18);
}

TEST_F(TrackBarInputTest, AnEmptyRangeIgnoresPresses) {
  TTrackBar2& bar = AddBar();
  bar.SetMax(0);
  int downs = 0;
  bar.OnMouseDown = [&downs](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    ++downs;
  };
  Show();
  for (int x : {0, 10, 250, 499}) {
    Press(bar, x);
    QTest::mouseMove(&bar, QPoint(x + 1, 25));
    Release(bar, x + 1);
  }
  Press(bar, 250, Qt::ShiftModifier);
  Release(bar, 250);
  EXPECT_EQ(bar.PositionL(), 0);
  EXPECT_FALSE(bar.TrackingL());
  EXPECT_EQ(downs, 5);
  EXPECT_TRUE(bar.hasFocus());
}

TEST_F(TrackBarInputTest, MouseEventsFireAroundTheBarsOwnHandling) {
  TTrackBar2& bar = AddBar();
  TTrackBar2& other = AddBar();
  other.move(0, 100);
  std::vector<std::string> log;
  bar.OnMouseDown = [&](QWidget* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                        int) {
    EXPECT_EQ(sender, &bar);
    log.push_back("down " + std::to_string(button) + " x " + std::to_string(x) + " focus " +
                  std::to_string(bar.hasFocus()) + " at " + std::to_string(bar.PositionL()));
  };
  bar.OnMouseMove = [&](QWidget*, Qt::MouseButtons buttons, Qt::KeyboardModifiers, int, int) {
    log.push_back("move " + std::to_string(buttons.toInt()) + " at " +
                  std::to_string(bar.PositionL()));
  };
  bar.OnMouseUp = [&](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back("up tracking " + std::to_string(bar.TrackingL()));
  };
  bar.OnClick = [&](TTrackBar2*) { log.push_back("click"); };
  bar.OnChange = [&](TTrackBar2*) { log.push_back("change " + std::to_string(bar.PositionL())); };
  Show();
  other.setFocus();

  Press(bar, 10);
  QTest::mouseMove(&bar, QPoint(250, 25));
  Release(bar, 250);
  other.setFocus();
  QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(400, 25));

  const std::vector<std::string> expected = {
      "down 1 x 10 focus 0 at 0",  // before the bar took the focus
      "change 10",
      "move 1 at 10",  // the move event sees the new position
      "up tracking 0",
      "click",
      "down 2 x 400 focus 0 at 10",  // the right button moves nothing but takes the focus
      "up tracking 0",
  };
  EXPECT_EQ(log, expected);
  EXPECT_EQ(bar.PositionL(), 10);
  EXPECT_TRUE(bar.hasFocus());
}

TEST_F(TrackBarInputTest, KeysMoveTheLowerOrWithShiftTheUpperThumb) {
  struct Case {
    Qt::Key key;
    bool shift;
    bool second_thumb;
    int position_l;
    int position_u;
  };
  // From PositionL 8 and PositionU 12 with SmallChange 1 and LargeChange 2.
  const Case cases[] = {
      {Qt::Key_PageUp, false, false, 10, 12}, {Qt::Key_PageDown, false, false, 6, 12},
      {Qt::Key_Right, false, false, 9, 12},   {Qt::Key_Up, false, false, 9, 12},
      {Qt::Key_Left, false, false, 7, 12},    {Qt::Key_Down, false, false, 7, 12},
      {Qt::Key_Right, true, true, 8, 13},     {Qt::Key_PageDown, true, true, 8, 10},
      {Qt::Key_Right, true, false, 9, 12},    {Qt::Key_Home, false, false, 8, 12},
  };
  TTrackBar2& bar = AddBar();
  Show();
  bar.setFocus();
  for (const Case& c : cases) {
    bar.SetSecondThumb(c.second_thumb);
    bar.SetPositionU(12);
    bar.SetPositionL(8);
    QTest::keyClick(&bar, c.key, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(bar.PositionL(), c.position_l) << "key " << c.key << " shift " << c.shift;
    EXPECT_EQ(bar.PositionU(), c.position_u) << "key " << c.key << " shift " << c.shift;
  }
}

TEST_F(TrackBarInputTest, TheFocusedBarKeepsTheArrowKeysAndTabLeavesIt) {
  TTrackBar2& first = AddBar();
  TTrackBar2& second = AddBar();
  second.move(0, 100);
  std::vector<std::string> focus;
  first.OnEnter = [&](TTrackBar2*) { focus.push_back("enter first"); };
  first.OnExit = [&](TTrackBar2*) { focus.push_back("exit first"); };
  second.OnEnter = [&](TTrackBar2*) { focus.push_back("enter second"); };
  Show();
  first.setFocus();
  ASSERT_TRUE(first.hasFocus());
  // Sent to the focused widget, as the keyboard does.
  QWidget* const focused = nullptr;
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right}) {
    QTest::keyClick(focused, key);
  }
  EXPECT_TRUE(first.hasFocus());
  EXPECT_EQ(first.PositionL(), 2);
  QTest::keyClick(focused, Qt::Key_Tab);
  EXPECT_TRUE(second.hasFocus());
  const std::vector<std::string> expected = {"enter first", "exit first", "enter second"};
  EXPECT_EQ(focus, expected);
}

}  // namespace
}  // namespace korvex::controls
