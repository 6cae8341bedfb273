// The rectangle tracker: a dotted frame with eight square handles, laid over its parent, that
// the user moves by its middle or resizes by a handle. The crop dialog marks the kept part of
// the picture with it. It may carry another control, which it keeps fitted to its inside.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

#include "controls/mouse_event.h"
#include "controls/tracker_zone.h"

namespace korvex::controls {

class TCustomRectTracker;

// The tracker's inner rectangle in its parent's coordinates.
using TTrackerEvent = std::function<void(TCustomRectTracker* sender, const QRect& track_rect)>;

// The behaviour; TRectTracker publishes its events and the carried control.
class TCustomRectTracker : public QWidget {
 public:
  // 65 x 65 pixels at the parent's origin; it never becomes smaller than 10 x 10.
  explicit TCustomRectTracker(QWidget* parent = nullptr);

  // Places the tracker in its parent's coordinates; the minimum size applies.
  void SetBounds(int left, int top, int width, int height);
  // The inner rectangle (2 pixels inside the bounds) in the parent's coordinates.
  QRect TrackRect() const;
  // What the current left-button drag moves; tzNone while no drag is under way.
  TTrackerZone TrackerZone() const { return zone_; }

 protected:
  QWidget* AcControl() const { return ac_control_; }
  // Places the tracker 5 pixels around `control` (a sibling) and keeps the control fitted to
  // it from then on; nullptr carries none. The tracker cannot carry itself.
  void SetAcControl(QWidget* control);

  // Once after a left-button drag that changed the bounds.
  TTrackerEvent OnChange;
  // These fire after the tracker has handled the press, the move or the release itself.
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Applies a pointer move during a drag of zone_.
  void Drag(QPoint pointer);
  void PlaceCarriedControl();

  TTrackerZone zone_ = TTrackerZone::tzNone;
  QPoint last_{-1, -1};                // the pointer where the drag last followed it; -1 when idle
  std::optional<QRect> press_bounds_;  // the bounds when the left button went down
  // Guarded: a carried control that has been deleted is dropped.
  QPointer<QWidget> ac_control_;
  bool placing_tracker_ = false;  // SetAcControl is fitting the tracker around the control
};

class TRectTracker : public TCustomRectTracker {
 public:
  using TCustomRectTracker::TCustomRectTracker;

  using TCustomRectTracker::AcControl;
  using TCustomRectTracker::SetAcControl;

  using TCustomRectTracker::OnChange;
  using TCustomRectTracker::OnMouseDown;
  using TCustomRectTracker::OnMouseMove;
  using TCustomRectTracker::OnMouseUp;
};

}  // namespace korvex::controls
