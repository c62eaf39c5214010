// Seeded runs of random user actions on the window, offscreen. After every action:
// no exception got past the window, every file in the working folder holds what
// the user last saved there (or what another program put there), and the recovery
// file holds the unsaved text. A failure names the seed, the action and the
// actions before it, so that it can be replayed:
//   QUORVANE_MONKEY_SEED=<seed> QUORVANE_MONKEY_ACTIONS=<n> window_monkey_test
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>

#include "app/main_window.h"
#include "app/window_fixture.h"
#include "pages/composer/composer_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "ui/prompts.h"
#include "ui/record_document.h"
#include "ui/recovery_file.h"
#include "ui/text_codec.h"

namespace quorvane::testing {
namespace {

#ifdef QUORVANE_SANITIZE
constexpr int kDefaultActions = 250;
#else
constexpr int kDefaultActions = 1000;
#endif

const QString kSettingsName = QStringLiteral("Quorvane.ini");
const QString kRecoveryName = QString::fromLatin1(kRecoveryFileName);
const QString kDeclinedName = kRecoveryName + QStringLiteral(".declined");

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// A text on one line, its line breaks and controls made visible.
QString Visible(const QString& text) {
    QString shown;
    for (const QChar c : text.left(300)) {
        shown += c == QLatin1Char('\n') ? QStringLiteral("\\n")
                 : c.unicode() < 0x20
                     ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                     : QString(c);
    }
    return shown;
}

// A save replaces the file by a new one; another program writing in place keeps it.
quint64 Inode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

QString Abs(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// Answers every box at random from the run's seed and notes what it was asked
// and answered, so the checks know what the user chose.
class MonkeyPrompts : public Prompts {
  public:
    explicit MonkeyPrompts(std::mt19937& random) : random_(random) {}

    std::vector<QString> openPaths;  // candidates for the open dialog
    std::vector<QString> savePaths;  // candidates for the save dialog
    QString pdfPath;
    std::function<void()> onAgreement;

    // What happened during the current action.
    struct Log {
        QStringList boxes;
        std::vector<QString> saveChosen;
        bool replaceYes = false;
        bool saveYes = false;  // Yes in a save prompt
        bool agreementAsked = false;
        bool restoreAsked = false;
        int errors = 0;
        std::optional<QString> openChosen;
    } log;
    QMap<QString, int> seen;  // every kind of box over the whole run

    void Message(const QString&) override { Note("message"); }
    bool Confirm(const QString& text) override {
        Note("confirm");
        if (text == QString::fromLatin1(kSaveQuestion)) {
            log.saveYes = Coin();
            return log.saveYes;
        }
        if (text.contains(QStringLiteral("Restore it?"))) {
            log.restoreAsked = true;
        }
        return Coin();
    }
    SaveChoice AskSave(const QString&) override {
        Note("ask save");
        const int pick = Pick(3);
        log.saveYes = pick == 0;
        return pick == 0 ? SaveChoice::Yes : pick == 1 ? SaveChoice::No : SaveChoice::Cancel;
    }
    bool ConfirmReplace(const QString&) override {
        Note("replace");
        const bool yes = Coin();
        log.replaceYes = log.replaceYes || yes;
        return yes;
    }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override {
        Note("input");
        static const char* const answers[] = {
            "ITCH",        "",      "  ",       "sneeze",
            "caf\xc3\xa9", "TOTAL", "HEADACHE", "a very long symptom name that is cut"};
        if (Pick(4) == 0) {
            return defaultText;  // Cancel
        }
        return QString::fromUtf8(answers[Pick(std::size(answers))]);
    }
    bool Agreement(const QString&, const QString&) override {
        Note("agreement");
        log.agreementAsked = true;
        if (onAgreement) {
            onAgreement();
        }
        return Pick(30) != 0;
    }
    void Error(const QString&) override {
        Note("error");
        ++log.errors;
    }
    std::optional<QString> OpenFileName(const QString&, const QString&, const QString&) override {
        Note("open");
        if (Pick(5) == 0) {
            return std::nullopt;
        }
        log.openChosen = openPaths[Pick(openPaths.size())];
        return log.openChosen;
    }
    std::optional<QString> SaveFileName(const QString&, const QString&, bool) override {
        Note("save dialog");
        if (Pick(5) == 0) {
            return std::nullopt;
        }
        log.saveChosen.push_back(savePaths[Pick(savePaths.size())]);
        return log.saveChosen.back();
    }
    bool HasDefaultPrinter() override { return Pick(10) != 0; }
    bool PrintDialog(QPrinter& printer) override {
        Note("print");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return Coin();
    }
    bool PrinterSetupDialog(QPrinter&) override {
        Note("printer setup");
        return Coin();
    }

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    bool Coin() { return Pick(2) == 0; }

  private:
    void Note(const char* kind) {
        log.boxes << QString::fromLatin1(kind);
        ++seen[QString::fromLatin1(kind)];
    }
    std::mt19937& random_;
};

class Monkey {
  public:
    Monkey(unsigned seed, const QString& folder, const QString& pdfFolder)
        : seed_(seed), random_(seed), prompts_(random_), dir_(folder) {
        prompts_.pdfPath = QDir(pdfFolder).filePath(QStringLiteral("out.pdf"));
        Seed();
    }

    // Runs the actions; the first failed check ends the run with its story.
    void Run(int actions) {
        Start();
        for (index_ = 0; index_ < actions && !failed_; ++index_) {
            Act();
            if (!failed_) {
                Check();
            }
            if (!failed_ && !window_->isVisible()) {
                Remember(QStringLiteral("(the window closed: the program starts again)"));
                Start();
            }
        }
        window_.reset();
    }

    bool Failed() const { return failed_; }
    const QMap<QString, int>& Boxes() const { return prompts_.seen; }

  private:
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    ComposerPage& Composer() const { return *Child<ComposerPage>(*window_, "TabSheet8"); }
    QPlainTextEdit& Editor() const { return *Child<QPlainTextEdit>(Composer(), "RichEdit2"); }
    QTabWidget& Pages() const { return *Child<QTabWidget>(*window_, "PageControl1"); }
    void Trigger(const char* action) const { Child<QAction>(*window_, action)->trigger(); }

    void Seed() {
        WriteBytes(Path("example.txt"), ExampleDiary());
        WriteBytes(Path("latin.txt"), QByteArray("cr\xe8me,\xa0tea, $, headache, #,\r\n"));
        WriteBytes(Path("utf8.txt"), QByteArray("caf\xc3\xa9, th\xc3\xa9, #,\r\n"));
        WriteBytes(Path("short.txt"), QByteArray("th\xe9, #,\r\n"));  // Latin-1
        WriteBytes(Path("picture.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        dir_.mkdir(QStringLiteral("folder.txt"));
        for (const char* name :
             {"example.txt", "latin.txt", "utf8.txt", "short.txt", "picture.png"}) {
            model_[Abs(Path(name))] = ReadBytes(Path(name));
            inodes_[Abs(Path(name))] = Inode(Path(name));
        }
        prompts_.openPaths = {Path("example.txt"), Path("latin.txt"), Path("utf8.txt"),
                              Path("picture.png"), Path("folder.txt"), Path("missing.txt"),
                              Path("saved-1.txt"), Path("report.txt"), Path("short.txt"),
                              // the unsaved text, found by the user
                              dir_.filePath(kRecoveryName)};
        prompts_.savePaths = {Path("saved-1.txt"),          Path("saved-2.txt"),
                              Path("example.txt"),          Path("latin.txt"),
                              Path("report.txt"),           Path("folder.txt"),
                              Path("no-such-folder/x.txt"), Path("picture.png/x.txt"),
                              dir_.filePath(kRecoveryName)};
    }

    // A program start: a new window, its start-up, the agreement answered. Cancel
    // in the agreement box ends the program, and the user starts it again.
    void Start() {
        do {
            const bool waitingRecovery = QFileInfo::exists(dir_.filePath(kRecoveryName));
            window_.reset();
            prompts_.log = {};
            QString loaded;
            prompts_.onAgreement = [this, &loaded] { loaded = Abs(window_->MainFileName()); };
            window_ = std::make_unique<TForm1>(prompts_);
            window_->show();
            window_->FormActivate();
            prompts_.onAgreement = nullptr;
            // A recovery file that was never offered waits for a start that offers it.
            recoveryLive_ = !waitingRecovery || prompts_.log.agreementAsked;
            // What the record loaded, also when recovered text then replaces it.
            snapshot_ = {};
            if (prompts_.log.errors == 0 && !loaded.isEmpty()) {
                snapshot_ = {loaded, model_.value(loaded)};
            }
            // Start-up writes the settings file only; nothing else may change.
            CheckFiles(false, {});
        } while (!failed_ && !window_->isVisible());
    }

    void Remember(const QString& what) {
        history_.push_back(QStringLiteral("#%1 %2").arg(index_).arg(what));
        if (history_.size() > 20) {
            history_.pop_front();
        }
    }

    void Fail(const QString& why) {
        failed_ = true;
        QString story;
        for (const QString& line : history_) {
            story += QStringLiteral("\n  ") + line;
        }
        ADD_FAILURE() << "seed " << seed_ << ", action " << index_ << ": " << why.toStdString()
                      << "\nboxes of the action: " << prompts_.log.boxes.join(", ").toStdString()
                      << "\nlast actions:" << story.toStdString();
    }

    QString RandomText() {
        static const char* const pieces[] = {
            "tea, ", "white bread, ", "$, ", "#, ", "headache, ", "\n", "\n\n", "caf\xc3\xa9, ",
            "\xe2\x98\x95 ", "\xe6\xbc\xa2\xe5\xad\x97, ", "cr\xc3\xa8me, ", "\xc2\xa0", "egg", ",",
            "  ", "TIRED, ", "\xf0\x9f\x8d\x95, ",
            // pasted from a page decoded the wrong way
            "\xc3\x83\xc2\xa9"};
        QString text;
        const std::size_t count = 1 + prompts_.Pick(4);
        for (std::size_t i = 0; i < count; ++i) {
            text += QString::fromUtf8(pieces[prompts_.Pick(std::size(pieces))]);
        }
        return text;
    }

    void Act() {
        prompts_.log = {};
        pageBefore_ = Pages().currentIndex();
        nameBefore_ = Abs(window_->MainFileName());
        writesAllowed_ = false;
        reportSave_ = false;
        exportSave_ = false;
        const std::size_t kind = prompts_.Pick(28);
        try {
            Perform(kind);
        } catch (const std::exception& error) {
            Fail(QStringLiteral("an exception got past the window: ") +
                 QString::fromUtf8(error.what()));
        } catch (...) {
            Fail(QStringLiteral("an exception of unknown type got past the window"));
        }
        // File, Analysis goes on after its handler; the checks are of its end.
        if (window_->AnalysisRunning()) {
            QSignalSpy ended(window_.get(), &TForm1::analysisEnded);
            if (!ended.wait(120000)) {
                Fail(QStringLiteral("File, Analysis did not end"));
            }
        }
        QApplication::processEvents();
    }

    void Perform(std::size_t kind) {
        QPlainTextEdit& editor = Editor();
        switch (kind) {
            case 0:
            case 1:
            case 2:
            case 3: {  // typing at a random place
                if (editor.document()->characterCount() > 6000) {
                    return Perform(4);
                }
                const QString text = RandomText();
                // Moved by characters as the arrow keys move, never into a surrogate pair.
                QTextCursor cursor(editor.document());
                cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor,
                                    static_cast<int>(prompts_.Pick(static_cast<std::size_t>(
                                        editor.document()->characterCount()))));
                Remember(QStringLiteral("type %1 at %2")
                             .arg(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\\n")))
                             .arg(cursor.position()));
                Pages().setCurrentWidget(&Composer());
                cursor.insertText(text);
                return;
            }
            case 4: {  // deleting a range
                const int size = editor.document()->characterCount() - 1;
                if (size <= 0) {
                    return;
                }
                QTextCursor cursor(editor.document());
                cursor.movePosition(
                    QTextCursor::NextCharacter, QTextCursor::MoveAnchor,
                    static_cast<int>(prompts_.Pick(static_cast<std::size_t>(size))));
                cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                                    1 + static_cast<int>(prompts_.Pick(40)));
                Remember(
                    QStringLiteral("delete %1..%2").arg(cursor.anchor()).arg(cursor.position()));
                cursor.removeSelectedText();
                return;
            }
            case 5:
            case 6: {  // a word-grid click
                Pages().setCurrentWidget(&Composer());
                QTableWidget& grid = *Child<QTableWidget>(Composer(), "StringGrid2");
                const int row = static_cast<int>(prompts_.Pick(6));
                const int column = static_cast<int>(prompts_.Pick(8));
                Remember(
                    QStringLiteral("word grid click %1,%2%3")
                        .arg(column)
                        .arg(row)
                        .arg(Composer().EditMode() ? QStringLiteral(" (edit mode)") : QString()));
                grid.setCurrentCell(row, column);
                window_->Guard([this] { Composer().StringGrid2Click(); });
                return;
            }
            case 7:
                Remember(QStringLiteral("Edit/Stop"));
                Child<QPushButton>(Composer(), "Button6")->click();
                return;
            case 8: {
                const int page =
                    static_cast<int>(prompts_.Pick(static_cast<std::size_t>(Pages().count())));
                Remember(QStringLiteral("page %1").arg(page));
                Pages().setCurrentIndex(page);
                return;
            }
            case 9: {  // a symptom rename
                QListWidget& list = *Child<QListWidget>(*window_, "ListBox2");
                const int line = static_cast<int>(prompts_.Pick(20));
                Remember(QStringLiteral("rename symptom %1").arg(line));
                list.setCurrentRow(line);
                window_->Guard(
                    [this] { Child<SymptomListPage>(*window_, "TabSheet3")->ListBox1DblClick(); });
                return;
            }
            case 10:
                Remember(QStringLiteral("New"));
                Trigger("New1");
                snapshot_ = {};
                return;
            case 11: {
                Remember(QStringLiteral("Open"));
                Trigger("Open2");
                if (prompts_.log.openChosen && prompts_.log.errors == 0) {
                    const QString path = Abs(*prompts_.log.openChosen);
                    snapshot_ = {path, model_.value(path)};
                }
                if (prompts_.log.openChosen) {
                    history_.back() +=
                        QStringLiteral(" ") + QFileInfo(*prompts_.log.openChosen).fileName();
                }
                return;
            }
            case 12:
            case 13:
                Remember(QStringLiteral("Save"));
                writesAllowed_ = true;
                Trigger("Save2");
                return;
            case 14:
                Remember(QStringLiteral("Save As on page %1").arg(pageBefore_));
                writesAllowed_ = true;
                reportSave_ = Pages().currentWidget() == Child<QWidget>(*window_, "TabSheet1");
                Trigger("SaveAs1");
                return;
            case 15:
            case 16:
                Remember(QStringLiteral("Analysis"));
                writesAllowed_ = true;
                Trigger("d1");
                return;
            case 17:
                Remember(QStringLiteral("Print on page %1").arg(pageBefore_));
                Trigger("Print1");
                return;
            case 18:
                Remember(QStringLiteral("Printer SetUp"));
                Trigger("PrinterSetUp1");
                return;
            case 19:
                Remember(QStringLiteral("Quit"));
                writesAllowed_ = true;  // only with Yes, checked below
                Trigger("Quit1");
                return;
            case 20:
                Remember(QStringLiteral("close box"));
                writesAllowed_ = true;
                window_->close();
                return;
            case 21: {  // auto-fill: the button, a tick, or the threshold box
                ComposerPage& page = Composer();
                const std::size_t what = prompts_.Pick(3);
                Remember(QStringLiteral("auto-fill %1").arg(what));
                if (what == 0) {
                    Child<QPushButton>(page, "buttonNew")->click();
                } else if (what == 1) {
                    window_->Guard([&page] { page.Timer1Timer(); });
                } else {
                    Child<QLineEdit>(page, "Edit6")->setText(QString::number(prompts_.Pick(8)));
                    window_->Guard([&page] { page.Edit6Change(); });
                }
                return;
            }
            case 22: {  // the boxes the analysis reads
                QLineEdit& minimum = *Child<QLineEdit>(*window_, "Edit2");
                const std::size_t what = prompts_.Pick(6);
                Remember(QStringLiteral("settings boxes %1").arg(what));
                if (what == 0) {
                    minimum.setText(QStringLiteral("x1"));
                } else if (what < 4) {
                    minimum.setText(QString::number(1 + prompts_.Pick(4)));
                } else {
                    Child<QLineEdit>(*window_, "Edit4")
                        ->setText(QString::number(20 + prompts_.Pick(200)));
                    Child<QPushButton>(*window_, "Button1")->click();
                }
                return;
            }
            case 23: {  // the results grid and the default buttons
                const std::size_t what = prompts_.Pick(5);
                Remember(QStringLiteral("results/defaults %1").arg(what));
                if (what == 0) {
                    window_->StringGrid1MouseUp(static_cast<int>(prompts_.Pick(24)),
                                                static_cast<int>(prompts_.Pick(30)));
                    window_->Guard([this] { window_->StringGrid1DblClick(); });
                } else if (what == 1) {
                    Child<QPushButton>(Composer(), "Button4")->click();
                } else if (what == 2) {
                    Child<QPushButton>(Composer(), "Button5")->click();
                } else if (what == 3) {
                    Child<QPushButton>(*window_, "Button2")->click();
                } else {
                    Child<QPushButton>(*window_, "Button3")->click();
                }
                return;
            }
            case 24:  // a moment without input: the recovery timer fires
                Remember(QStringLiteral("idle"));
                window_->Record().Recovery().Write();
                CheckRecovery();
                return;
            case 25: {  // the program dies without its closing steps and starts again
                Remember(QStringLiteral("crash and restart"));
                Start();
                return;
            }
            case 26: {  // another program writes one of the diaries
                static const char* const names[] = {"example.txt", "saved-1.txt", "latin.txt"};
                const QString path = Path(names[prompts_.Pick(std::size(names))]);
                const QByteArray bytes =
                    "written elsewhere " + QByteArray::number(index_) + ", #,\r\n";
                Remember(
                    QStringLiteral("another program writes %1").arg(QFileInfo(path).fileName()));
                WriteBytes(path, bytes);
                model_[Abs(path)] = bytes;
                inodes_[Abs(path)] = Inode(path);
                return;
            }
            case 27: {  // the Suspects page: a symptom, a row, an export or the summary
                const std::size_t what = prompts_.Pick(4);
                Remember(QStringLiteral("suspects %1").arg(what));
                if (what == 0) {
                    auto* symptoms = Child<QComboBox>(*window_, "SuspectSymptom");
                    if (symptoms->count() > 0) {
                        symptoms->setCurrentIndex(static_cast<int>(
                            prompts_.Pick(static_cast<std::size_t>(symptoms->count()))));
                    }
                } else if (what == 1) {
                    auto* table = Child<QTableView>(*window_, "SuspectTable");
                    const int rows = table->model() == nullptr ? 0 : table->model()->rowCount();
                    if (rows > 0) {
                        table->selectRow(
                            static_cast<int>(prompts_.Pick(static_cast<std::size_t>(rows))));
                    }
                } else {
                    writesAllowed_ = true;
                    exportSave_ = true;
                    Child<QPushButton>(*window_, what == 2 ? "SuspectExportCsv" : "SuspectSummary")
                        ->click();
                }
                return;
            }
            default:
                return;
        }
    }

    void Check() {
        if (!window_->isVisible()) {
            // Closed by Quit or the close box: the record the user chose to keep is on disk.
            CheckFiles(writesAllowed_ && prompts_.log.saveYes, prompts_.log.saveChosen);
            return;
        }
        const bool quitting = (history_.back().contains(QStringLiteral("Quit")) ||
                               history_.back().contains(QStringLiteral("close box")));
        CheckFiles(writesAllowed_ && (!quitting || prompts_.log.saveYes), prompts_.log.saveChosen);
        if (failed_) {
            return;
        }
        if (window_->RecordModified() && !Child<QAction>(*window_, "Save2")->isEnabled()) {
            Fail(QStringLiteral("the record is modified but Save is disabled"));
        }
        if (!window_->windowTitle().endsWith(window_->MainFileName())) {
            Fail(QStringLiteral("the caption %1 does not name %2")
                     .arg(window_->windowTitle(), window_->MainFileName()));
        }
    }

    // Every file in the folder: unchanged, or written by a save the user chose.
    void CheckFiles(bool writesAllowed, const std::vector<QString>& chosen) {
        QMap<QString, QByteArray> now;
        QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = Abs(it.next());
            const QString name = QFileInfo(path).fileName();
            // The program's own files, unless the user saved a diary under such a name.
            if ((name == kSettingsName || name == kRecoveryName || name == kDeclinedName) &&
                !model_.contains(path)) {
                continue;
            }
            now[path] = ReadBytes(path);
        }
        for (auto known = model_.cbegin(); known != model_.cend(); ++known) {
            if (!now.contains(known.key())) {
                return Fail(QStringLiteral("%1 disappeared").arg(known.key()));
            }
        }
        QSet<QString> targets;
        for (const QString& path : chosen) {
            targets.insert(Abs(path));
            // A name picked in the save dialog, and no error: the file is there, unless
            // an export was told not to replace what has the name (here a folder).
            const bool keptByNo = QFileInfo(path).isDir() && !prompts_.log.replaceYes;
            if (prompts_.log.errors == 0 && !keptByNo && !now.contains(Abs(path))) {
                return Fail(QStringLiteral("the file saved as %1 is not there").arg(path));
            }
        }
        const QString name = Abs(window_->MainFileName());
        for (auto file = now.cbegin(); file != now.cend(); ++file) {
            const QString& path = file.key();
            if (model_.contains(path) && model_.value(path) == file.value() &&
                inodes_.value(path) == Inode(path)) {
                continue;
            }
            const bool viaDialog = targets.contains(path);
            const bool viaName = path == nameBefore_ || path == name;
            if (!writesAllowed || (!viaDialog && !viaName)) {
                return Fail(QStringLiteral("%1 was written without the user choosing it (record "
                                           "file %2 before the action, %3 after)")
                                .arg(path, nameBefore_, name));
            }
            if (exportSave_) {
                // The suspects table or the doctor's summary, whole.
                if (!file.value().startsWith("item,symptom,rank,") &&
                    !(file.value().startsWith("%PDF") &&
                      file.value().trimmed().endsWith("%%EOF"))) {
                    return Fail(
                        QStringLiteral("%1 holds neither the suspects table nor a PDF").arg(path));
                }
            } else if (reportSave_) {
                CheckTextBytes(path, file.value(),
                               Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText());
            } else {
                // A write over a file the record did not last read or write asks first,
                // unless the user picked it in the save dialog (which asks itself).
                const bool known =
                    snapshot_.first == path && model_.value(path) == snapshot_.second;
                if (model_.contains(path) && !viaDialog && !known && !prompts_.log.replaceYes) {
                    return Fail(QStringLiteral("%1 was replaced without asking").arg(path));
                }
                CheckTextBytes(path, file.value(), window_->Record().Text());
                snapshot_ = {path, file.value()};
            }
            model_[path] = file.value();
            inodes_[path] = Inode(path);
        }
    }

    // What the editor or the report showed, with CR LF line ends, read back as the same text.
    void CheckTextBytes(const QString& path, const QByteArray& bytes, const QString& shown) {
        const QByteArray withoutCrLf = QByteArray(bytes).replace("\r\n", "");
        if (withoutCrLf.contains('\n') || withoutCrLf.contains('\r')) {
            return Fail(QStringLiteral("%1 has a line end that is not CR LF").arg(path));
        }
        const QString text = EditorTextFromFile(bytes, DetectEncoding(bytes));
        if (text != shown) {
            qsizetype at = 0;
            while (at < text.size() && at < shown.size() && text[at] == shown[at]) {
                ++at;
            }
            const qsizetype from = std::max<qsizetype>(0, at - 20);
            Fail(QStringLiteral("%1 does not read back as the text shown, from character %2:"
                                "\n  file  %3\n  shown %4")
                     .arg(path)
                     .arg(at)
                     .arg(Visible(text.mid(from)), Visible(shown.mid(from))));
        }
    }

    void CheckRecovery() {
        const QString path = dir_.filePath(kRecoveryName);
        if (!recoveryLive_ || model_.contains(Abs(path))) {
            return;
        }
        const QString text = window_->Record().Text();
        const QString name = window_->MainFileName();
        const QByteArray onDisk = model_.value(Abs(name));
        const auto holdsText = [&text](const QByteArray& bytes) {
            return EditorTextFromFile(bytes, DetectEncoding(bytes)) == text;
        };
        // Nothing to lose: the text is the file's, on disk or as the record last read it.
        const bool fileHoldsText = (QFileInfo::exists(name) && holdsText(onDisk)) ||
                                   (snapshot_.first == Abs(name) && holdsText(snapshot_.second));
        if (!window_->RecordModified()) {
            if (QFileInfo::exists(path)) {
                Fail(QStringLiteral("a recovery file waits although nothing is unsaved"));
            }
            return;
        }
        if (text.isEmpty() || fileHoldsText) {
            return;
        }
        if (!QFileInfo::exists(path)) {
            return Fail(QStringLiteral("unsaved text but no recovery file"));
        }
        const QByteArray expected =
            "Quorvane recovery file\nRecord: " + QFile::encodeName(name) + "\n";
        const QByteArray bytes = ReadBytes(path);
        const qsizetype body = bytes.indexOf("\n\n");
        if (!bytes.startsWith(expected) || body < 0 ||
            QString::fromUtf8(bytes.mid(body + 2)) != text) {
            Fail(QStringLiteral("the recovery file does not hold the editor's text"));
        }
    }

    unsigned seed_;
    std::mt19937 random_;
    MonkeyPrompts prompts_;
    QDir dir_;
    std::unique_ptr<TForm1> window_;
    // What the user last saved, or another program last wrote, in each file.
    QMap<QString, QByteArray> model_;
    QMap<QString, quint64> inodes_;
    // The file the record last read or wrote and what it held then.
    std::pair<QString, QByteArray> snapshot_;
    std::deque<QString> history_;
    int index_ = 0;
    int pageBefore_ = 0;
    QString nameBefore_;
    bool writesAllowed_ = false;
    bool reportSave_ = false;
    bool exportSave_ = false;  // the Suspects page's export or summary
    bool recoveryLive_ = true;
    bool failed_ = false;
};

void RunSeed(unsigned seed, int actions) {
    QTemporaryDir folder;
    QTemporaryDir pdfFolder;
    ASSERT_TRUE(folder.isValid() && pdfFolder.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    QLocale::setDefault(QLocale::c());
    Monkey monkey(seed, folder.path(), pdfFolder.path());
    monkey.Run(actions);
    QDir::setCurrent(previous);
    QStringList boxes;
    for (auto box = monkey.Boxes().cbegin(); box != monkey.Boxes().cend(); ++box) {
        boxes << QStringLiteral("%1 %2").arg(box.key()).arg(box.value());
    }
    std::printf("seed %u, %d actions; boxes: %s\n", seed, actions, qPrintable(boxes.join(", ")));
    // Most kinds of box came up: the run went where the user goes.
    if (!monkey.Failed()) {
        EXPECT_GE(monkey.Boxes().size(), actions >= 500 ? 10 : 5) << "seed " << seed;
    }
}

TEST(WindowMonkey, RandomActionsKeepEverySavedRecordAndTheUnsavedText) {
    const int actions = EnvInt("QUORVANE_MONKEY_ACTIONS", kDefaultActions);
    if (const char* seed = std::getenv("QUORVANE_MONKEY_SEED"); seed != nullptr && *seed != '\0') {
        RunSeed(static_cast<unsigned>(std::strtoul(seed, nullptr, 10)), actions);
        return;
    }
    for (const unsigned seed : {1U, 2U, 3U}) {
        RunSeed(seed, actions);
    }
}

}  // namespace
}  // namespace quorvane::testing
