// New, Open, Save, Save As, the save prompt and Quit, with the caption and the
// "&Save" item they leave.
#include <QAction>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "app/window_fixture.h"
#include "pages/composer/composer_page.h"
#include "support/find_child.h"

namespace quorvane::testing {
namespace {

const QString kSaveQuestion =
    QStringLiteral("Do you wish to save the Environmental Record file first?");

class RecordCommandsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        SeedExample();
        StartAccepted();
        window_->show();
    }
};

TEST_F(RecordCommandsTest, CaptionFollowsTheCurrentRecordFile) {
    window_->New1Click();
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("untitled.txt"));
    EXPECT_TRUE(EditorText().isEmpty());

    Type(QStringLiteral("tea, #,"));
    window_->Save2Click();
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("untitled.txt"));
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("untitled.txt"))), QByteArray("tea, #,\r\n"));
    EXPECT_FALSE(Child<QAction>(*window_, "Save2")->isEnabled());
    EXPECT_FALSE(window_->RecordModified());

    const QString other = Path(QStringLiteral("other.txt"));
    WriteBytes(other, "coffee, $,\r\nsecond line\r\n");
    prompts_.ExpectOpen(other);
    window_->Open2Click();
    EXPECT_EQ(window_->windowTitle(), other);
    EXPECT_EQ(EditorText(), QStringLiteral("coffee, $,\nsecond line"));
    EXPECT_TRUE(window_->RecordModified());  // loading counts as a change
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("MainFile=") + other));
    EXPECT_EQ(prompts_.presets().back(), QStringLiteral("untitled.txt"));

    const QString renamed = Path(QStringLiteral("renamed.txt"));
    prompts_.ExpectSave(renamed);
    Child<QTabWidget>(*window_, "PageControl1")
        ->setCurrentWidget(Child<ComposerPage>(*window_, "TabSheet8"));
    window_->SaveAs1Click();
    EXPECT_EQ(window_->windowTitle(), renamed);
    EXPECT_EQ(ReadBytes(renamed), QByteArray("coffee, $,\r\nsecond line\r\n"));
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("MainFile=") + renamed));
    EXPECT_FALSE(window_->RecordModified());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());  // Save As leaves the item alone
    EXPECT_EQ(prompts_.last().text, QStringLiteral("txt"));       // default extension

    window_->Save2Click();
    EXPECT_FALSE(Child<QAction>(*window_, "Save2")->isEnabled());
}

TEST_F(RecordCommandsTest, OpenDialogSuffixTurnsToTxtWithTheFirstAnalysis) {
    prompts_.ExpectOpen(std::nullopt);
    window_->Open2Click();
    EXPECT_EQ(prompts_.last().title, QStringLiteral("Text Files (*.txt);;Show all Files (*.*)"));
    EXPECT_EQ(prompts_.last().text, QStringLiteral("ktl"));

    window_->RunAnalysis();
    WaitForAnalysis();
    prompts_.ExpectOpen(std::nullopt);
    window_->Open2Click();
    EXPECT_EQ(prompts_.last().text, QStringLiteral("txt"));
}

TEST_F(RecordCommandsTest, CancelledOrFailingOpenKeepsTheRecord) {
    const QString before = EditorText();
    const QString settings = SettingsText();
    ASSERT_FALSE(before.isEmpty());

    prompts_.ExpectOpen(std::nullopt);
    window_->Open2Click();
    EXPECT_EQ(EditorText(), before);
    EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
    EXPECT_FALSE(window_->RecordModified());

    const QString missing = Path(QStringLiteral("missing.txt"));
    prompts_.ExpectOpen(missing);
    prompts_.ExpectError();
    window_->Guard([this] { window_->Open2Click(); });
    EXPECT_EQ(prompts_.last().text, QStringLiteral("Cannot open file ") + missing + '.');
    EXPECT_EQ(EditorText(), before);
    EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
    EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" example.txt")));
    EXPECT_EQ(SettingsText(), settings);

    // So the next save cannot wipe the record file.
    window_->Save2Click();
    QString diary = QString::fromLatin1(ExampleDiary());
    EXPECT_EQ(QString::fromLatin1(ReadBytes(Path(QStringLiteral("example.txt")))), diary);
}

TEST_F(RecordCommandsTest, FailedSaveLeavesOldFileAndStateWhole) {
    const QByteArray old = ReadBytes(Path(QStringLiteral("example.txt")));
    Type(QStringLiteral("more"));
    const QString caption = window_->windowTitle();

    // A name that is a folder, and a name inside a missing folder: neither can be created.
    ASSERT_TRUE(QDir(dir_->path()).mkdir(QStringLiteral("folder.txt")));
    const QString asFolder = Path(QStringLiteral("folder.txt"));
    const QString inMissing = Path(QStringLiteral("no/such/dir.txt"));
    for (const QString& target : {asFolder, inMissing}) {
        prompts_.ExpectSave(target);
        prompts_.ExpectError();
        Child<QTabWidget>(*window_, "PageControl1")
            ->setCurrentWidget(Child<ComposerPage>(*window_, "TabSheet8"));
        window_->Guard([this] { window_->SaveAs1Click(); });
        // The record's save dialog asks before it replaces a file.
        EXPECT_EQ(prompts_.asked()[prompts_.asked().size() - 2].title, QStringLiteral("confirm"));
        EXPECT_EQ(prompts_.last().text, QStringLiteral("Cannot create file ") + target + '.');
        EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
        EXPECT_EQ(window_->windowTitle(), caption);
        EXPECT_TRUE(window_->RecordModified());
        EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
        EXPECT_FALSE(SettingsText().contains(target));
    }
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("example.txt"))), old);
}

TEST_F(RecordCommandsTest, SavePromptSavesOnlyOnYes) {
    struct Case {
        const char* name;
        bool yes;
        bool expectDialog;
        bool expectWritten;
    };
    const Case cases[] = {
        {"untitled.txt", true, true, true},
        {"untitled.txt", false, false, false},
        {"Untitled.txt", true, false, true},  // only the exact name asks for a new name
        {"sub/untitled.txt", true, false, true},
    };
    ASSERT_TRUE(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window_->Record().SetMainFileName(QString::fromLatin1(c.name));
        QFile::remove(Path(QString::fromLatin1(c.name)));
        QFile::remove(Path(QStringLiteral("chosen.txt")));
        Type(QStringLiteral("x"));
        prompts_.ExpectConfirm(c.yes);
        if (c.expectDialog) {
            prompts_.ExpectSave(Path(QStringLiteral("chosen.txt")));
        }
        window_->PromptSaveRecord();
        EXPECT_EQ(prompts_.asked()[prompts_.asked().size() - (c.expectDialog ? 2 : 1)].text,
                  kSaveQuestion);
        const QString written =
            c.expectDialog ? Path(QStringLiteral("chosen.txt")) : Path(QString::fromLatin1(c.name));
        EXPECT_EQ(QFileInfo::exists(written), c.expectWritten);
        EXPECT_EQ(window_->RecordModified(), !c.expectWritten);
    }
}

TEST_F(RecordCommandsTest, QuitAsksOnlyWhenThereAreChanges) {
    window_->Quit1Click();  // no change since start-up: no box
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(prompts_.asked().size() == 1);  // only the agreement

    window_->show();
    Type(QStringLiteral("x"));
    prompts_.ExpectSaveChoice(SaveChoice::No);
    window_->Quit1Click();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_NE(ReadBytes(Path(QStringLiteral("example.txt"))).right(3), QByteArray("x\r\n"));
}

TEST_F(RecordCommandsTest, QuitWhoseSaveFailsKeepsRunning) {
    window_->Record().SetMainFileName(Path(QStringLiteral("gone/diary.txt")));
    Type(QStringLiteral("x"));
    prompts_.ExpectSaveChoice(SaveChoice::Yes);
    prompts_.ExpectError();
    window_->Guard([this] { window_->Quit1Click(); });
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->RecordModified());
}

TEST_F(RecordCommandsTest, ClosingTheWindowAsksOnlyWhenThereAreChanges) {
    window_->close();  // nothing typed: no box
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(prompts_.asked().size(), 1u);

    window_->show();
    Type(QStringLiteral("x"));
    prompts_.ExpectSaveChoice(SaveChoice::No);
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(prompts_.last().text, kSaveQuestion);
}

}  // namespace
}  // namespace quorvane::testing
