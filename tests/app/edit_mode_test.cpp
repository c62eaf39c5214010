// The composer's edit mode colours the whole window surface, on every page.
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <optional>
#include <vector>

#include "app/window_fixture.h"
#include "pages/composer/composer_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

const QColor kRed(255, 0, 0);

// A point of the page that no control covers; a window shrunk to a small screen
// can leave a page none.
std::optional<QPoint> BareSpot(const QWidget& page) {
    for (int y = 4; y < page.height(); y += 4) {
        for (int x = 4; x < page.width(); x += 4) {
            if (page.childAt(x, y) == nullptr) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

QColor ShownColour(QWidget& window, const QWidget& widget, QPoint spot) {
    const QImage image = window.grab().toImage();
    const QPointF inWindow = widget.mapTo(&window, spot);
    return image.pixelColor((inWindow * image.devicePixelRatio()).toPoint());
}

using EditModeWindowTest = WindowTest;

TEST_F(EditModeWindowTest, WholeSurfaceIsRedOnEveryPageWhileEditing) {
    SeedExample();
    StartAccepted();
    window_->show();
    QApplication::processEvents();
    auto* pages = Child<QTabWidget>(*window_, "PageControl1");
    auto* composer = Child<ComposerPage>(*window_, "TabSheet8");
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    QWidget* client = window_->centralWidget();
    const QPoint besideThePages(window_->ClientWidth() - 5, 100);

    // Every page's bare surface, and the window's own beside the pages.
    const auto colours = [&] {
        std::vector<QColor> shown;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            if (const auto spot = BareSpot(*pages->widget(i))) {
                shown.push_back(ShownColour(*window_, *pages->widget(i), *spot));
            }
        }
        EXPECT_GE(shown.size(), 2u) << "too few pages with a bare spot";
        shown.push_back(ShownColour(*window_, *client, besideThePages));
        return shown;
    };
    ASSERT_GE(pages->count(), 7);
    for (const QColor& colour : colours()) {
        EXPECT_EQ(colour, buttonFace) << colour.name().toStdString();
    }

    Child<QPushButton>(*composer, "Button6")->click();
    ASSERT_TRUE(composer->EditMode());
    for (const QColor& colour : colours()) {
        EXPECT_EQ(colour, kRed) << colour.name().toStdString();
    }

    Child<QPushButton>(*composer, "Button6")->click();
    ASSERT_FALSE(composer->EditMode());
    for (const QColor& colour : colours()) {
        EXPECT_EQ(colour, buttonFace) << colour.name().toStdString();
    }
}

}  // namespace
}  // namespace quorvane::testing
