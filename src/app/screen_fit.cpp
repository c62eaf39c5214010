#include "app/screen_fit.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quorvane {

QRect FitIntoScreen(const QRect& client, const QMargins& frame, const QRect& available) {
    const int width = std::clamp(client.width(), 0,
                                 std::max(0, available.width() - frame.left() - frame.right()));
    const int height = std::clamp(client.height(), 0,
                                  std::max(0, available.height() - frame.top() - frame.bottom()));
    const int frameWidth = width + frame.left() + frame.right();
    const int frameHeight = height + frame.top() + frame.bottom();
    const int left = std::clamp(client.left() - frame.left(), available.left(),
                                std::max(available.left(), available.right() + 1 - frameWidth));
    const int top = std::clamp(client.top() - frame.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - frameHeight));
    return QRect(left + frame.left(), top + frame.top(), width, height);
}

void KeepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    window.setGeometry(
        FitIntoScreen(client,
                      QMargins(client.left() - frame.left(), client.top() - frame.top(),
                               frame.right() - client.right(), frame.bottom() - client.bottom()),
                      screen->availableGeometry()));
}

}  // namespace quorvane
