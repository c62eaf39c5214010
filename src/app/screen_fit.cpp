#include "app/screen_fit.h"

#include <QScreen>
#include <QStyle>
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
    QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                     frame.right() - client.right(), frame.bottom() - client.bottom());
    // Before the window manager has framed the window its frame is unknown, or
    // only the platform's guess: allow at least for a title bar and thin borders,
    // so the title bar too ends up on the screen.
    const int border = 4;
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    margins = QMargins(std::max(margins.left(), border), std::max(margins.top(), title + border),
                       std::max(margins.right(), border), std::max(margins.bottom(), border));
    window.setGeometry(FitIntoScreen(client, margins, screen->availableGeometry()));
}

}  // namespace quorvane
