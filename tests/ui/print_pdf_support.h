#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvane::testing {

// Widgets need an application object; one is made for the whole test run.
inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "print_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// Runs one of poppler's tools and returns what it wrote; an empty text and a
// test failure when the tool could not run or failed.
inline QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One "Key: value" line of pdfinfo.
inline QString PdfInfo(const QString& pdf, const QString& key) {
    const QString info = RunTool("pdfinfo", {pdf});
    const QRegularExpression line("^" + QRegularExpression::escape(key) + ":\\s*(.*)$",
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

inline int PdfPageCount(const QString& pdf) {
    return PdfInfo(pdf, "Pages").toInt();
}

// The text lines of one page (from 1), without the blank lines pdftotext puts
// between paragraphs.
inline QStringList PdfPageLines(const QString& pdf, int page) {
    const QString text =
        RunTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    QStringList lines;
    for (const QString& line : text.split('\n')) {
        const QString kept = QString(line).remove('\f');
        if (!kept.trimmed().isEmpty()) {
            lines.append(kept.trimmed());
        }
    }
    return lines;
}

struct PdfWord {
    QString text;
    double xMin, yMin, xMax, yMax;
};

struct PdfPageWords {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
};

// Every word of every page with its box in points, from the page's top left.
inline std::vector<PdfPageWords> PdfWords(const QString& pdf) {
    const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    std::vector<PdfPageWords> pages;
    const QRegularExpression tag(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|"
        "<word xMin=\"(-?[\\d.]+)\" yMin=\"(-?[\\d.]+)\" xMax=\"(-?[\\d.]+)\" yMax=\"(-?[\\d.]+)\">"
        "([^<]*)</word>");
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back({m.captured(7), m.captured(3).toDouble(),
                                          m.captured(4).toDouble(), m.captured(5).toDouble(),
                                          m.captured(6).toDouble()});
        }
    }
    return pages;
}

}  // namespace quorvane::testing
