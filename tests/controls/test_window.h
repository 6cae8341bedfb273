// Helpers of the widget tests: a window shown on the offscreen screen, so that its children
// have their final geometry and take real mouse and key events, and pixel reading.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <string>

namespace korvex::controls {

inline ::testing::AssertionResult ShowAndWait(QWidget& window) {
  window.show();
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) {
    return ::testing::AssertionFailure() << "the window did not become active";
  }
  return ::testing::AssertionSuccess();
}

// The widget as it paints itself, one pixel per device pixel.
inline QImage Snapshot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// "#rrggbb", so that a failing comparison shows both colours.
inline std::string Hex(const QColor& colour) { return colour.name().toStdString(); }

inline std::string ColourAt(const QImage& image, QPoint point) {
  if (!image.valid(point)) return "outside";
  return Hex(image.pixelColor(point));
}

}  // namespace korvex::controls
