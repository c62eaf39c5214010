// Captions that fit where they are drawn, on every page and at every size the
// window is tried at, and a window that opens on the screen.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "app/qt_prompts.h"
#include "app/screen_fit.h"
#include "app/window_fixture.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "support/text_fit.h"

namespace quorvane::testing {
namespace {

using CaptionLayoutTest = ExampleWindowTest;

TEST_F(CaptionLayoutTest, EveryCaptionFitsOnEveryPageAtDesignSizeAndAt1024x768) {
    window_->show();
    window_->RunAnalysis();  // shows the auto-fill controls too
    WaitForAnalysis();
    window_->showNormal();
    window_->resize(606, 420 + window_->menuBar()->height());
    QApplication::processEvents();
    EXPECT_EQ(ClippedCaptionsOnEveryPage(*window_).join(QLatin1Char('\n')).toStdString(), "");

    window_->resize(1024, 768);
    QApplication::processEvents();
    EXPECT_EQ(ClippedCaptionsOnEveryPage(*window_).join(QLatin1Char('\n')).toStdString(), "");

    // Every page as it looks, to be looked at.
    const QString shots = QStringLiteral(QUORVANE_BINARY_DIR "/tests/app/pages-1024x768") +
                          (window_->devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString());
    ASSERT_TRUE(QDir().mkpath(shots));
    auto* pages = Child<QTabWidget>(*window_, "PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        EXPECT_TRUE(window_->grab().save(shots + QLatin1Char('/') + pages->widget(i)->objectName() +
                                         QStringLiteral(".png")));
    }
}

TEST_F(CaptionLayoutTest, EveryPageTabFitsTheDesignWidth) {
    window_->show();
    window_->resize(606, 420 + window_->menuBar()->height());
    QApplication::processEvents();
    auto* pages = Child<QTabWidget>(*window_, "PageControl1");
    ASSERT_EQ(pages->count(), 8);
    ASSERT_EQ(pages->width(), 586);
    EXPECT_EQ(ClippedCaptions(*pages).join(QLatin1Char('\n')).toStdString(), "");
    int right = 0;
    for (int i = 0; i < pages->count(); ++i) {
        right = std::max(right, pages->tabBar()->tabRect(i).right());
    }
    EXPECT_LT(right, pages->width()) << "the tabs need " << right + 1 << " pixels";
}

TEST_F(CaptionLayoutTest, SettingsLabelsKeepTheirPlacesAndHoldTheirWholeText) {
    window_->show();
    QApplication::processEvents();
    auto* page = Child<SymptomListPage>(*window_, "TabSheet3");
    EXPECT_EQ(Child<QLabel>(*page, "Label7")->pos(), QPoint(248, 8));
    EXPECT_EQ(Child<QLabel>(*page, "Label10")->pos(), QPoint(400, 16));
    EXPECT_EQ(Child<QLabel>(*page, "Label1")->pos(), QPoint(0, 184));
    EXPECT_EQ(Child<QLabel>(*page, "Label6")->pos(), QPoint(8, 240));
    EXPECT_EQ(Child<QLabel>(*page, "Label8")->pos(), QPoint(88, 288));
    for (const QLabel* label : {Child<QLabel>(*page, "Label1"), Child<QLabel>(*page, "Label6"),
                                Child<QLabel>(*page, "Label8"), Child<QLabel>(*page, "Label10")}) {
        const QRect needed = label->fontMetrics().boundingRect(
            label->contentsRect(), Qt::TextWordWrap | label->alignment(), label->text());
        EXPECT_LE(needed.height(), label->contentsRect().height())
            << label->objectName().toStdString();
        EXPECT_LE(needed.width(), label->contentsRect().width())
            << label->objectName().toStdString();
    }
    // The two advice labels do not run into each other.
    EXPECT_FALSE(Child<QLabel>(*page, "Label6")
                     ->geometry()
                     .intersects(Child<QLabel>(*page, "Label8")->geometry()));
}

TEST(InputBoxLayoutTest, RenameBoxIsWideEnoughForItsTitle) {
    QtPrompts prompts;
    const QString title = QStringLiteral("Enter New Symptom to monitor");
    int width = 0;
    int titleWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QFont bold = box->font();
        bold.setBold(true);
        titleWidth = QFontMetrics(bold).horizontalAdvance(title);
        width = box->width();
        box->reject();
    });
    EXPECT_EQ(prompts.InputBox(title, QStringLiteral("The Present Symptom is"),
                               QStringLiteral("HEADACHE")),
              QStringLiteral("HEADACHE"));
    // Room for the title in a bold font beside an icon and three window buttons.
    EXPECT_GE(width, titleWidth + 100);
}

TEST(ScreenFitTest, WindowLargerThanTheScreenIsShrunkAndMovedOntoIt) {
    const QMargins frame(4, 24, 4, 4);
    const QRect screen(0, 0, 512, 384);
    // Fits: unchanged.
    EXPECT_EQ(FitIntoScreen(QRect(20, 40, 300, 200), frame, screen), QRect(20, 40, 300, 200));
    // Hangs over the right and bottom edges: moved back, size kept.
    EXPECT_EQ(FitIntoScreen(QRect(400, 300, 300, 200), frame, screen), QRect(208, 180, 300, 200));
    // Larger than the screen: frame and all fill it exactly.
    EXPECT_EQ(FitIntoScreen(QRect(157, 100, 606, 440), frame, screen), QRect(4, 24, 504, 356));
    // Off the left and top: moved in.
    EXPECT_EQ(FitIntoScreen(QRect(-50, -10, 100, 100), frame, QRect(100, 50, 800, 600)),
              QRect(104, 74, 100, 100));
}

using ScreenFitWindowTest = WindowTest;

TEST_F(ScreenFitWindowTest, WindowOpensWithinTheScreen) {
    SeedExample();
    StartAccepted();
    window_->show();
    QApplication::processEvents();
    const QRect available = window_->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window_->frameGeometry()))
        << "frame " << window_->frameGeometry().width() << "x" << window_->frameGeometry().height()
        << " on " << available.width() << "x" << available.height();
    // Here no window manager frames it; room is left for the title bar one would add.
    const int titleBar = window_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    EXPECT_TRUE(available.contains(window_->geometry().adjusted(0, -titleBar, 0, 0)))
        << "client top " << window_->geometry().top() << ", title bar " << titleBar;
}

}  // namespace
}  // namespace quorvane::testing
