// The recovery file on its own: its format, the save path it refuses, and what
// the offer at start-up does with each kind of file it finds.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "core/text/quorvane_error.h"
#include "support/scripted_prompts.h"
#include "ui/recovery_file.h"

namespace quorvane::testing {
namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "recovery_file_test";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(RecoveryFileFormat, RoundTripsNameEncodingAndText) {
    const RecoveredText cases[] = {
        {QStringLiteral("example.txt"), TextEncoding::Utf8, QStringLiteral("tea, #,\nlost")},
        {QStringLiteral("/tmp/cr\u00e8me.txt"), TextEncoding::Latin1,
         QStringLiteral("cr\u00e8me \u2615\n\nRecord: not a header\n")},
        {QStringLiteral("untitled.txt"), TextEncoding::Utf8, QString()},
    };
    for (const RecoveredText& kept : cases) {
        const std::optional<RecoveredText> back = ParseRecoveryFile(RecoveryFileBytes(kept));
        ASSERT_TRUE(back.has_value()) << kept.name.toStdString();
        EXPECT_EQ(back->name, kept.name);
        EXPECT_EQ(back->encoding, kept.encoding);
        EXPECT_EQ(back->text, kept.text);
    }
    // Earlier runs wrote this layout: a file left by one must still be offered.
    const RecoveredText latin{QStringLiteral("d.txt"), TextEncoding::Latin1,
                              QStringLiteral("a\nb")};
    EXPECT_EQ(RecoveryFileBytes(latin),
              QByteArray("Quorvane recovery file\nRecord: d.txt\nEncoding: Latin-1\n\na\nb"));
}

TEST(RecoveryFileFormat, AnythingElseIsNotOurs) {
    const QByteArray notOurs[] = {
        "",
        "tea, #,\r\n",
        "Quorvane recovery file",
        "Quorvane recovery file\nRecord: d.txt",
        "Quorvane recovery file\nRecord: d.txt\nEncoding: UTF-8",
        "Quorvane recovery file\nRecord: d.txt\nEncoding: UTF-8\ntext",
        "Quorvane recovery file\nName: d.txt\nEncoding: UTF-8\n\ntext",
        "Quorvane recovery file\nRecord: d.txt\nCharset: UTF-8\n\ntext",
    };
    for (const QByteArray& bytes : notOurs) {
        EXPECT_FALSE(ParseRecoveryFile(bytes).has_value()) << bytes.toStdString();
    }
}

TEST(AskSavePath, RefusesTheRecoveryFilesNameAfterTheDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString recovery = RecoveryPathBeside(PathBytes(dir.filePath("Quorvane.ini")));
    EXPECT_EQ(recovery, dir.filePath(QString::fromLatin1(kRecoveryFileName)));
    ScriptedPrompts prompts;

    prompts.ExpectSave(dir.filePath("report.txt"));
    EXPECT_EQ(AskSavePath(prompts, "preset.txt", "txt", recovery), dir.filePath("report.txt"));
    EXPECT_EQ(prompts.last().title, "confirm") << "the dialog asks before replacing a file";
    EXPECT_EQ(prompts.last().text, "txt");
    EXPECT_EQ(prompts.presets().back(), "preset.txt");

    prompts.ExpectSave(std::nullopt);
    EXPECT_EQ(AskSavePath(prompts, QString(), "csv", recovery), std::nullopt);

    // The same file by another spelling of its path is refused too.
    const QString spellings[] = {recovery, dir.path() + "/./" + kRecoveryFileName};
    for (const QString& chosen : spellings) {
        prompts.ExpectSave(chosen);
        try {
            AskSavePath(prompts, QString(), "pdf", recovery);
            ADD_FAILURE() << "accepted " << chosen.toStdString();
        } catch (const QuorvaneError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot create file " + PathBytes(chosen) +
                          ": Quorvane keeps unsaved text under that name; choose another");
        }
    }

    prompts.ExpectSave(recovery);
    EXPECT_EQ(AskSavePath(prompts, QString(), "txt", QString()), recovery)
        << "no recovery file to protect";
    EXPECT_TRUE(prompts.AllAnswered());
}

class RecoveryFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(dir_.isValid());
    }
    QString Path() const { return dir_.filePath(QString::fromLatin1(kRecoveryFileName)); }
    std::unique_ptr<RecoveryFile> Make() {
        return std::make_unique<RecoveryFile>(
            [this] { return PathBytes(dir_.filePath("Quorvane.ini")); },
            [this] { return unsaved_; });
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    std::optional<RecoveredText> unsaved_;
};

TEST_F(RecoveryFileTest, WritesOnlyOnceStartedAndRemovesWhenNothingIsUnsaved) {
    auto recovery = Make();
    unsaved_ = RecoveredText{QStringLiteral("d.txt"), TextEncoding::Utf8, QStringLiteral("x")};
    recovery->Write();
    EXPECT_FALSE(QFileInfo::exists(Path())) << "written before the start";

    recovery->Start();
    recovery->Write();
    EXPECT_EQ(Bytes(Path()), RecoveryFileBytes(*unsaved_));

    unsaved_.reset();
    recovery->Write();
    EXPECT_FALSE(QFileInfo::exists(Path()));
}

TEST_F(RecoveryFileTest, AFileNeverOfferedIsNotOverwritten) {
    const QByteArray pending = RecoveryFileBytes({"d.txt", TextEncoding::Utf8, "pending"});
    Put(Path(), pending);
    auto recovery = Make();
    recovery->Start();
    unsaved_ = RecoveredText{QStringLiteral("d.txt"), TextEncoding::Utf8, QStringLiteral("new")};
    recovery->Write();
    recovery->Remove();
    EXPECT_EQ(Bytes(Path()), pending);

    // Once offered (and kept), the file is this run's to write.
    prompts_.ExpectConfirm(true);
    const RecoveredText saved{QStringLiteral("d.txt"), TextEncoding::Utf8, QStringLiteral("saved")};
    ASSERT_TRUE(recovery->Offer(prompts_, saved).has_value());
    recovery->Start();
    recovery->Write();
    EXPECT_EQ(Bytes(Path()), RecoveryFileBytes(*unsaved_));
    EXPECT_TRUE(prompts_.AllAnswered());
}

TEST_F(RecoveryFileTest, OfferRestoresDeclinesOrDropsByWhatTheFileHolds) {
    const RecoveredText current{QStringLiteral("d.txt"), TextEncoding::Utf8,
                                QStringLiteral("saved")};
    const QString aside = Path() + QStringLiteral(".declined");
    auto recovery = Make();

    EXPECT_EQ(recovery->Offer(prompts_, current), std::nullopt) << "no file";

    Put(Path(), "some file of the user's");
    EXPECT_EQ(recovery->Offer(prompts_, current), std::nullopt);
    EXPECT_EQ(Bytes(Path()), "some file of the user's") << "not ours: left alone";

    Put(Path(), RecoveryFileBytes(current));
    EXPECT_EQ(recovery->Offer(prompts_, current), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(Path())) << "it held the record: removed unasked";

    const RecoveredText other{QStringLiteral("other.txt"), TextEncoding::Latin1,
                              QStringLiteral("unsaved \u00e9")};
    Put(aside, "an older declined file");
    Put(Path(), RecoveryFileBytes(other));
    prompts_.ExpectConfirm(false);
    EXPECT_EQ(recovery->Offer(prompts_, current), std::nullopt);
    EXPECT_EQ(prompts_.last().text,
              "Quorvane found text for other.txt that was never saved. Restore it?");
    EXPECT_FALSE(QFileInfo::exists(Path()));
    EXPECT_EQ(Bytes(aside), RecoveryFileBytes(other));

    Put(Path(), RecoveryFileBytes(other));
    prompts_.ExpectConfirm(true);
    const std::optional<RecoveredText> restored = recovery->Offer(prompts_, current);
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(restored->name, other.name);
    EXPECT_EQ(restored->encoding, other.encoding);
    EXPECT_EQ(restored->text, other.text);
    EXPECT_TRUE(QFileInfo::exists(Path())) << "kept until the text is saved or discarded";
    EXPECT_TRUE(prompts_.AllAnswered());
}

}  // namespace
}  // namespace quorvane::testing
