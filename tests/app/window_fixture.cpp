#include "app/window_fixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextCursor>

#include "pages/composer/composer_page.h"
#include "support/find_child.h"

namespace quorvane::testing {

namespace {

// One application object for the whole test program, made before the first test.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName(QStringLiteral("quorvane"));
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QByteArray ExampleDiary() {
    return ReadBytes(QStringLiteral(QUORVANE_SOURCE_DIR "/examples/example.txt"));
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void WindowTest::SetUp() {
    previousDir_ = QDir::currentPath();
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    ASSERT_TRUE(QDir::setCurrent(dir_->path()));
    window_ = std::make_unique<TForm1>(prompts_);
}

void WindowTest::TearDown() {
    window_.reset();
    QDir::setCurrent(previousDir_);
    dir_.reset();
    EXPECT_TRUE(prompts_.AllAnswered()) << "a scripted box was never asked";
}

void WindowTest::SeedExample(const QString& name) {
    WriteBytes(Path(name), ExampleDiary());
}

void WindowTest::StartAccepted() {
    prompts_.ExpectAgreement(true);
    window_->FormActivate();
}

QString WindowTest::SettingsText() const {
    return QString::fromLatin1(ReadBytes(dir_->filePath(QStringLiteral("Quorvane.ini"))));
}

void WindowTest::WaitForAnalysis() {
    if (!window_->AnalysisRunning()) {
        return;
    }
    QSignalSpy ended(window_.get(), &TForm1::analysisEnded);
    ASSERT_TRUE(ended.wait(120000)) << "File, Analysis did not end";
    EXPECT_FALSE(window_->AnalysisRunning());
}

void WindowTest::Type(const QString& text) {
    QTextCursor cursor = Child<QPlainTextEdit>(*window_, "RichEdit2")->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

QString WindowTest::EditorText() const {
    return Child<QPlainTextEdit>(*window_, "RichEdit2")->toPlainText();
}

}  // namespace quorvane::testing
