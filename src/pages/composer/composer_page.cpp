#include "pages/composer/composer_page.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <limits>
#include <memory>

#include "core/analysis/analysis.h"
#include "core/composer/auto_fill.h"
#include "core/composer/word_insertion.h"
#include "core/text/integer_text.h"
#include "core/text/quorvane_error.h"
#include "pages/composer/word_grid.h"
#include "ui/prompts.h"
#include "ui/text_file.h"

namespace quorvane {

namespace {

const QString kEditCaption = QStringLiteral("Edit");
const QString kStopEditCaption = QStringLiteral("Stop");
const QString kAutoCaption = QStringLiteral("Auto");
const QString kStopAutoCaption = QStringLiteral("stop");
constexpr int kTickMilliseconds = 1000;

// Calls back when the keyboard focus really leaves the watched box: not for a
// context menu, nor for another window (a box) taking the focus for a while.
class FocusLeaveFilter : public QObject {
  public:
    FocusLeaveFilter(std::function<void()> onLeave, QObject* parent)
        : QObject(parent), onLeave_(std::move(onLeave)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                onLeave_();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onLeave_;
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& tip,
                        QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    return button;
}

// The editor shows "\n" between lines; the word rule counts a line break as CR LF.
std::string EditorTextAsRecord(const QPlainTextEdit& editor) {
    QString text = editor.toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToDiskBytes(text);
}

QString RecordAsEditorText(const std::string& bytes) {
    QString text = FromDiskBytes(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// The captions "Edit"/"Stop" and "Auto"/"stop" are states; a screen reader must
// announce the one shown.
void SetCaption(QPushButton& button, const QString& caption) {
    button.setText(caption);
    button.setAccessibleName(caption);
}

void PutCaretAtEnd(QPlainTextEdit& editor) {
    editor.setFocus(Qt::OtherFocusReason);
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(QTextCursor::End);
    editor.setTextCursor(cursor);
}

}  // namespace

ComposerPage::ComposerPage(WindowServices services, std::function<QString()> minimumCountText,
                           QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      minimumCountText_(std::move(minimumCountText)) {
    setObjectName(QStringLiteral("TabSheet8"));
    // The first child is deleted first: once it is gone the page is being torn
    // down, its members are already destroyed, and the focus events that deleting
    // a focused child still sends must not reach the handlers.
    const QPointer<QObject> alive = new QObject(this);

    auto* grid = new WordGrid(kComposerColumns, kComposerRows, this);
    StringGrid2 = grid;
    StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    StringGrid2->setGeometry(8, 8, 537, 169);
    StringGrid2->setAccessibleName(QStringLiteral("Word grid"));
    grid->SetSelectionHandler([this] { services_.guard([this] { StringGrid2Click(); }); });

    RichEdit2 = new QPlainTextEdit(this);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setGeometry(8, 176, 569, 177);
    RichEdit2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit2->setAccessibleName(QStringLiteral("Diary editor"));
    // The diary has no use for tab characters, and Tab is the keyboard's only way
    // from the editor to the page's buttons (entering the page always lands here).
    RichEdit2->setTabChangesFocus(true);

    Edit6 = new QLineEdit(QStringLiteral("6"), this);
    Edit6->setObjectName(QStringLiteral("Edit6"));
    Edit6->setGeometry(552, 8, 25, 21);
    Edit6->setToolTip(QStringLiteral("Foods Eaten more than"));
    Edit6->setAccessibleName(QStringLiteral("Foods eaten more than"));
    Edit6->hide();
    Edit6->installEventFilter(new FocusLeaveFilter(
        [this, alive] {
            if (alive) {
                services_.guard([this] { Edit6Change(); });
            }
        },
        Edit6));

    buttonNew = MakeButton(this, "buttonNew", kAutoCaption, QStringLiteral("Auto show values"),
                           QRect(544, 32, 33, 25));
    buttonNew->hide();
    Button4 = MakeButton(this, "Button4", QStringLiteral("Load"), QStringLiteral("Load Defaults"),
                         QRect(544, 64, 33, 25));
    Button6 = MakeButton(this, "Button6", kEditCaption, QStringLiteral("Edit these entries"),
                         QRect(544, 96, 33, 25));
    Button5 = MakeButton(this, "Button5", QStringLiteral("Set"),
                         QStringLiteral("Set these as defaults"), QRect(544, 128, 33, 25));
    connect(buttonNew, &QPushButton::clicked, this,
            [this] { services_.guard([this] { buttonNewClick(); }); });
    connect(Button4, &QPushButton::clicked, this,
            [this] { services_.guard([this] { Button4Click(); }); });
    connect(Button6, &QPushButton::clicked, this,
            [this] { services_.guard([this] { Button6Click(); }); });
    connect(Button5, &QPushButton::clicked, this,
            [this] { services_.guard([this] { Button5Click(); }); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMilliseconds);
    connect(Timer1, &QTimer::timeout, this, [this] { services_.guard([this] { Timer1Timer(); }); });

    // Where the focus was last inside this window: when it comes back from a box
    // or from another program, that, not the other window, is where it comes from.
    auto lastFocus = std::make_shared<QPointer<QWidget>>();
    connect(qApp, &QApplication::focusChanged, this,
            [this, grid, alive, lastFocus](QWidget* from, QWidget* to) {
                if (!alive || to == nullptr || to->window() != window()) {
                    return;
                }
                QWidget* before =
                    from != nullptr && from->window() == to->window() ? from : lastFocus->data();
                *lastFocus = to;
                const auto inside = [this](QWidget* w) { return w == this || isAncestorOf(w); };
                if (!inside(to) || (before != nullptr && inside(before))) {
                    return;
                }
                if (to == grid && grid->FocusCameByMouse()) {
                    grid->IgnoreCurrentPress();
                }
                services_.guard([this] { TabSheet8Enter(); });
            });
}

void ComposerPage::SetWords(const ComposerWords& words) {
    for (int column = 0; column < kComposerColumns; ++column) {
        for (int row = 0; row < kComposerRows; ++row) {
            StringGrid2->item(row, column)->setText(FromDiskBytes(words[column][row]));
        }
    }
}

ComposerWords ComposerPage::Words() const {
    ComposerWords words;
    for (int column = 0; column < kComposerColumns; ++column) {
        for (int row = 0; row < kComposerRows; ++row) {
            words[column][row] = ToDiskBytes(StringGrid2->item(row, column)->text());
        }
    }
    return words;
}

void ComposerPage::ShowAutoFillControls() {
    Edit6->show();
    buttonNew->show();
}

void ComposerPage::FocusEditor() {
    RichEdit2->setFocus();
}

bool ComposerPage::EditMode() const {
    return Button6->text() == kStopEditCaption;
}

void ComposerPage::StringGrid2Click() {
    QTableWidgetItem* cell = StringGrid2->currentItem();
    if (cell == nullptr) {
        return;
    }
    if (EditMode()) {
        const QString answer = services_.prompts.InputBox(
            QStringLiteral("Edit Box"), QStringLiteral("Enter the new Entry (remember the \",\")"),
            cell->text());
        cell->setText(answer);
        return;
    }
    AppendWord(cell->text());
}

void ComposerPage::AppendWord(const QString& word) {
    const std::string before = EditorTextAsRecord(*RichEdit2);
    const std::string after = AppendComposerWord(before, ToDiskBytes(word));
    if (after.size() >= before.size() && after.compare(0, before.size(), before) == 0) {
        // Only characters are added at the end: inserting them keeps the editor's
        // undo history and scroll position, and is still a change of its text.
        QTextCursor end(RichEdit2->document());
        end.movePosition(QTextCursor::End);
        end.insertText(RecordAsEditorText(after.substr(before.size())));
    } else {
        RichEdit2->setPlainText(RecordAsEditorText(after));
    }
    PutCaretAtEnd(*RichEdit2);
}

void ComposerPage::Button6Click() {
    QWidget* window = this->window();
    QPalette palette = window->palette();
    if (!EditMode()) {
        SetCaption(*Button6, kStopEditCaption);
        palette.setColor(QPalette::Window, QColor(255, 0, 0));
    } else {
        SetCaption(*Button6, kEditCaption);
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    }
    window->setPalette(palette);
}

void ComposerPage::Button4Click() {
    SetWords(LoadComposerWords(services_.settingsPath()));
}

void ComposerPage::Button5Click() {
    if (!services_.prompts.Confirm(
            QStringLiteral("Continue to permanently change default settings?"))) {
        return;
    }
    StoreComposerWords(services_.settingsPath(), Words());
}

void ComposerPage::TabSheet8Enter() {
    PutCaretAtEnd(*RichEdit2);
}

void ComposerPage::Edit6Change() {
    const int32_t threshold = StrToInt(ToDiskBytes(Edit6->text()));
    ComposerWords words = Words();
    if (FillWithFrequentItems(services_.analysis.Items(), threshold, words)) {
        SetWords(words);
    }
}

void ComposerPage::buttonNewClick() {
    if (buttonNew->text() == kAutoCaption) {
        Edit6->setText(minimumCountText_ ? minimumCountText_() : QString());
        Timer1->start();
        SetCaption(*buttonNew, kStopAutoCaption);
    } else {
        Timer1->stop();
        SetCaption(*buttonNew, kAutoCaption);
    }
}

void ComposerPage::Timer1Timer() {
    // An analysis run has released the list and not yet built the new one.
    if (services_.analysis.Items().First() == nullptr) {
        return;
    }
    try {
        const int32_t threshold = StrToInt(ToDiskBytes(Edit6->text()));
        if (threshold == std::numeric_limits<int32_t>::max()) {
            throw QuorvaneError("Integer overflow");
        }
        Edit6->setText(QString::number(threshold + 1));
        Edit6Change();
    } catch (const QuorvaneError&) {
        // Stopped before the report: the error box keeps the event loop turning,
        // and further ticks would only stack more boxes of the same error.
        Timer1->stop();
        SetCaption(*buttonNew, kAutoCaption);
        throw;
    }
}

}  // namespace quorvane
