// The paths on which a first evening with the program used to lose or corrupt
// data: closing the window, saves over files this run did not write, files that
// are no diary, text beyond Latin-1, a crash, and a disk without room.
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <csignal>
#include <functional>

#include "app/window_fixture.h"
#include "app/window_texts.h"
#include "pages/composer/composer_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

const QString kSaveQuestion =
    QStringLiteral("Do you wish to save the Environmental Record file first?");
const QString kRecoveryName = QStringLiteral(".Quorvane-recovery.txt");

bool WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

class DataSafetyTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        SeedExample();
        StartAccepted();
        window_->show();
    }
    QString Diary() const { return Path(QStringLiteral("example.txt")); }
    QString Recovery() const { return Path(kRecoveryName); }
    bool RecoveryExists() const { return QFileInfo::exists(Recovery()); }
    // The program ends without any of its closing steps, then starts again.
    void CrashAndRestart() {
        window_ = std::make_unique<TForm1>(prompts_);
        prompts_.ExpectAgreement(true);
    }
};

TEST_F(DataSafetyTest, CloseBoxAndQuitStayOpenUnlessTheUserLetsTheTextGo) {
    Type(QStringLiteral("\nunsaved line"));
    // Esc or the box's close button: "do not quit", by either route.
    prompts_.ExpectSaveChoice(SaveChoice::Cancel);
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(prompts_.last().kind, ScriptedPrompts::Kind::SaveChoice);
    EXPECT_EQ(prompts_.last().text, kSaveQuestion);
    prompts_.ExpectSaveChoice(SaveChoice::Cancel);
    window_->Quit1Click();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(EditorText().endsWith(QStringLiteral("unsaved line")));
    EXPECT_TRUE(window_->RecordModified());

    // Yes, then the save dialog cancelled: still open, by either route.
    window_->New1Click();
    Type(QStringLiteral("new diary"));
    for (const bool byQuit : {true, false}) {
        prompts_.ExpectSaveChoice(SaveChoice::Yes);
        prompts_.ExpectSave(std::nullopt);
        if (byQuit) {
            window_->Quit1Click();
        } else {
            window_->close();
        }
        EXPECT_TRUE(window_->isVisible()) << byQuit;
        EXPECT_EQ(EditorText(), QStringLiteral("new diary"));
        EXPECT_TRUE(window_->RecordModified());
    }

    // Yes and a name chosen: written, then closed.
    prompts_.ExpectSaveChoice(SaveChoice::Yes);
    prompts_.ExpectSave(Path(QStringLiteral("kept.txt")));
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("kept.txt"))), QByteArray("new diary\r\n"));
}

TEST_F(DataSafetyTest, SaveAsksBeforeReplacingAFileThisRunDidNotWrite) {
    const QString untitled = Path(QStringLiteral("untitled.txt"));
    window_->New1Click();
    Type(QStringLiteral("first diary"));
    window_->Save2Click();  // no file of that name yet: written without a question
    ASSERT_EQ(ReadBytes(untitled), QByteArray("first diary\r\n"));

    // A second New: untitled.txt now holds a diary this record never wrote.
    window_->New1Click();
    Type(QStringLiteral("second diary"));
    prompts_.ExpectReplace(false);
    window_->Save2Click();
    EXPECT_TRUE(prompts_.last().text.contains(QStringLiteral("untitled.txt")));
    EXPECT_EQ(ReadBytes(untitled), QByteArray("first diary\r\n"));
    EXPECT_TRUE(window_->RecordModified());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
    prompts_.ExpectReplace(true);
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(untitled), QByteArray("second diary\r\n"));
    EXPECT_FALSE(window_->RecordModified());

    // What this run wrote itself is replaced without a question.
    Type(QStringLiteral(" more"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(untitled), QByteArray("second diary more\r\n"));

    // Another program rewrites the diary: Save asks, and the close prompt's Yes
    // with the replace declined keeps the window open.
    const QString named = Path(QStringLiteral("named.txt"));
    prompts_.ExpectSave(named);
    window_->SaveRecordAs();
    EXPECT_EQ(prompts_.last().title, QStringLiteral("confirm"));  // the dialog asks itself
    WriteBytes(named, "edited elsewhere\r\n");
    Type(QStringLiteral("!"));
    prompts_.ExpectReplace(false);
    window_->Save2Click();
    EXPECT_TRUE(prompts_.last().text.contains(named));
    prompts_.ExpectSaveChoice(SaveChoice::Yes);
    prompts_.ExpectReplace(false);
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(ReadBytes(named), QByteArray("edited elsewhere\r\n"));
    EXPECT_TRUE(window_->RecordModified());
}

TEST_F(DataSafetyTest, AnalysisStopsBeforeItResetsWhenTheDiaryChangedOnDisk) {
    window_->RunAnalysis();
    WaitForAnalysis();
    const QString report = Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText();
    ASSERT_FALSE(report.isEmpty());

    const QByteArray elsewhere("edited elsewhere, #,\r\n");
    WriteBytes(Diary(), elsewhere);
    Type(QStringLiteral("x"));
    prompts_.ExpectConfirm(false);  // the save prompt: No, the run goes on to its save
    prompts_.ExpectReplace(false);  // replace the changed file? No: the run stops
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_TRUE(prompts_.last().text.contains(QStringLiteral("example.txt")));
    EXPECT_EQ(ReadBytes(Diary()), elsewhere);
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "RichEdit1")->toPlainText(),
              report);  // nothing was reset
    EXPECT_TRUE(window_->RecordModified());
}

TEST_F(DataSafetyTest, FilesThatAreNoDiaryAreRefusedAndLeftAlone) {
    const QByteArray pngBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 21);
    const QString png = Path(QStringLiteral("picture.png"));
    WriteBytes(png, pngBytes);
    ASSERT_TRUE(QDir(dir_->path()).mkdir(QStringLiteral("folder.txt")));
    const QString folder = Path(QStringLiteral("folder.txt"));
    const QString text = EditorText();
    const QString caption = window_->windowTitle();
    const QString settings = SettingsText();

    const struct {
        QString path;
        QString message;
    } cases[] = {
        {png, QStringLiteral("Cannot open file ") + png +
                  QStringLiteral(": it holds binary data (NUL bytes), not a diary.")},
        {folder, QStringLiteral("Cannot open file ") + folder +
                     QStringLiteral(": it is a folder or a device, not a diary.")},
    };
    for (const auto& c : cases) {
        const std::size_t before = prompts_.asked().size();
        prompts_.ExpectOpen(c.path);
        prompts_.ExpectError();
        window_->Guard([this] { window_->Open2Click(); });
        EXPECT_EQ(prompts_.asked().size(), before + 2);  // one message, no second one
        EXPECT_EQ(prompts_.last().text, c.message);
        EXPECT_EQ(EditorText(), text);
        EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
        EXPECT_EQ(window_->windowTitle(), caption);
        EXPECT_EQ(SettingsText(), settings);
    }
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_EQ(ReadBytes(png), pngBytes);
}

TEST_F(DataSafetyTest, TextKeepsItsEncodingAndEveryTypedCharacter) {
    // A UTF-8 diary from another editor shows decoded and saves back unchanged.
    const QString utf8 = Path(QStringLiteral("utf8.txt"));
    const QByteArray utf8Bytes(
        "cr\xc3\xa8me br\xc3\xbbl\xc3\xa9"
        "e, #,\r\n");
    WriteBytes(utf8, utf8Bytes);
    prompts_.ExpectOpen(utf8);
    window_->Open2Click();
    EXPECT_EQ(EditorText(), QStringLiteral("cr\u00e8me br\u00fbl\u00e9e, #,"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(utf8), utf8Bytes);

    // A Latin-1 diary stays Latin-1, a no-break space too, until a character
    // Latin-1 cannot hold is typed: then the whole file is UTF-8.
    const QString latin = Path(QStringLiteral("latin.txt"));
    const QByteArray latinBytes("cr\xe8me,\xa0tea, #,\r\n");
    WriteBytes(latin, latinBytes);
    prompts_.ExpectOpen(latin);
    window_->Open2Click();
    EXPECT_EQ(window_->Record().Text(), QStringLiteral("cr\u00e8me,\u00a0tea, #,"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(latin), latinBytes);
    Type(QStringLiteral("\n\u2615"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(latin), QByteArray("cr\xc3\xa8me,\xc2\xa0tea, #,\r\n\xe2\x98\x95\r\n"));

    // A new diary is UTF-8.
    window_->New1Click();
    Type(QStringLiteral("caf\u00e9 \u2615"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("untitled.txt"))),
              QByteArray("caf\xc3\xa9 \xe2\x98\x95\r\n"));
}

TEST_F(DataSafetyTest, UnsavedTextLivesInTheRecoveryFileUntilSavedOrDiscarded) {
    EXPECT_EQ(window_->Record().Recovery().Path(), Recovery());
    window_->Record().Recovery().SetDelay(50);
    Type(QStringLiteral("\nlost at sea"));
    EXPECT_FALSE(RecoveryExists());  // a moment after the last change, not at once
    ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));
    const QByteArray kept = ReadBytes(Recovery());
    EXPECT_TRUE(kept.startsWith("Quorvane recovery file\nRecord: example.txt\n")) << kept.data();
    EXPECT_TRUE(kept.endsWith("\nlost at sea"));
    window_->Save2Click();
    EXPECT_FALSE(RecoveryExists());

    const std::function<void()> removers[] = {
        [this] { window_->New1Click(); },
        [this] {
            prompts_.ExpectOpen(Diary());
            window_->Open2Click();
        },
        [this] {
            prompts_.ExpectSaveChoice(SaveChoice::No);
            window_->close();
        },
    };
    for (const auto& remove : removers) {
        Type(QStringLiteral("x"));
        ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));
        remove();
        EXPECT_FALSE(RecoveryExists());
    }
    EXPECT_FALSE(window_->isVisible());
}

// A diary or report saved under the recovery file's name would be removed by the
// next save or written over by the recovery: that name is refused.
TEST_F(DataSafetyTest, NoDiaryOrReportTakesTheRecoveryFilesName) {
    window_->Record().Recovery().SetDelay(50);
    Type(QStringLiteral("\nkept"));
    ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));
    const QByteArray recovery = ReadBytes(Recovery());
    const QString refused = QStringLiteral("Cannot create file ") + Recovery() +
                            QStringLiteral(
                                ": Quorvane keeps unsaved text under that name; choose "
                                "another.");

    Child<QTabWidget>(*window_, "PageControl1")
        ->setCurrentWidget(Child<QWidget>(*window_, "TabSheet8"));
    prompts_.ExpectSave(Recovery());
    prompts_.ExpectError();
    window_->Guard([this] { window_->SaveAs1Click(); });
    EXPECT_EQ(prompts_.last().text, refused);
    EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
    EXPECT_TRUE(window_->RecordModified());
    EXPECT_EQ(ReadBytes(Recovery()), recovery);

    prompts_.ExpectConfirm(false);  // the save prompt; the run saves anyway
    window_->RunAnalysis();
    WaitForAnalysis();
    Child<QTabWidget>(*window_, "PageControl1")
        ->setCurrentWidget(Child<QWidget>(*window_, "TabSheet1"));
    prompts_.ExpectSave(Recovery());
    prompts_.ExpectError();
    window_->Guard([this] { window_->SaveAs1Click(); });
    EXPECT_EQ(prompts_.last().text, refused);
    EXPECT_FALSE(RecoveryExists());  // the analysis saved the text: nothing left to recover
}

TEST_F(DataSafetyTest, StartAfterACrashOffersTheUnsavedText) {
    window_->Record().Recovery().SetDelay(50);
    Type(QStringLiteral("\nafter the crash \u2615"));
    const QString typed = EditorText();
    ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));

    CrashAndRestart();
    prompts_.ExpectConfirm(true);
    window_->FormActivate();
    EXPECT_TRUE(prompts_.last().text.contains(QStringLiteral("example.txt")));
    EXPECT_EQ(EditorText(), typed);
    EXPECT_TRUE(window_->RecordModified());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
    EXPECT_EQ(window_->windowTitle(),
              QString::fromLatin1(kVersionLine) + QStringLiteral(" example.txt"));
    window_->Save2Click();
    EXPECT_TRUE(ReadBytes(Diary()).endsWith("after the crash \xe2\x98\x95\r\n"));
    EXPECT_FALSE(RecoveryExists());
}

TEST_F(DataSafetyTest, DeclinedOrAlreadySavedRecoveryIsNotOfferedAgain) {
    const QByteArray diary = ReadBytes(Diary());
    window_->Record().Recovery().SetDelay(50);
    Type(QStringLiteral("\nnot wanted"));
    ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));

    CrashAndRestart();
    prompts_.ExpectConfirm(false);
    window_->FormActivate();
    EXPECT_EQ(ReadBytes(Diary()), diary);
    EXPECT_FALSE(window_->RecordModified());
    EXPECT_FALSE(RecoveryExists());
    // Kept aside, not offered again.
    EXPECT_TRUE(ReadBytes(Recovery() + QStringLiteral(".declined")).endsWith("not wanted"));
    CrashAndRestart();
    window_->FormActivate();
    EXPECT_EQ(prompts_.asked().back().kind, ScriptedPrompts::Kind::Agreement);

    // A recovery file that holds what the diary holds is removed without a question.
    window_->Record().Recovery().SetDelay(50);
    Type(QStringLiteral("\nsaved elsewhere"));
    ASSERT_TRUE(WaitFor([this] { return RecoveryExists(); }));
    QString text = EditorText();
    WriteBytes(Diary(), text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8() + "\r\n");
    CrashAndRestart();
    window_->FormActivate();
    EXPECT_EQ(prompts_.asked().back().kind, ScriptedPrompts::Kind::Agreement);
    EXPECT_FALSE(RecoveryExists());
}

// Lowers the file size limit for one scope, with SIGXFSZ ignored so that the
// write fails instead of ending the test.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool ok_ = false;
};

TEST_F(DataSafetyTest, ASaveWithoutRoomKeepsTheOldFileAndTheText) {
    const QByteArray old = ReadBytes(Diary());
    Type(QStringLiteral("\n") + QString(20000, QLatin1Char('x')));
    {
        FileSizeLimit limit(8192);
        ASSERT_TRUE(limit.ok());
        prompts_.ExpectError();
        window_->Guard([this] { window_->Save2Click(); });
    }
    EXPECT_EQ(prompts_.last().text, QStringLiteral("Cannot create file example.txt."));
    EXPECT_EQ(ReadBytes(Diary()), old);
    EXPECT_TRUE(window_->RecordModified());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
    for (const QString& name : QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden)) {
        EXPECT_FALSE(name.startsWith(QStringLiteral("example.txt."))) << name.toStdString();
    }
    // With room again the same Save goes through, without asking.
    window_->Save2Click();
    EXPECT_GT(ReadBytes(Diary()).size(), 20000);
    EXPECT_FALSE(window_->RecordModified());
}

class StartupSafetyTest : public WindowTest {};

TEST_F(StartupSafetyTest, RecordFileThatIsNoDiaryLeavesAUsableWindow) {
    const QByteArray pngBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    WriteBytes(Path(QStringLiteral("picture.png")), pngBytes);
    ASSERT_TRUE(QDir(dir_->path()).mkdir(QStringLiteral("diaries")));
    const struct {
        const char* mainFile;
        QString message;
    } cases[] = {
        {"picture.png",
         QStringLiteral("Cannot open file picture.png: it holds binary data (NUL bytes), not a "
                        "diary.")},
        {"diaries",
         QStringLiteral("Cannot open file diaries: it is a folder or a device, not a diary.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mainFile);
        window_ = std::make_unique<TForm1>(prompts_);
        WriteBytes(Path(QStringLiteral("Quorvane.ini")),
                   QByteArray("[Active]\r\nmain=motion2\r\n[Configuration]\r\nMainFile=") +
                       c.mainFile + "\r\n");
        const std::size_t before = prompts_.asked().size();
        prompts_.ExpectError();
        window_->FormActivate();
        EXPECT_EQ(prompts_.asked().size(), before + 1);
        EXPECT_EQ(prompts_.last().text, c.message);
        EXPECT_TRUE(EditorText().isEmpty());
    }
    // The picture is not written over by an analysis of the empty editor...
    window_ = std::make_unique<TForm1>(prompts_);
    WriteBytes(Path(QStringLiteral("Quorvane.ini")),
               "[Active]\r\nmain=motion2\r\n[Configuration]\r\nMainFile=picture.png\r\n");
    prompts_.ExpectError();
    window_->FormActivate();
    prompts_.ExpectReplace(false);
    window_->RunAnalysis();
    WaitForAnalysis();
    EXPECT_TRUE(prompts_.last().text.contains(QStringLiteral("picture.png")));
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("picture.png"))), pngBytes);
    // ...and the window goes on working.
    window_->New1Click();
    Type(QStringLiteral("tea, #,"));
    window_->Save2Click();
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("untitled.txt"))), QByteArray("tea, #,\r\n"));
}

TEST_F(StartupSafetyTest, FailedStartKeepsTheTypedTextButNeverAnUnofferedRecovery) {
    // No diary: the start stops at the load, and the window stays usable.
    prompts_.ExpectError();
    window_->FormActivate();
    window_->Record().Recovery().SetDelay(20);
    Type(QStringLiteral("typed after the error"));
    ASSERT_TRUE(WaitFor([this] { return QFileInfo::exists(Path(kRecoveryName)); }));
    const QByteArray pending = ReadBytes(Path(kRecoveryName));
    EXPECT_TRUE(pending.endsWith("typed after the error"));

    // The next start fails as well, before it could offer that file: it is kept.
    window_ = std::make_unique<TForm1>(prompts_);
    prompts_.ExpectError();
    window_->FormActivate();
    window_->Record().Recovery().SetDelay(20);
    Type(QStringLiteral("other text"));
    EXPECT_FALSE(WaitFor([this] { return ReadBytes(Path(kRecoveryName)).endsWith("other text"); }));
    EXPECT_EQ(ReadBytes(Path(kRecoveryName)), pending);
}

}  // namespace
}  // namespace quorvane::testing
