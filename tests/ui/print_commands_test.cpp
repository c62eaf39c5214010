#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryDir>

#include "core/text/quorvane_error.h"
#include "support/scripted_prompts.h"
#include "ui/print_commands.h"
#include "ui/print_pdf_support.h"

namespace quorvane {
namespace {

using Kind = testing::ScriptedPrompts::Kind;

class PrintCommandsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        control_.setPlainText("Monday\ncoffee, bread");
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    testing::ScriptedPrompts prompts_;
    PrintCommands commands_{prompts_};
    QPlainTextEdit control_;
};

TEST_F(PrintCommandsTest, WithoutDefaultPrinterNeitherDialogOpens) {
    prompts_.defaultPrinter = false;
    const auto expectNoPrinter = [this](const std::function<void()>& command) {
        try {
            command();
            ADD_FAILURE() << "no error raised";
        } catch (const QuorvaneError& error) {
            EXPECT_STREQ(error.what(), "There is no default printer currently selected");
        }
        EXPECT_TRUE(prompts_.asked().empty());
    };
    expectNoPrinter([&] { commands_.Print(control_, kReportJobTitle); });
    expectNoPrinter([&] { commands_.PrinterSetUp(); });
}

TEST_F(PrintCommandsTest, CancelledPrintDialogPrintsAndChangesNothing) {
    QPrinter& printer = commands_.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("chosen.pdf"));
    printer.setCopyCount(1);

    const QString other = Path("cancelled.pdf");
    prompts_.ExpectPrint([&](QPrinter& shown) {
        EXPECT_EQ(&shown, &printer);
        shown.setOutputFileName(other);
        shown.setCopyCount(3);
        shown.setPageOrientation(QPageLayout::Landscape);
        return false;
    });
    commands_.Print(control_, kReportJobTitle);

    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_FALSE(QFile::exists(Path("chosen.pdf")));
    EXPECT_EQ(printer.outputFileName(), Path("chosen.pdf"));
    EXPECT_EQ(printer.copyCount(), 1);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(PrintCommandsTest, JobThatCannotStartRaisesAnError) {
    const QString pdf = Path("missing/job.pdf");
    prompts_.ExpectPrint([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    try {
        commands_.Print(control_, kReportJobTitle);
        ADD_FAILURE() << "no error raised";
    } catch (const QuorvaneError& error) {
        EXPECT_EQ(QString(error.what()), "Cannot create file " + pdf);
    }
}

TEST_F(PrintCommandsTest, ChoicesMadeWithOkStayForLaterJobs) {
    const QString pdf = Path("kept.pdf");
    prompts_.ExpectPrinterSetup([](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    prompts_.ExpectPrint([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(2);
        return true;
    });
    // The second job's dialog opens with what the first chose.
    prompts_.ExpectPrint([&](QPrinter& printer) {
        EXPECT_EQ(printer.outputFileName(), pdf);
        EXPECT_EQ(printer.copyCount(), 2);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        return true;
    });
    commands_.PrinterSetUp();
    commands_.Print(control_, kReportJobTitle);
    ASSERT_TRUE(QFile::remove(pdf));
    commands_.Print(control_, kRecordJobTitle);

    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(testing::PdfInfo(pdf, "Title"), kRecordJobTitle);
    const QStringList size = testing::PdfInfo(pdf, "Page size").split(' ');
    ASSERT_GE(size.size(), 3);
    EXPECT_GT(size[0].toDouble(), size[2].toDouble()) << "landscape page expected";
}

TEST_F(PrintCommandsTest, CancelledPrinterSetUpKeepsThePreviousChoices) {
    QPrinter& printer = commands_.Printer();
    const QPageSize paper = printer.pageLayout().pageSize();
    prompts_.ExpectPrinterSetup([](QPrinter& shown) {
        shown.setPageOrientation(QPageLayout::Landscape);
        shown.setPageSize(QPageSize(QPageSize::A3));
        return false;
    });
    commands_.PrinterSetUp();

    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_TRUE(printer.pageLayout().pageSize().isEquivalentTo(paper));
}

TEST_F(PrintCommandsTest, ReportSavedAsAsksWithEmptyPresetAndWritesCrLf) {
    const QString path = Path("report.txt");
    prompts_.ExpectSave(path);
    commands_.SaveReportAs("Quorvane Environmental Art Printout\n\n HEADACHE\t\n 1\t");

    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.presets(), std::vector<QString>{QString()});
    EXPECT_EQ(prompts_.last().title, "confirm");  // replacing a file asks first
    EXPECT_EQ(prompts_.last().text, "txt");
    // Every line ends with CR LF, the last one too.
    EXPECT_EQ(Bytes(path), "Quorvane Environmental Art Printout\r\n\r\n HEADACHE\t\r\n 1\t\r\n");
}

TEST_F(PrintCommandsTest, ReportSaveCancelledWritesNothing) {
    const QString existing = Path("diary.txt");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Monday\r\n");
    }
    prompts_.ExpectSave(std::nullopt);
    commands_.SaveReportAs("report");

    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_EQ(Bytes(existing), "Monday\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({"diary.txt"}));
}

TEST_F(PrintCommandsTest, ReportThatCannotBeWrittenRaisesTheFileError) {
    const QString path = Path("missing/report.txt");
    prompts_.ExpectSave(path);
    try {
        commands_.SaveReportAs("report");
        ADD_FAILURE() << "no error raised";
    } catch (const QuorvaneError& error) {
        EXPECT_EQ(QString(error.what()), "Cannot create file " + path);
    }
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace quorvane
