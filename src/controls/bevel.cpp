#include "controls/bevel.h"

namespace korvex::controls {

void DrawFrame(QPainter& canvas, const QRect& rect, const QColor& top_left,
               const QColor& bottom_right) {
  if (rect.isEmpty()) return;
  const int right = rect.left() + rect.width() - 1;
  const int bottom = rect.top() + rect.height() - 1;
  canvas.fillRect(rect.left(), rect.top(), 1, rect.height(), top_left);
  canvas.fillRect(rect.left(), rect.top(), rect.width() - 1, 1, top_left);
  canvas.fillRect(right, rect.top(), 1, rect.height(), bottom_right);
  canvas.fillRect(rect.left() + 1, bottom, rect.width() - 1, 1, bottom_right);
}

void DrawBevel(QPainter& canvas, const QRect& rect, bool raised) {
  const QColor light = raised ? Qt::white : Qt::black;
  const QColor dark = raised ? Qt::black : Qt::white;
  DrawFrame(canvas, rect, light, dark);
  DrawFrame(canvas, rect.adjusted(1, 1, -1, -1), raised ? kSilver : kGrey,
            raised ? kGrey : kSilver);
}

}  // namespace korvex::controls
