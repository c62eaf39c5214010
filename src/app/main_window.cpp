#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QShortcut>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "app/handler_guard.h"
#include "app/screen_fit.h"
#include "app/window_texts.h"
#include "core/analysis/correlation.h"
#include "core/settings/settings_store.h"
#include "pages/composer/composer_page.h"
#include "pages/results/results_grid_model.h"
#include "pages/suspects/challenge_panel.h"
#include "pages/suspects/suspects_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "ui/print_commands.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/window_services.h"

namespace quorvane {

namespace {

constexpr int kStatusBarHeight = 19;
constexpr int kGridRowHeight = 20;

// The design font "MS Sans Serif" 8 pt is 11 pixels high at 96 dpi; Liberation
// Sans is the nearest font a Debian system has.
QFont WindowFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

QFont ReportFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    return font;
}

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A caption as a screen reader should say it: "S&preadsheet" is "Spreadsheet".
QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        plain.append(caption[i]);
    }
    return plain;
}

// Brings the page `step` tabs away (wrapping) to the front. When the focus is not
// on that page it moves to the page's first tab stop, or to the tab bar when the
// page has none, so that it stays inside the pages for the next step.
void StepPage(QTabWidget& pages, int step) {
    const int count = pages.count();
    pages.setCurrentIndex((pages.currentIndex() + step % count + count) % count);
    QWidget* page = pages.currentWidget();
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && page->isAncestorOf(focus)) {
        return;
    }
    QWidget* target = pages.tabBar();
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isVisibleTo(page) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) != 0) {
            target = w;
            break;
        }
    }
    target->setFocus(Qt::TabFocusReason);
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the pages while the focus is anywhere
// inside them. A shortcut rather than the tab widget's own key handling, which
// never sees the keys once a grid has taken them.
void ConnectPageSteps(QTabWidget& pages) {
    auto* next = new QShortcut(&pages);
    next->setKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    auto* previous = new QShortcut(&pages);
    previous->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    for (QShortcut* shortcut : {next, previous}) {
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    }
    QObject::connect(next, &QShortcut::activated, &pages, [&pages] { StepPage(pages, 1); });
    QObject::connect(previous, &QShortcut::activated, &pages, [&pages] { StepPage(pages, -1); });
}

// The style's padding beside a tab's caption, halved: so eight pages' tabs fit
// the design width, their captions still well apart.
class CompactTabStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
};

// A page left to the tab widget shows the style's pane colour, not the window's.
void FillPageBackgrounds(QTabWidget& pages) {
    for (int i = 0; i < pages.count(); ++i) {
        pages.widget(i)->setAutoFillBackground(true);
    }
}

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setGeometry(geometry);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setPlainText(text);
    return memo;
}

}  // namespace

TForm1::TForm1(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), analysis_(symptoms_) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFont(WindowFont());
    // The window and every page paint their surface in the Window role, which
    // starts as the button-face colour: the composer's edit mode colours it all.
    QPalette surface = palette();
    surface.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);

    printing_ = std::make_unique<PrintCommands>(prompts_);
    BuildMenu();
    BuildClientArea();
    BuildPages();
    FillPageBackgrounds(*PageControl1);
    ConnectPageSteps(*PageControl1);
    NameControls();
    job_ = std::make_unique<AnalysisJob>(analysis_, [this](const QString& diaryPath) {
        return SuspectsPage1->FindSuspectsOf(diaryPath);
    });
    ConnectAnalysisJob();

    // Outer frame at 157,100; the client area below the menu bar is 606 x 420.
    move(157, 100);
    resize(606, 420 + menuBar()->sizeHint().height());
}

TForm1::~TForm1() {
    job_.reset();
}

void TForm1::BuildMenu() {
    File1 = Named(menuBar()->addMenu(QStringLiteral("&File")), "File1");
    const auto add = [this](const char* name, const QString& caption, const QString& hint,
                            void (TForm1::*handler)()) {
        QAction* action = Named(File1->addAction(caption), name);
        // Kept on the item, never shown: the status bar carries only the notice line.
        action->setStatusTip(hint);
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([&] { (this->*handler)(); }); });
        return action;
    };
    New1 = add("New1", QStringLiteral("&New"), QString(), &TForm1::New1Click);
    Open2 = add("Open2", QStringLiteral("&Open..."), QStringLiteral("Open Environmental Data"),
                &TForm1::Open2Click);
    Save2 = add("Save2", QStringLiteral("&Save"), QStringLiteral("Save Environmental Data"),
                &TForm1::Save2Click);
    SaveAs1 = add("SaveAs1", QStringLiteral("Save &As..."), QString(), &TForm1::SaveAs1Click);
    N1 = Named(File1->addSeparator(), "N1");
    d1 = add("d1", QStringLiteral("&Analysis"), QStringLiteral("Analyse the current file"),
             &TForm1::RunAnalysis);
    N2 = Named(File1->addSeparator(), "N2");
    PrinterSetUp1 = add("PrinterSetUp1", QStringLiteral("Printer SetUp..."), QString(),
                        &TForm1::PrinterSetUp1Click);
    Print1 = add("Print1", QStringLiteral("&Print..."),
                 QStringLiteral("Print Data or Results whichever visible"), &TForm1::Print1Click);
    Quit1 = add("Quit1", QStringLiteral("&Quit"), QString(), &TForm1::Quit1Click);

    // The desktop's usual keys, as the platform names them.
    New1->setShortcut(QKeySequence::New);
    Open2->setShortcut(QKeySequence::Open);
    Save2->setShortcut(QKeySequence::Save);
    Print1->setShortcut(QKeySequence::Print);
    Quit1->setShortcut(QKeySequence::Quit);
    if (Quit1->shortcut().isEmpty()) {
        Quit1->setShortcut(Qt::CTRL | Qt::Key_Q);  // a platform with no quit key of its own
    }
    // F1 has no menu item: it brings the Help page to the front.
    auto* help = Named(new QAction(this), "HelpKey");
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);
    connect(help, &QAction::triggered, this, [this] { PageControl1->setCurrentWidget(TabSheet6); });
}

void TForm1::BuildClientArea() {
    auto* client = Named(new QWidget(this), "ClientArea");
    setCentralWidget(client);
    client->installEventFilter(this);

    Button1 = Named(new QPushButton(QStringLiteral("Set &Columns"), client), "Button1");
    Button1->setGeometry(224, 0, 81, 17);
    connect(Button1, &QPushButton::clicked, this, [this] { Guard([this] { Edit4Change(); }); });

    Edit4 = Named(new QLineEdit(QStringLiteral("170"), client), "Edit4");
    Edit4->setGeometry(304, 0, 41, 21);

    PageControl1 = Named(new QTabWidget(client), "PageControl1");
    PageControl1->setGeometry(0, 16, 593, 385);
    auto* tabStyle = new CompactTabStyle(QStyleFactory::create(QApplication::style()->name()));
    // A child of the window made after the client area: it outlives the tab bar.
    tabStyle->setParent(this);
    PageControl1->tabBar()->setStyle(tabStyle);

    StatusBar1 = Named(new QStatusBar(client), "StatusBar1");
    StatusBar1->setGeometry(0, 420 - kStatusBarHeight, 606, kStatusBarHeight);
}

void TForm1::BuildPages() {
    TabSheet1 = Named(new QWidget, "TabSheet1");
    RichEdit1 = Named(new QPlainTextEdit(TabSheet1), "RichEdit1");
    RichEdit1->setGeometry(0, 8, 377, 249);
    RichEdit1->setReadOnly(true);
    RichEdit1->setFocusPolicy(Qt::ClickFocus);
    RichEdit1->setTabChangesFocus(false);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFont(ReportFont());

    TabSheet2 = Named(new QWidget, "TabSheet2");
    gridModel_ = new ResultsGridModel(analysis_, this);
    // Also called on the engine's thread; the run refreshes the view when it is over.
    analysis_.SetGridChanged([this] {
        if (!engineBusy_) {
            gridModel_->Refresh();
        }
    });
    StringGrid1 = Named(new QTableView(TabSheet2), "StringGrid1");
    StringGrid1->setGeometry(0, 0, 433, 273);
    StringGrid1->setModel(gridModel_);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    // Any width "Set &Columns" names, however narrow, not the style's minimum.
    StringGrid1->horizontalHeader()->setMinimumSectionSize(0);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(columnWidth_);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(StringGrid1, &QTableView::pressed, this, [this](const QModelIndex& index) {
        Guard([&] { StringGrid1MouseUp(index.column(), index.row()); });
    });
    connect(StringGrid1, &QTableView::doubleClicked, this,
            [this] { Guard([this] { StringGrid1DblClick(); }); });

    WindowServices services{prompts_, symptoms_, analysis_, [this] { return SettingsFilePath(); },
                            [this](const std::function<void()>& handler) { Guard(handler); }};
    TabSheet3 = new SymptomListPage(services, [this] { analysis_.RefreshSymptomHeadings(); });

    Tabsheet4 = Named(new QWidget, "Tabsheet4");
    ProgressBar1 = Named(new QProgressBar(Tabsheet4), "ProgressBar1");
    ProgressBar1->setGeometry(8, 8, 561, 9);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    TabSheet5 = Named(new QWidget, "TabSheet5");
    Memo3 = MakeMemo(TabSheet5, "Memo3", AgreementText(), QRect(0, 0, 561, 337));
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    TabSheet6 = Named(new QWidget, "TabSheet6");
    Memo4 = MakeMemo(TabSheet6, "Memo4", HelpText(), QRect(16, 16, 505, 289));
    Memo4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    TabSheet8 = new ComposerPage(services, [this] { return TabSheet3->MinimumCountText(); });
    SuspectsPage1 = new SuspectsPage(services);
    connect(SuspectsPage1, &SuspectsPage::StatusMessage, StatusBar1,
            [this](const QString& text) { StatusBar1->showMessage(text); });

    PageControl1->addTab(TabSheet1, QStringLiteral("&Main and Print Preview"));
    PageControl1->addTab(TabSheet2, QStringLiteral("S&preadsheet"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Settings &First"));
    PageControl1->addTab(Tabsheet4, QStringLiteral("P&rogress"));
    PageControl1->addTab(TabSheet5, QStringLiteral("&Agreement"));
    PageControl1->addTab(TabSheet6, QStringLiteral("&Help"));
    PageControl1->addTab(TabSheet8, QStringLiteral("&Composer"));
    PageControl1->addTab(SuspectsPage1, QStringLiteral("S&uspects"));
    PageControl1->setCurrentWidget(TabSheet6);
    PageControl1->tabBar()->installEventFilter(this);
    StringGrid1->installEventFilter(this);
    connect(SuspectsPage1->Challenge(), &ChallengePanel::DiaryWordRequested, this,
            [this](const QString& word) {
                TabSheet8->AppendWord(word);
                PageControl1->setCurrentWidget(TabSheet8);
            });

    record_ = new RecordDocument(
        prompts_, TabSheet8->Editor(), [this] { return SettingsFilePath(); }, this);
    connect(record_, &RecordDocument::captionChanged, this, &TForm1::SetCaption);
    connect(record_, &RecordDocument::saveEnabledChanged, Save2, &QAction::setEnabled);
    // Every change is noted, also one made while commands wait for the engine.
    connect(&TabSheet8->Editor(), &QPlainTextEdit::textChanged, this,
            [this] { RunGuarded(prompts_, [this] { RichEdit2Change(); }); });
}

// What a screen reader announces: the caption where a control shows one, else a
// short description. The pages name their own controls.
void TForm1::NameControls() {
    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    File1->setAccessibleName(PlainCaption(File1->title()));
    centralWidget()->setAccessibleName(QStringLiteral("Quorvane"));
    Button1->setAccessibleName(PlainCaption(Button1->text()));
    Edit4->setAccessibleName(QStringLiteral("Column width"));
    PageControl1->setAccessibleName(QStringLiteral("Pages"));
    for (int i = 0; i < PageControl1->count(); ++i) {
        PageControl1->widget(i)->setAccessibleName(PlainCaption(PageControl1->tabText(i)));
    }
    StatusBar1->setAccessibleName(QStringLiteral("Status"));
    RichEdit1->setAccessibleName(QStringLiteral("Report"));
    StringGrid1->setAccessibleName(QStringLiteral("Results grid"));
    ProgressBar1->setAccessibleName(QStringLiteral("Analysis progress"));
    Memo3->setAccessibleName(QStringLiteral("Agreement text"));
    Memo4->setAccessibleName(QStringLiteral("Help text"));
}

void TForm1::Guard(const std::function<void()>& handler) {
    // The window is disabled meanwhile; this also stops what still gets through
    // (a shortcut, a timer tick) from touching the analysis under the engine.
    if (engineBusy_) {
        return;
    }
    RunGuarded(prompts_, handler);
}

const QString& TForm1::MainFileName() const {
    return record_->MainFileName();
}

bool TForm1::RecordModified() const {
    return record_->RecordModified();
}

std::string TForm1::SettingsFilePath() const {
    return SettingsPath(PathBytes(startDir_));
}

int TForm1::ClientWidth() const {
    return centralWidget()->width();
}

int TForm1::ClientHeight() const {
    return centralWidget()->height();
}

void TForm1::SetCaption(const QString& caption) {
    setWindowTitle(caption);
}

bool TForm1::event(QEvent* event) {
    // Menu hints stay on their items; without this Qt would route them to a status bar.
    if (event->type() == QEvent::StatusTip) {
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // "Settings &First" and "&File" share Alt+F; the menu wins, as the keyboard
    // would otherwise have no way into it but F10. That page is reached with
    // Ctrl+Tab. ("Set &Columns" and "&Composer" share Alt+C too; there the keys
    // take turns, as with any repeated mnemonic: the button's focus, then the page.)
    if (event->type() == QEvent::Shortcut && PageControl1 && watched == PageControl1->tabBar() &&
        static_cast<QShortcutEvent*>(event)->key() == QKeySequence::mnemonic(File1->title())) {
        menuBar()->setActiveAction(File1->menuAction());
        return true;
    }
    // The keyboard's double-click on the results grid: Enter on the current cell.
    if (StringGrid1 && watched == StringGrid1 && IsEnterKey(event)) {
        const QModelIndex cell = StringGrid1->currentIndex();
        if (cell.isValid()) {
            Guard([&] {
                StringGrid1MouseUp(cell.column(), cell.row());
                StringGrid1DblClick();
            });
        }
        return true;
    }
    if (event->type() == QEvent::Resize && StatusBar1 && watched == centralWidget()) {
        StatusBar1->setGeometry(0, ClientHeight() - kStatusBarHeight, ClientWidth(),
                                kStatusBarHeight);
        RunGuarded(prompts_, [this] { FormResize(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!startupScheduled_) {
        startupScheduled_ = true;
        // At a large scale factor the design size can exceed the screen.
        KeepOnScreen(*this);
        // After the show has been painted, so the window stands behind the agreement box.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The close box asks the save prompt as Quit does; Cancel, a cancelled save
    // dialog or a failed save keep the window open with its text.
    if (engineBusy_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    bool mayClose = closeApproved_;
    closeApproved_ = false;
    if (!mayClose) {
        Guard([&] { mayClose = record_->MayClose(); });
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    Guard([this] { FormClose(); });
    event->accept();
}

}  // namespace quorvane
