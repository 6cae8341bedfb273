// The mouse events that both controls raise, with the modifier keys held and the pointer
// position in the control's own coordinates. A press or release names its button; a move
// tells which buttons are held.
#pragma once

#include <QWidget>
#include <functional>

namespace korvex::controls {

using TMouseEvent = std::function<void(QWidget* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QWidget* sender, Qt::MouseButtons buttons,
                                           Qt::KeyboardModifiers shift, int x, int y)>;

}  // namespace korvex::controls
