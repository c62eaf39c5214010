#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace quorvane {

// The client geometry of a window moved, and where needed shrunk, so that its
// frame (the client plus `frame` around it) lies within `available`. At a large
// scale factor the design size can be larger than the whole screen.
QRect FitIntoScreen(const QRect& client, const QMargins& frame, const QRect& available);

// FitIntoScreen for a shown window and the available area of its screen.
void KeepOnScreen(QWidget& window);

}  // namespace quorvane
