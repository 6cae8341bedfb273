// The controls demo: one window with a track bar for every track, tick and thumb style, a
// two-thumb bar, a disabled bar, a vertical bar and a rectangle tracker over a picture.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>
#include <vector>

#include "controls/rect_tracker.h"
#include "controls/track_bar2.h"

namespace korvex::controls_demo {

// What the user-drawn parts of the demo paint.
inline constexpr QColor kUserTrackColor(32, 75, 139);
inline constexpr QColor kUserTickColor(255, 153, 0);
inline constexpr QColor kUserThumbColor(0, 160, 80);

// Every bar runs from 0 to 10 with its thumb at 3; the two-thumb bar selects 3 to 7.
inline constexpr int kDemoMax = 10;
inline constexpr int kDemoPositionL = 3;
inline constexpr int kDemoPositionU = 7;

class ControlsDemoWindow : public QWidget {
 public:
  ControlsDemoWindow();

  // The bars, column by column, the vertical bar last.
  const std::vector<controls::TTrackBar2*>& Bars() const { return bars_; }
  controls::TRectTracker* Tracker() const { return tracker_; }
  // The picture under the tracker, its parent.
  QLabel* TrackerPicture() const { return picture_; }

 private:
  controls::TTrackBar2* AddBar(const QString& caption, const QRect& bounds);

  std::vector<controls::TTrackBar2*> bars_;
  QLabel* picture_ = nullptr;
  controls::TRectTracker* tracker_ = nullptr;
};

}  // namespace korvex::controls_demo
