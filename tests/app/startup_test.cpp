// The start-up sequence: settings load, the agreement box and the state each
// outcome leaves.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include "app/window_fixture.h"
#include "core/analysis/symptom_table.h"
#include "core/settings/settings_store.h"
#include "pages/composer/composer_page.h"
#include "pages/symptoms/symptom_list_page.h"
#include "support/find_child.h"
#include "ui/record_document.h"

namespace quorvane::testing {
namespace {

const QString kCaptionPrefix =
    QStringLiteral("Quorvane.exe  Version 2.05,  Released on May 2nd, 2000 ");

QStringList NonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (!line.isEmpty()) {
            lines.append(line);
        }
    }
    return lines;
}

QStringList ListLines(const QListWidget& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) {
        lines.append(list.item(i)->text());
    }
    return lines;
}

using StartupTest = WindowTest;

TEST_F(StartupTest, FirstRunWritesEveryDefaultInSectionOrderAndLoadsTheExample) {
    SeedExample();
    StartAccepted();

    QStringList expected = {
        QStringLiteral("[Active]"),        QStringLiteral("main=motion2"),
        QStringLiteral("[Options]"),       QStringLiteral("Sound=1"),
        QStringLiteral("Level=3"),         QStringLiteral("[Configuration]"),
        QStringLiteral("Name=Odra Vennt"), QStringLiteral("MainFile=example.txt"),
        QStringLiteral("[Symptoms]")};
    const SymptomTable builtIn;
    for (int n = 2; n <= 21; ++n) {
        expected.append(
            QStringLiteral("%1=%2").arg(n).arg(QString::fromStdString(builtIn.Name(n))));
    }
    expected.append(QStringLiteral("[Composer]"));
    for (int key = 0; key < 48; ++key) {
        expected.append(QStringLiteral("%1=%2").arg(key).arg(
            QString::fromStdString(DefaultComposerWords()[key / 6][key % 6])));
    }
    EXPECT_EQ(NonEmptyLines(SettingsText()), expected);
    EXPECT_TRUE(SettingsText().endsWith(QStringLiteral("\r\n")));

    QString diary =
        QString::fromLatin1(ExampleDiary()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    diary.chop(1);  // the last line end opens no further line
    EXPECT_EQ(EditorText(), diary);
    EXPECT_EQ(window_->windowTitle(), kCaptionPrefix + QStringLiteral("example.txt"));
    EXPECT_EQ(window_->StartDir(), dir_->path());
    EXPECT_EQ(Child<QListWidget>(*window_, "ListBox2")->count(), 20);
    EXPECT_EQ(Child<QListWidget>(*window_, "ListBox2")->item(0)->text(),
              QStringLiteral("HEADACHE"));
}

TEST_F(StartupTest, FirstRunWithoutTheExampleStopsAfterTheSettingsLoad) {
    prompts_.ExpectError();
    window_->FormActivate();

    EXPECT_EQ(prompts_.last().text, QStringLiteral("Cannot open file example.txt."));
    EXPECT_EQ(prompts_.last().title, QStringLiteral("quorvane"));
    // The settings file was initialised in full before the record load failed.
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("47=digestive issue,")));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Form1 example.txt"));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet6"));
    EXPECT_TRUE(Child<QStatusBar>(*window_, "StatusBar1")->currentMessage().isEmpty());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
    EXPECT_EQ(window_->MainFileName(), QStringLiteral("example.txt"));
    EXPECT_FALSE(Child<QPlainTextEdit>(*window_, "Memo3")
                     ->toPlainText()
                     .startsWith(QStringLiteral("Quorvane.exe")));
    EXPECT_EQ(Child<QTableWidget>(*window_, "StringGrid2")->item(0, 4)->text(),
              QStringLiteral("sugar,"));
}

TEST_F(StartupTest, AcceptedStartLeavesComposerInFrontAndTheRecordSaved) {
    SeedExample();
    StartAccepted();

    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.last().title,
              QStringLiteral("Click and Drag here to view all of this Agreement"));
    EXPECT_EQ(prompts_.last().text,
              QStringLiteral("Welcome to Quorvane. I have read and agree to these conditions"));
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<ComposerPage>(*window_, "TabSheet8"));
    EXPECT_FALSE(window_->RecordModified());
    EXPECT_FALSE(Child<QAction>(*window_, "Save2")->isEnabled());
    EXPECT_FALSE(Child<QStatusBar>(*window_, "StatusBar1")->currentMessage().isEmpty());
    EXPECT_EQ(Child<QPlainTextEdit>(*window_, "Memo3")->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);

    const QStringList agreement =
        Child<QPlainTextEdit>(*window_, "Memo3")->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(agreement.size(), 3);
    EXPECT_EQ(agreement[0],
              QStringLiteral("Quorvane.exe  Version 2.05,  Released on May 2nd, 2000"));
    EXPECT_EQ(agreement[1], QString());
    EXPECT_EQ(agreement.back(),
              QStringLiteral("3. Always see your Doctor if you have any medical concerns"));

    Type(QStringLiteral("x"));
    EXPECT_TRUE(window_->RecordModified());
    EXPECT_TRUE(Child<QAction>(*window_, "Save2")->isEnabled());
}

TEST_F(StartupTest, CancelledAgreementClosesTheWindowWithoutAsking) {
    SeedExample();
    window_->show();
    prompts_.ExpectAgreement(false);
    window_->FormActivate();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(Child<QTabWidget>(*window_, "PageControl1")->currentWidget(),
              Child<QWidget>(*window_, "TabSheet5"));
}

TEST_F(StartupTest, RunsOnceWhateverActivatesTheWindowLater) {
    SeedExample();
    prompts_.ExpectAgreement(true);
    window_->show();
    QApplication::processEvents();  // the first showing starts it
    ASSERT_EQ(prompts_.asked().size(), 1u);

    Type(QStringLiteral("unsaved"));
    window_->FormActivate();
    window_->hide();
    window_->show();
    QApplication::processEvents();
    EXPECT_EQ(prompts_.asked().size(), 1u);
    EXPECT_TRUE(EditorText().endsWith(QStringLiteral("unsaved")));
}

TEST_F(StartupTest, InitialisedFileGivesSymptomSlotsAsStored) {
    SeedExample(QStringLiteral("diary.txt"));
    const QString longName = QStringLiteral("A").repeated(40);
    WriteBytes(Path(QStringLiteral("Quorvane.ini")),
               "[Active]\r\nmain=motion2  \r\n[Configuration]\r\nMainFile=diary.txt\r\n"
               "[Symptoms]\r\n2=sneezing\r\n3=\r\n4=" +
                   longName.toLatin1() + "\r\n5=RASH\r\n");
    StartAccepted();

    const QStringList lines = ListLines(*Child<QListWidget>(*window_, "ListBox2"));
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[0], QStringLiteral("sneezing"));  // lower case kept as stored
    EXPECT_EQ(lines[1], QString());                   // present but empty
    EXPECT_EQ(lines[2], longName.left(30));           // cut to 30
    EXPECT_EQ(lines[3], QStringLiteral("RASH"));
    EXPECT_EQ(lines[4], QStringLiteral("6_________"));    // missing: built from the key
    EXPECT_EQ(lines[13], QStringLiteral("15_________"));  // not the built-in "14_________"
    EXPECT_EQ(window_->Symptoms().Name(4), longName.left(30).toStdString());
    EXPECT_EQ(window_->windowTitle(), kCaptionPrefix + QStringLiteral("diary.txt"));
    // The grid heading follows the table.
    EXPECT_EQ(window_->ResultsGrid().Cell(3, 0), "sneezing");
    EXPECT_EQ(window_->ResultsGrid().Cell(1, 0), "count");
    // The fixed phrases replace whatever row 0 held.
    EXPECT_EQ(Child<QTableWidget>(*window_, "StringGrid2")->item(0, 0)->text(),
              QStringLiteral("End of Meal, $,"));
    // An initialised file is only read.
    EXPECT_FALSE(SettingsText().contains(QStringLiteral("Odra Vennt")));
}

TEST_F(StartupTest, UnwritableSettingsFileStopsStartUp) {
    SeedExample();
    // A folder where the settings file should be: it can neither be read nor written.
    ASSERT_TRUE(QDir(dir_->path()).mkdir(QStringLiteral("Quorvane.ini")));
    prompts_.ExpectError();
    window_->FormActivate();
    EXPECT_TRUE(prompts_.last().text.startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Form1"));
    EXPECT_TRUE(EditorText().isEmpty());
}

}  // namespace
}  // namespace quorvane::testing
