// The record document's answer to "may the window close?", without a window:
// every way through the save prompt, and what each leaves on disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <memory>
#include <optional>

#include "support/scripted_prompts.h"
#include "ui/record_document.h"

namespace quorvane::testing {
namespace {

void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "record_document_test";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

struct CloseCase {
    const char* name;
    bool untitled;                     // after New rather than a loaded diary
    bool typed;                        // unsaved changes
    bool changedOnDisk;                // another program wrote the diary meanwhile
    std::optional<SaveChoice> choice;  // nullopt: no prompt expected
    std::optional<bool> replace;       // the replace question, when asked
    bool dialog;                       // the save dialog is shown...
    bool dialogChoosesAFile;           // ...and a file is chosen
    bool expectClose;
    const char* expectDiary;  // what diary.txt holds afterwards
};

class RecordDocumentTest : public ::testing::TestWithParam<CloseCase> {
  protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(dir_.isValid());
        editor_ = std::make_unique<QPlainTextEdit>();
        record_ = std::make_unique<RecordDocument>(prompts_, *editor_, [this] {
            return PathBytes(dir_.filePath(QStringLiteral("Quorvane.ini")));
        });
        QObject::connect(editor_.get(), &QPlainTextEdit::textChanged, record_.get(),
                         &RecordDocument::RichEdit2Change);
    }
    void TearDown() override {
        editor_.reset();  // before the document it shows
        record_.reset();
        EXPECT_TRUE(prompts_.AllAnswered());
    }
    void Type(const QString& text) {
        QTextCursor cursor(&record_->Document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    std::unique_ptr<QPlainTextEdit> editor_;
    std::unique_ptr<RecordDocument> record_;
};

TEST_P(RecordDocumentTest, MayCloseAsksAndWritesOnlyWhatTheUserChose) {
    const CloseCase& c = GetParam();
    const QString diary = dir_.filePath(QStringLiteral("diary.txt"));
    const QString chosen = dir_.filePath(QStringLiteral("chosen.txt"));
    Put(diary, "old\r\n");
    record_->SetMainFileName(diary);
    record_->LoadRecord(diary);
    record_->MarkSaved();
    if (c.untitled) {
        record_->New();
        record_->MarkSaved();
    }
    if (c.typed) {
        Type(QStringLiteral(" new"));
    }
    if (c.changedOnDisk) {
        Put(diary, "elsewhere\r\n");
    }
    if (c.choice) {
        prompts_.ExpectSaveChoice(*c.choice);
    }
    if (c.replace) {
        prompts_.ExpectReplace(*c.replace);
    }
    if (c.dialog) {
        prompts_.ExpectSave(c.dialogChoosesAFile ? std::optional<QString>(chosen) : std::nullopt);
    }

    EXPECT_EQ(record_->MayClose(), c.expectClose);
    EXPECT_EQ(Bytes(diary), QByteArray(c.expectDiary));
    EXPECT_EQ(record_->RecordModified(),
              c.typed && !(c.expectClose && c.choice == SaveChoice::Yes));
    if (c.dialogChoosesAFile) {
        EXPECT_EQ(Bytes(chosen), QByteArray(" new\r\n"));
        EXPECT_EQ(record_->MainFileName(), chosen);
    }
    if (c.replace) {
        EXPECT_TRUE(prompts_.last().text.contains(diary));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RecordDocumentTest,
    ::testing::Values(
        CloseCase{"NothingTyped", false, false, false, {}, {}, false, false, true, "old\r\n"},
        CloseCase{
            "Cancel", false, true, false, SaveChoice::Cancel, {}, false, false, false, "old\r\n"},
        CloseCase{"No", false, true, false, SaveChoice::No, {}, false, false, true, "old\r\n"},
        CloseCase{
            "Yes", false, true, false, SaveChoice::Yes, {}, false, false, true, "old new\r\n"},
        CloseCase{"YesChangedOnDiskKept", false, true, true, SaveChoice::Yes, false, false, false,
                  false, "elsewhere\r\n"},
        CloseCase{"YesChangedOnDiskReplaced", false, true, true, SaveChoice::Yes, true, false,
                  false, true, "old new\r\n"},
        CloseCase{"YesUntitledDialogCancelled",
                  true,
                  true,
                  false,
                  SaveChoice::Yes,
                  {},
                  true,
                  false,
                  false,
                  "old\r\n"},
        CloseCase{"YesUntitledFileChosen",
                  true,
                  true,
                  false,
                  SaveChoice::Yes,
                  {},
                  true,
                  true,
                  true,
                  "old\r\n"}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane::testing
